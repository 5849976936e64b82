#include "editor/rich_edit_strings_win.h"

#include <richedit.h>

#include <algorithm>
#include <exception>

#include "base/format.h"
#include "base/string_ids.h"
#include "editor/line_text.h"
#include "editor/rich_edit_errors_win.h"
#include "editor/rich_edit_win.h"
#include "editor/stream_in_reader.h"

// --- TConversion ---

size_t TConversion::ConvertReadStream(TStream& stream, char* buffer, size_t count) {
    return stream.Read(buffer, count);
}

size_t TConversion::ConvertWriteStream(TStream& stream, const char* buffer, size_t count) {
    stream.WriteBuffer(buffer, count);
    return count;
}

std::vector<TConversionFormat>& ConversionFormats() {
    static std::vector<TConversionFormat> formats;
    return formats;
}

void RegisterConversionFormat(const std::string& extension, TConversionFactory create) {
    ConversionFormats().push_back(TConversionFormat{LowerCase(extension), std::move(create)});
}

namespace {

// The longest line Get reads.
constexpr int LineBufferSize = 4096;
// What a stream callback returns to stop the control: the user aborted, or the data failed.
constexpr DWORD StopStreaming = 3;
constexpr DWORD StreamFailed = 1;

// One stream-in or stream-out as its callback sees it.
struct TStreamContext {
    TRichEdit2* Owner = nullptr;
    TStream* Stream = nullptr;
    TConversion* Converter = nullptr;
    TStreamInReader* Reader = nullptr;
    int Action = paIdle;
    int Max = 0;
    bool Interactive = true;
    std::exception_ptr Error;
};

// After each chunk: Escape stops the operation, else its progress is told.
DWORD AfterChunk(TStreamContext& context) {
    if (!context.Interactive) return 0;
    if (context.Owner->EscapeLatch().Pressed()) {
        context.Owner->SetProgressAction(paAborted);
        return StopStreaming;
    }
    const int64_t position = context.Stream->Position();
    context.Owner->DoProgress(context.Action, context.Max, static_cast<int>(std::min<int64_t>(position, INT32_MAX)));
    return 0;
}

// No exception may pass back through the control: the callbacks keep it and report a failure.
DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG asked, LONG* done) {
    auto& context = *reinterpret_cast<TStreamContext*>(cookie);
    *done = 0;
    try {
        *done = static_cast<LONG>(context.Reader->Read(reinterpret_cast<char*>(buffer), static_cast<size_t>(asked)));
        return AfterChunk(context);
    } catch (...) {
        context.Error = std::current_exception();
        return StreamFailed;
    }
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    auto& context = *reinterpret_cast<TStreamContext*>(cookie);
    *done = 0;
    try {
        *done = static_cast<LONG>(
            context.Converter->ConvertWriteStream(*context.Stream, reinterpret_cast<const char*>(buffer), static_cast<size_t>(count)));
        return AfterChunk(context);
    } catch (...) {
        context.Error = std::current_exception();
        return StreamFailed;
    }
}

// The long operation's state for its duration: ProgressAction and the progress at both ends.
class TProgressScope {
public:
    TProgressScope(TRichEdit2& owner, int action, int max, bool interactive) : owner_(owner), interactive_(interactive) {
        if (!interactive_) return;
        owner_.EscapeLatch().Clear();
        owner_.SetProgressAction(action);
        owner_.DoProgress(action, max, 0);
    }
    ~TProgressScope() {
        if (!interactive_) return;
        owner_.SetProgressAction(paIdle);
        try {
            owner_.DoProgress(paIdle, 0, 0);
        } catch (...) {
            // The end of the progress is a notice; an error in it must not hide the operation's own.
        }
    }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

private:
    TRichEdit2& owner_;
    bool interactive_;
};

class TNotifyLockScope {
public:
    explicit TNotifyLockScope(TRichEdit2& owner) : owner_(owner) { owner_.LockNotify(); }
    ~TNotifyLockScope() { owner_.UnlockNotify(); }
    TNotifyLockScope(const TNotifyLockScope&) = delete;
    TNotifyLockScope& operator=(const TNotifyLockScope&) = delete;

private:
    TRichEdit2& owner_;
};

