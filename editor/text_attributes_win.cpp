#include "editor/text_attributes_win.h"

#include <cstring>

#include "editor/rich_edit_win.h"
#include "winui/canvas_win.h"

namespace {

TCharFormat FromRaw(const CHARFORMAT2A& raw, bool version2) {
    TCharFormat f;
    f.Mask = raw.dwMask;
    f.Effects = raw.dwEffects;
    f.Height = raw.yHeight;
    f.Color = raw.crTextColor;
    f.CharSet = raw.bCharSet;
    f.PitchAndFamily = raw.bPitchAndFamily;
    f.FaceName.assign(raw.szFaceName, strnlen(raw.szFaceName, sizeof(raw.szFaceName)));
    f.BackColor = version2 ? raw.crBackColor : 0;
    return f;
}

void ToRaw(const TCharFormat& f, CHARFORMAT2A& raw) {
    raw.dwMask = f.Mask;
    raw.dwEffects = f.Effects;
    raw.yHeight = f.Height;
    raw.crTextColor = f.Color;
    raw.bCharSet = f.CharSet;
    raw.bPitchAndFamily = f.PitchAndFamily;
    std::memset(raw.szFaceName, 0, sizeof(raw.szFaceName));
    std::memcpy(raw.szFaceName, f.FaceName.data(), std::min(f.FaceName.size(), sizeof(raw.szFaceName) - 1));
    raw.crBackColor = f.BackColor;
}

}  // namespace

const TClassInfo& TTextAttributes2::StaticClass() {
    static const TClassInfo info{"TTextAttributes2", &TPersistent::StaticClass(), {}, {}};
    return info;
}

TTextAttributes2::TTextAttributes2(TRichEdit2& owner, TAttributeType type) : owner_(owner), type_(type) {}

UINT TTextAttributes2::RecordSize() {
    return owner_.RichEditVersion() < 2 ? sizeof(CHARFORMATA) : sizeof(CHARFORMAT2A);
}

CHARFORMAT2A TTextAttributes2::ReadRaw() {
    CHARFORMAT2A raw{};
    raw.cbSize = RecordSize();
    const WPARAM which = type_ == atSelected ? SCF_SELECTION : SCF_DEFAULT;
    SendMessageW(owner_.Handle(), EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&raw));
    return raw;
}

TCharFormat TTextAttributes2::Read() {
    return FromRaw(ReadRaw(), owner_.RichEditVersion() >= 2);
}

void TTextAttributes2::WriteRaw(CHARFORMAT2A& raw) {
    raw.cbSize = RecordSize();
    const WPARAM which = type_ == atSelected ? SCF_SELECTION : SCF_DEFAULT;
    SendMessageW(owner_.Handle(), EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&raw));
}

void TTextAttributes2::Write(const TCharFormat& format) {
    if (format.Mask == 0) return;
    CHARFORMAT2A raw = ReadRaw();
    ToRaw(format, raw);
    WriteRaw(raw);
}

// Without a rich edit library every attribute is the control's font; writes to it must not
// count as the user's changes.
class TFontWrite {
public:
    explicit TFontWrite(TRichEdit2& owner) : owner_(owner) { owner_.LockNotify(); }
    ~TFontWrite() { owner_.UnlockNotify(); }
    TFont& Font() { return owner_.Font(); }

private:
    TRichEdit2& owner_;
};

TColor TTextAttributes2::Color() {
    if (owner_.RichEditVersion() == 0) return owner_.Font().Color();
    return static_cast<TColor>(ReadTextColor(Read()));
}

void TTextAttributes2::SetColor(TColor color) {
    if (owner_.RichEditVersion() == 0) return TFontWrite(owner_).Font().SetColor(color);
    TCharFormat f = Read();
    WriteTextColor(f, static_cast<uint32_t>(color), ColorToRGB(color));
    Write(f);
}

TColor TTextAttributes2::BackColor() {
    if (owner_.RichEditVersion() < 2) return owner_.Color();
    return static_cast<TColor>(ReadBackColor(Read(), static_cast<uint32_t>(owner_.Color())));
}

void TTextAttributes2::SetBackColor(TColor color) {
    // The background colour of characters exists only in the newer library's format.
    if (owner_.RichEditVersion() < 2) return;
    TCharFormat f = Read();
    WriteBackColor(f, static_cast<uint32_t>(color), ColorToRGB(color), static_cast<uint32_t>(owner_.Color()));
    Write(f);
}

std::string TTextAttributes2::Name() {
    if (owner_.RichEditVersion() == 0) return owner_.Font().Name();
    return Read().FaceName;
}

void TTextAttributes2::SetName(const std::string& name) {
    if (owner_.RichEditVersion() == 0) return TFontWrite(owner_).Font().SetName(name);
    TCharFormat f = Read();
    if (!FaceWriteNeeded(f, name)) return;
    f.Mask = cfmFace;
    f.FaceName = name;
    // The face goes with the default pitch and family: the old face's could make the font
    // mapper choose another face than the one named.
    f.PitchAndFamily = 0;
    Write(f);
}

