// The character attributes of a rich edit control: of the selection, or of the text typed
// where nothing else applies (the default attributes). It keeps nothing itself: every read
// fetches the control's character format and every write sends one with just the changed
// attributes. Text and background colour know an automatic value (the window-text colour and
// the control's colour). Without a rich edit library the attributes are the control's font.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>

#include "base/persistent.h"
#include "editor/char_format.h"
#include "winui/canvas_win.h"

class TRichEdit2;

enum TAttributeType { atSelected, atDefaultText };

class TTextAttributes2 : public TPersistent {
public:
    TTextAttributes2(TRichEdit2& owner, TAttributeType type);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    TAttributeType Type() const { return type_; }

    // clWindowText while the automatic colour is on.
    TColor Color();
    void SetColor(TColor color);
    // The control's Color while the automatic background is on.
    TColor BackColor();
    void SetBackColor(TColor color);
    std::string Name();
    void SetName(const std::string& name);
    int Charset();
    void SetCharset(int charset);
    TFontStyles Style();
    void SetStyle(TFontStyles style);
    // Points.
    int Size();
    void SetSize(int points);
    // Pixels of the screen.
    int Height();
    void SetHeight(int pixels);
    TFontPitch Pitch();
    void SetPitch(TFontPitch pitch);
    bool Protected();
    void SetProtected(bool isProtected);

    // From a TFont (colour, name, charset, style, size, pitch) or another TTextAttributes2
    // (the whole format).
    void Assign(TPersistent* source) override;
    // Into a TFont (colour, name, charset, style, size, height, pitch) or another TTextAttributes2.
    void AssignTo(TPersistent* dest) override;

    // The character format as the control reports it now.
    TCharFormat Read();

private:
    CHARFORMAT2A ReadRaw();
    // Sends Format with its mask (nothing for an empty mask).
    void Write(const TCharFormat& format);
    void WriteRaw(CHARFORMAT2A& raw);
    UINT RecordSize();

    TRichEdit2& owner_;
    TAttributeType type_;
};