void SelectRange(HWND window, int start, int end) {
    CHARRANGE range{start, end};
    SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void ReplaceSelection(HWND window, const std::string& text) {
    // The window is of the ANSI class: code page bytes in, as the control keeps them.
    SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string FileExtension(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    const size_t slash = fileName.find_last_of("\\/:");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return std::string();
    return LowerCase(fileName.substr(dot + 1));
}

}  // namespace

// --- TRichEdit2Strings ---

TRichEdit2Strings::TRichEdit2Strings(TRichEdit2& owner) : TMemoStrings(owner), owner_(owner) {}

TRichEdit2Strings::~TRichEdit2Strings() = default;

int TRichEdit2Strings::Count() {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::Count();
    HWND window = owner_.Handle();
    const int count = static_cast<int>(SendMessageW(window, EM_GETLINECOUNT, 0, 0));
    if (count <= 0) return 0;
    return VisibleLineCount(count, EditLineLength(window, EditLineStart(window, count - 1)) == 0);
}

std::string TRichEdit2Strings::Get(int index) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::Get(index);
    if (index < 0) return std::string();
    std::vector<char> buffer(LineBufferSize + 1, '\0');
    *reinterpret_cast<WORD*>(buffer.data()) = LineBufferSize;
    const LRESULT got = SendMessageA(owner_.Handle(), EM_GETLINE, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buffer.data()));
    return StripLineEnd(std::string(buffer.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, LineBufferSize))));
}

void TRichEdit2Strings::Put(int index, const std::string& text) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::Put(index, text);
    if (index < 0) return;
    HWND window = owner_.Handle();
    const int start = EditLineStart(window, index);
    if (start < 0) return;
    SelectRange(window, start, start + EditLineLength(window, start));
    ReplaceSelection(window, text);
}

void TRichEdit2Strings::Insert(int index, const std::string& text) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::Insert(index, text);
    HWND window = owner_.Handle();
    bool afterLast = false;
    const int position = EditInsertPosition(window, index, afterLast);
    if (position < 0) return;
    const std::string inserted = LineInsertText(text, afterLast);
    SelectRange(window, position, position);
    ReplaceSelection(window, inserted);
    // A line break is one position in the newer library, CR LF two in the older one.
    const int expected = position + ControlTextLength(inserted, owner_.RichEditVersion() >= 2);
    if (owner_.SelStart() != expected) throw EOutOfResources(sid::RichEditInsertLine);
}

void TRichEdit2Strings::Delete(int index) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::Delete(index);
    HWND window = owner_.Handle();
    int start = 0;
    int end = 0;
    if (!EditLineRange(window, index, start, end)) return;
    SelectRange(window, start, end);
    ReplaceSelection(window, std::string());
}

void TRichEdit2Strings::Clear() { owner_.Clear(); }

void TRichEdit2Strings::SetText(const std::string& text) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::SetText(text);
    HWND window = owner_.Handle();
    const LRESULT mask = SendMessageW(window, EM_GETEVENTMASK, 0, 0);
    SendMessageW(window, EM_SETEVENTMASK, 0, mask & ~static_cast<LRESULT>(ENM_CHANGE));
    try {
        owner_.SetText(text);
    } catch (...) {
        SendMessageW(window, EM_SETEVENTMASK, 0, mask);
        throw;
    }
    SendMessageW(window, EM_SETEVENTMASK, 0, mask);
}

void TRichEdit2Strings::AddStrings(const std::vector<std::string>& lines) {
    TNotifyLockScope lock(owner_);
    TMemoStrings::AddStrings(lines);
}

TConversion& TRichEdit2Strings::Converter(std::unique_ptr<TConversion>& temporary) {
    if (fileConverter_) return *fileConverter_;
    temporary = std::make_unique<TConversion>();
    return *temporary;
}

bool TRichEdit2Strings::LoadAs(TStream& stream, int format, TConversion& converter, bool interactive) {
    TStreamInReader reader([&](char* buffer, size_t count) { return converter.ConvertReadStream(stream, buffer, count); },
                           format == SF_TEXT);
    TStreamContext context;
    context.Owner = &owner_;
    context.Stream = &stream;
    context.Converter = &converter;
    context.Reader = &reader;
    context.Action = paLoading;
    context.Max = static_cast<int>(std::min<int64_t>(stream.Size(), INT32_MAX));
    context.Interactive = interactive;
    EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&context), 0, StreamInCallback};
    SendMessageW(owner_.Handle(), EM_STREAMIN, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&edit));
    return edit.dwError == 0 && !context.Error;
}