int TTextAttributes2::Charset() {
    if (owner_.RichEditVersion() == 0) return owner_.Font().CharSet();
    return Read().CharSet;
}

void TTextAttributes2::SetCharset(int charset) {
    if (owner_.RichEditVersion() == 0) return TFontWrite(owner_).Font().SetCharSet(charset);
    TCharFormat f = Read();
    if (!CharSetWriteNeeded(f, static_cast<uint8_t>(charset))) return;
    f.Mask = cfmCharSet;
    f.CharSet = static_cast<uint8_t>(charset);
    Write(f);
}

TFontStyles TTextAttributes2::Style() {
    if (owner_.RichEditVersion() == 0) return owner_.Font().Style();
    return TFontStyles::FromBits(ReadStyle(Read()));
}

void TTextAttributes2::SetStyle(TFontStyles style) {
    if (owner_.RichEditVersion() == 0) return TFontWrite(owner_).Font().SetStyle(style);
    TCharFormat f = Read();
    const uint32_t change = StyleChangeMask(f, style.Bits());
    if (change == 0) return;
    // The font styles and the effect bits share their values (bold 1, italic 2, underline 4,
    // strike-out 8).
    f.Mask = change;
    f.Effects = (f.Effects & ~change) | (style.Bits() & change);
    Write(f);
}

int TTextAttributes2::Size() {
    if (owner_.RichEditVersion() == 0) return owner_.Font().Size();
    return Read().Height / 20;
}

void TTextAttributes2::SetSize(int points) {
    if (owner_.RichEditVersion() == 0) return TFontWrite(owner_).Font().SetSize(points);
    TCharFormat f = Read();
    f.Mask = cfmSize;
    f.Height = points * 20;
    Write(f);
}

int TTextAttributes2::Height() {
    return MulDiv(Size(), owner_.ScreenPixelsPerInch(), 72);
}

void TTextAttributes2::SetHeight(int pixels) {
    SetSize(MulDiv(pixels, 72, owner_.ScreenPixelsPerInch()));
}

TFontPitch TTextAttributes2::Pitch() {
    if (owner_.RichEditVersion() == 0) return owner_.Font().Pitch();
    switch (ReadPitch(Read())) {
    case cpFixed: return fpFixed;
    case cpVariable: return fpVariable;
    default: return fpDefault;
    }
}

void TTextAttributes2::SetPitch(TFontPitch pitch) {
    if (owner_.RichEditVersion() == 0) return TFontWrite(owner_).Font().SetPitch(pitch);
    TCharFormat f = Read();
    // The pitch travels with the face; over mixed faces there is no face to give it to.
    if (!(f.Mask & cfmFace)) return;
    const TCharPitch wanted = pitch == fpFixed ? cpFixed : pitch == fpVariable ? cpVariable : cpDefault;
    const uint8_t byte = PitchAndFamilyWith(f.PitchAndFamily, wanted);
    if (byte == f.PitchAndFamily) return;
    f.Mask = cfmFace;
    f.PitchAndFamily = byte;
    Write(f);
}

bool TTextAttributes2::Protected() {
    if (owner_.RichEditVersion() == 0) return false;
    return (Read().Effects & cfmProtected) != 0;
}

void TTextAttributes2::SetProtected(bool isProtected) {
    if (owner_.RichEditVersion() == 0) return;
    TCharFormat f = Read();
    f.Mask = cfmProtected;
    f.Effects = isProtected ? (f.Effects | cfmProtected) : (f.Effects & ~cfmProtected);
    Write(f);
}

void TTextAttributes2::Assign(TPersistent* source) {
    if (auto* font = dynamic_cast<TFont*>(source)) {
        SetColor(font->Color());
        SetName(font->Name());
        SetCharset(font->CharSet());
        SetStyle(font->Style());
        SetSize(font->Size());
        SetPitch(font->Pitch());
        return;
    }
    if (auto* other = dynamic_cast<TTextAttributes2*>(source)) {
        if (owner_.RichEditVersion() == 0) {
            TFontWrite(owner_).Font().Assign(&other->owner_.Font());
            return;
        }
        CHARFORMAT2A raw = other->ReadRaw();
        raw.dwMask = cfmAssignAll;
        WriteRaw(raw);
        return;
    }
    TPersistent::Assign(source);
}

void TTextAttributes2::AssignTo(TPersistent* dest) {
    if (auto* font = dynamic_cast<TFont*>(dest)) {
        font->SetColor(Color());
        font->SetName(Name());
        font->SetCharSet(Charset());
        font->SetStyle(Style());
        font->SetSize(Size());
        font->SetHeight(-Height());
        font->SetPitch(Pitch());
        return;
    }
    if (auto* other = dynamic_cast<TTextAttributes2*>(dest)) {
        other->Assign(this);
        return;
    }
    TPersistent::AssignTo(dest);
}
