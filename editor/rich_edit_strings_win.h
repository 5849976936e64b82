// The Lines of a TRichEdit2: lines read and written by rich edit messages, and the whole text
// loaded from and saved to streams and files in RTF or plain text. Loading and saving run the
// bytes through a converter (TConversion, chosen by the file's extension from the conversion
// formats; the default passes them unchanged), report progress and stop on Escape. A save
// goes into a buffer first and reaches its target only when it completed: an aborted or
// failed save leaves the target as it was.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "winui/memo_win.h"

class TRichEdit2;

// Passes the bytes between a stream and the control; a derived converter may translate
// another file format on the way. Both raise on failure.
class TConversion {
public:
    virtual ~TConversion() = default;
    // Fills up to Count bytes of Buffer from Stream; 0 at its end.
    virtual size_t ConvertReadStream(TStream& stream, char* buffer, size_t count);
    // Writes Count bytes of Buffer to Stream; returns how many were taken.
    virtual size_t ConvertWriteStream(TStream& stream, const char* buffer, size_t count);
};

using TConversionFactory = std::function<std::unique_ptr<TConversion>()>;
struct TConversionFormat {
    std::string Extension;  // lower case, without the dot
    TConversionFactory Create;
};
// The registered converters by file extension (the program registers none of its own).
std::vector<TConversionFormat>& ConversionFormats();
void RegisterConversionFormat(const std::string& extension, TConversionFactory create);

class TRichEdit2Strings : public TMemoStrings {
public:
    explicit TRichEdit2Strings(TRichEdit2& owner);
    ~TRichEdit2Strings() override;

    int Count() override;
    // The line without its line end; lines longer than 4096 characters come back cut.
    std::string Get(int index) override;
    void Put(int index, const std::string& text) override;
    // Raises EOutOfResources (65251) when the text did not land where it should.
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;
    // Sets the whole text without the control's change notification.
    void SetText(const std::string& text) override;
    void AddStrings(const std::vector<std::string>& lines) override;

    bool PlainText() const { return plainText_; }
    void SetPlainText(bool plainText) { plainText_ = plainText; }

    // Loads the stream from its position to its end (RTF; plain text when PlainText, or when
    // it does not read as RTF). Escape stops it, leaving what was read. A stream that loads in
    // neither form raises EOutOfResources (65252).
    void LoadFromStream(TStream& stream) override;
    // Writes the text at the stream's position. False when the user stopped it with Escape
    // (the stream is then unchanged); a failure raises EOutOfResources (65253).
    bool SaveToStream(TStream& stream) override;
    // As the stream operations, through the converter registered for the file's extension.
    // An aborted or failed save leaves the file as it was.
    void LoadFromFile(const std::string& fileName) override;
    bool SaveToFile(const std::string& fileName) override;

    // The whole text as RTF into Stream and back, as the control keeps it while its window is
    // re-created: no progress, no abort, whatever PlainText says.
    void KeepText(TStream& stream);
    void RestoreText(TStream& stream);

private:
    bool LoadAs(TStream& stream, int format, TConversion& converter, bool interactive);
    bool SaveAs(TStream& stream, int format, TConversion& converter, bool interactive);
    std::unique_ptr<TConversion> ConverterFor(const std::string& fileName);
    TConversion& Converter(std::unique_ptr<TConversion>& temporary);

    TRichEdit2& owner_;
    bool plainText_ = false;
    // The converter of the file operation under way.
    std::unique_ptr<TConversion> fileConverter_;
};