void TRichEdit2Strings::LoadFromStream(TStream& stream) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::LoadFromStream(stream);
    TNotifyLockScope lock(owner_);
    owner_.Clear();
    TProgressScope progress(owner_, paLoading, static_cast<int>(std::min<int64_t>(stream.Size(), INT32_MAX)), true);
    std::unique_ptr<TConversion> temporary;
    TConversion& converter = Converter(temporary);
    const int64_t start = stream.Position();
    const int format = plainText_ ? SF_TEXT : SF_RTF;
    bool loaded = LoadAs(stream, format, converter, true);
    if (!loaded && format == SF_RTF && owner_.ProgressAction() == paLoading) {
        // Not RTF after all: the same bytes as plain text.
        stream.SetPosition(start);
        loaded = LoadAs(stream, SF_TEXT, converter, true);
    }
    if (!loaded && owner_.ProgressAction() == paLoading) throw EOutOfResources(sid::StreamLoadFailed);
    owner_.SetModified(false);
}

bool TRichEdit2Strings::SaveAs(TStream& stream, int format, TConversion& converter, bool interactive) {
    TStreamContext context;
    context.Owner = &owner_;
    context.Stream = &stream;
    context.Converter = &converter;
    context.Action = paSaving;
    context.Max = owner_.TextLength();
    context.Interactive = interactive;
    EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&context), 0, StreamOutCallback};
    SendMessageW(owner_.Handle(), EM_STREAMOUT, static_cast<WPARAM>(format), reinterpret_cast<LPARAM>(&edit));
    return edit.dwError == 0 && !context.Error;
}

bool TRichEdit2Strings::SaveToStream(TStream& stream) {
    if (owner_.RichEditVersion() == 0) return TMemoStrings::SaveToStream(stream);
    std::unique_ptr<TConversion> temporary;
    TConversion& converter = Converter(temporary);
    // The text goes into a buffer first: the target changes only when the save completed.
    TMemoryStream buffer;
    {
        TProgressScope progress(owner_, paSaving, owner_.TextLength(), true);
        const bool saved = SaveAs(buffer, plainText_ ? SF_TEXT : SF_RTF, converter, true);
        if (owner_.ProgressAction() == paAborted) return false;
        if (!saved) throw EOutOfResources(sid::StreamSaveFailed);
    }
    if (buffer.Size() > 0) stream.WriteBuffer(buffer.Memory(), static_cast<size_t>(buffer.Size()));
    return true;
}

void TRichEdit2Strings::KeepText(TStream& stream) {
    TConversion plain;
    if (!SaveAs(stream, SF_RTF, plain, false)) throw EOutOfResources(sid::StreamSaveFailed);
}

void TRichEdit2Strings::RestoreText(TStream& stream) {
    TNotifyLockScope lock(owner_);
    TConversion plain;
    if (!LoadAs(stream, SF_RTF, plain, false)) throw EOutOfResources(sid::StreamLoadFailed);
}

std::unique_ptr<TConversion> TRichEdit2Strings::ConverterFor(const std::string& fileName) {
    const std::string extension = FileExtension(fileName);
    for (const TConversionFormat& format : ConversionFormats())
        if (format.Extension == extension && format.Create) return format.Create();
    return std::make_unique<TConversion>();
}

void TRichEdit2Strings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    fileConverter_ = ConverterFor(fileName);
    try {
        LoadFromStream(file);
    } catch (...) {
        fileConverter_.reset();
        throw;
    }
    fileConverter_.reset();
}

bool TRichEdit2Strings::SaveToFile(const std::string& fileName) {
    TMemoryStream text;
    fileConverter_ = ConverterFor(fileName);
    bool saved = false;
    try {
        saved = SaveToStream(text);
    } catch (...) {
        fileConverter_.reset();
        throw;
    }
    fileConverter_.reset();
    // The file is made (and an old one replaced) only for a complete text.
    if (!saved) return false;
    TFileStream file(fileName, fmCreate);
    if (text.Size() > 0) file.WriteBuffer(text.Memory(), static_cast<size_t>(text.Size()));
    return true;
}
