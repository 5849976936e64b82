#include "widgets/check_box_button_win.h"

#include <algorithm>
#include <functional>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/application_win.h"
#include "winui/form_win.h"
#include "winui/menu_win.h"

namespace {

constexpr int CellSize = 15;
// The colour outside the box, left out when a cell is drawn (the glyph's bottom-left pixel).
constexpr TColor GlyphBackground = clOlive;
// Key colours of the 3-D glyphs (replaced by system colours) and the flat glyphs' own colours.
constexpr TColor KeyShadow = 0x808080;
constexpr TColor KeyHighlight = 0xC0C0C0;
constexpr TColor KeyFace = 0x00FF00;
constexpr TColor KeyWindow = 0xFF00FF;

// The classic 7 x 7 check mark.
const char* const CheckMark[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};

void DrawCheckMark(HDC dc, int left, int top, COLORREF color) {
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (CheckMark[y][x] == '#') SetPixel(dc, left + x, top + y, color);
}

// One check box cell at (Left, Top): a 13 x 13 box with a 2-pixel 3-D frame (or a 1-pixel
// black one when flat) around the 9 x 9 inside.
void DrawCheckCell(HDC dc, int left, int top, int column, int row, bool ctl3D) {
    const int x = left + 1, y = top + 1;
    const bool pressedOrDisabled = row != 0;
    auto line = [dc](int x0, int y0, int x1, int y1, COLORREF c) {
        for (int px = x0; px <= x1; ++px)
            for (int py = y0; py <= y1; ++py) SetPixel(dc, px, py, c);
    };
    COLORREF inside;
    if (ctl3D) {
        line(x, y, x + 11, y, KeyShadow);
        line(x, y, x, y + 11, KeyShadow);
        line(x, y + 12, x + 12, y + 12, KeyHighlight);
        line(x + 12, y, x + 12, y + 12, KeyHighlight);
        line(x + 1, y + 1, x + 10, y + 1, 0x000000);
        line(x + 1, y + 1, x + 1, y + 10, 0x000000);
        line(x + 1, y + 11, x + 11, y + 11, KeyFace);
        line(x + 11, y + 1, x + 11, y + 11, KeyFace);
        inside = pressedOrDisabled || column == 2 ? KeyFace : KeyWindow;
    } else {
        line(x, y, x + 12, y, 0x000000);
        line(x, y, x, y + 12, 0x000000);
        line(x, y + 12, x + 12, y + 12, 0x000000);
        line(x + 12, y, x + 12, y + 12, 0x000000);
        line(x + 1, y + 1, x + 11, y + 1, 0xFFFFFF);
        line(x + 1, y + 1, x + 1, y + 11, 0xFFFFFF);
        line(x + 1, y + 11, x + 11, y + 11, 0xFFFFFF);
        line(x + 11, y + 1, x + 11, y + 11, 0xFFFFFF);
        inside = pressedOrDisabled || column == 2 ? 0xC0C0C0 : 0xFFFFFF;
    }
    line(x + 2, y + 2, x + 10, y + 10, inside);
    if (column != 0) DrawCheckMark(dc, x + 3, y + 3, row == 2 || column == 2 ? 0x808080 : 0x000000);
}

// One radio cell: the classic 12 x 12 circle. 'o' is the outer ring, 'i' the inner one, 'w'
// the inside, 'x' the dot; rings are shadowed above the anti-diagonal and lit below it.
const char* const RadioShape[12] = {
    "....oooo....", "..ooiiiioo..", ".oiiwwwwiio.", ".oiwwwwwwio.", "oiwwwxxwwwio", "oiwwxxxxwwio",
    "oiwwxxxxwwio", "oiwwwxxwwwio", ".oiwwwwwwio.", ".oiiwwwwiio.", "..ooiiiioo..", "....oooo....",
};

void DrawRadioCell(HDC dc, int left, int top, int column, int row, bool ctl3D) {
    const COLORREF inside = row != 0 || column == 2 ? (ctl3D ? KeyFace : 0xC0C0C0) : (ctl3D ? KeyWindow : 0xFFFFFF);
    const COLORREF dot = row == 2 || column == 2 ? 0x808080 : 0x000000;
    for (int py = 0; py < 12; ++py)
        for (int px = 0; px < 12; ++px) {
            const bool upperLeft = px + py < 11;
            COLORREF c;
            switch (RadioShape[py][px]) {
            case 'o': c = ctl3D ? (upperLeft ? KeyShadow : KeyHighlight) : 0x000000; break;
            case 'i': c = ctl3D ? (upperLeft ? 0x000000 : KeyFace) : inside; break;
            case 'x': c = column != 0 ? dot : inside; break;
            case 'w': c = inside; break;
            default: continue;
            }
            SetPixel(dc, left + 1 + px, top + 1 + py, c);
        }
}

std::unique_ptr<TBitmap> MakeBuiltinGlyph(bool radio, bool ctl3D) {
    auto glyph = std::make_unique<TBitmap>(CellSize * 3, CellSize * 3);
    TCanvas& canvas = glyph->Canvas();
    canvas.Brush().SetColor(GlyphBackground);
    canvas.FillRect(RECT{0, 0, CellSize * 3, CellSize * 3});
    HDC dc = canvas.Handle();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            if (radio) DrawRadioCell(dc, column * CellSize, row * CellSize, column, row, ctl3D);
            else DrawCheckCell(dc, column * CellSize, row * CellSize, column, row, ctl3D);
        }
    if (ctl3D) {
        const TGlyphSystemColors colors{GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT),
                                        GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOW)};
        for (int y = 0; y < glyph->Height(); ++y)
            for (int x = 0; x < glyph->Width(); ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                const COLORREF replaced = ReplaceGlyphKeyColor(c, colors);
                if (replaced != c) SetPixel(dc, x, y, replaced);
            }
    }
    glyph->SetTransparentColor(GlyphBackground);
    return glyph;
}

// The built-in glyphs by their resource names; a program that links bitmaps of these names
// gets them, otherwise the same grids are drawn.
// They live as long as the process: freeing them at exit could come after the graphics
// objects they use are gone.
TBitmap& LoadBuiltin(bool radio, bool ctl3D) {
    static TBitmap* glyphs[4] = {};
    TBitmap*& slot = glyphs[(radio ? 2 : 0) + (ctl3D ? 1 : 0)];
    if (slot) return *slot;
    static const char* const names[4] = {"CHECKBTN", "CHECKBTN3D", "RADIOBTN", "RADIOBTN3D"};
    const char* name = names[(radio ? 2 : 0) + (ctl3D ? 1 : 0)];
    std::unique_ptr<TBitmap> glyph;
    if (FindResourceA(GetModuleHandleW(nullptr), name, MAKEINTRESOURCEA(2))) {
        glyph = std::make_unique<TBitmap>();
        glyph->LoadFromResourceName(GetModuleHandleW(nullptr), name);
    } else {
        glyph = MakeBuiltinGlyph(radio, ctl3D);
    }
    slot = glyph.release();
    return *slot;
}

}  // namespace

TBitmap& TCheckBoxButton::BuiltinGlyph(bool radio, bool ctl3D) { return LoadBuiltin(radio, ctl3D); }

const TClassInfo& TCheckBoxButton::StaticClass() {
    static const TClassInfo info{"TCheckBoxButton", &TGraphicControl::StaticClass(), {}, {}};
    return info;
}

TCheckBoxButton::TCheckBoxButton(TComponent* owner) : TGraphicControl(owner) {
    controlStyle_ = {csCaptureMouse, csSetCaption, csOpaque, csDoubleClicks};
    SetBounds(0, 0, 120, 17);
    SetParentFont(true);
    SetParentColor(true);
    glyph_.OnChange = [this](TGraphic&) { Invalidate(); };
}

TCheckBoxButton::~TCheckBoxButton() {
    THookList::Instance().Remove(this);
    glyph_.OnChange = nullptr;
}

void TCheckBoxButton::SetOption(unsigned bit, bool value) {
    if (bit > 31) throw Exception(sid::ValueOutOfRange, {int64_t{bit}, int64_t{0}, int64_t{31}});
    if (Option(bit) == value) return;
    options_ = value ? (options_ | (1u << bit)) : (options_ & ~(1u << bit));
    if (bit == coTransparent) {
        if (value) controlStyle_ -= csOpaque;
        else controlStyle_ += csOpaque;
    }
    if (bit == coFocused) {
        if (!value) options_ &= ~(1u << coPressed);
        UpdateKeyHook();
    }
    Invalidate();
    Perform(UM_OPTIONCHANGED, bit, reinterpret_cast<LPARAM>(this));
}

void TCheckBoxButton::SetPressed(bool pressed) {
    if (pressed == Pressed()) return;
    options_ = pressed ? (options_ | (1u << coPressed)) : (options_ & ~(1u << coPressed));
    Invalidate();
}

void TCheckBoxButton::SetEnabled(bool enabled) {
    TGraphicControl::SetEnabled(enabled);
    options_ = enabled ? (options_ | (1u << coEnabled)) : (options_ & ~(1u << coEnabled));
    if (!enabled) SetPressed(false);
}

void TCheckBoxButton::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    UpdateKeyHook();
}

void TCheckBoxButton::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TCheckBoxButton::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TCheckBoxButton::SetSpacing(int spacing) {
    spacing_ = spacing;
    Invalidate();
}

void TCheckBoxButton::SetGlyph(const TBitmap* glyph) {
    glyph_.Assign(const_cast<TBitmap*>(glyph));
    Invalidate();
}

// --- state and groups ---

void TCheckBoxButton::ForEachGroupMember(const std::function<void(TCheckBoxButton&)>& action) {
    if (!Parent() || groupIndex_ == 0) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* member = dynamic_cast<TCheckBoxButton*>(Parent()->Controls(i));
            member && member != this && member->groupIndex_ == groupIndex_)
            action(*member);
}

TCheckBoxState TCheckBoxButton::GroupRule(TCheckBoxState wanted) {
    bool hasMembers = false, otherChecked = false;
    ForEachGroupMember([&](TCheckBoxButton& member) {
        hasMembers = true;
        if (member.Checked()) otherChecked = true;
    });
    const TGroupDecision decision = GroupDecision(wanted, hasMembers, otherChecked, AllowUp());
    if (decision.UncheckOthers)
        ForEachGroupMember([](TCheckBoxButton& member) {
            if (!member.Checked()) return;
            member.applying_ = true;
            member.SetState(cbUnchecked);
            member.applying_ = false;
        });
    return static_cast<TCheckBoxState>(decision.State);
}

void TCheckBoxButton::SetState(TCheckBoxState state) {
    TCheckBoxState wanted = state;
    if (!applying_ && groupIndex_ != 0 && Parent() && wanted != cbGrayed) wanted = GroupRule(wanted);
    Invalidate();
    if (wanted == state_) return;
    state_ = wanted;
    if (OnClick) OnClick(*this);
}

void TCheckBoxButton::Click() {
    SetState(static_cast<TCheckBoxState>(ClickedCheckState(state_, AllowGrayed(), Enabled())));
}

// --- mouse and keys ---

void TCheckBoxButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) SetPressed(true);
}

void TCheckBoxButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (ControlState().Has(csLButtonDown) && Enabled())
        SetPressed(x >= 0 && y >= 0 && x < Width() && y < Height());
}

void TCheckBoxButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !Pressed()) return;
    SetPressed(false);
    Click();
}

void TCheckBoxButton::UpdateKeyHook() {
    if (Destroying()) return;
    if (Focused() && Parent() && Parent()->HandleAllocated()) THookList::Instance().Add(Parent()->Handle(), this);
    else THookList::Instance().Remove(this);
}

bool TCheckBoxButton::HookWantsKey(WORD key, TShiftState shift) {
    return key == VK_SPACE && Focused() && Enabled() && Visible() && !shift.Has(ssAlt);
}

bool TCheckBoxButton::HookKeyDown(WORD key, TShiftState shift) {
    if (!HookWantsKey(key, shift)) return false;
    SetPressed(true);
    return true;
}

void TCheckBoxButton::HookKeyUp(WORD key) {
    if (key != VK_SPACE || !Pressed() || ControlState().Has(csLButtonDown)) return;
    SetPressed(false);
    Click();
}

bool TCheckBoxButton::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !Enabled() || !Visible()) return false;
    TForm* form = ParentForm();
    if (!(form && form->CanFocus()) && GetKeyState(VK_MENU) >= 0) return false;
    Click();
    if (Parent()) Parent()->Perform(UM_BUTTONACCEL, 0, reinterpret_cast<LPARAM>(this));
    return true;
}

void TCheckBoxButton::WndProc(TMessage& msg) {
    if (msg.Msg == CM_DIALOGCHAR && DialogChar(static_cast<char>(msg.WParam))) {
        msg.Result = 1;
        return;
    }
    if (msg.Msg == CM_ENABLEDCHANGED) SetOption(coEnabled, Enabled());
    TGraphicControl::WndProc(msg);
}

// --- painting ---

void TCheckBoxButton::Paint() {
    TCanvas& canvas = Canvas();
    const RECT client = ClientRect();
    if (!Transparent()) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }
    TBitmap& glyph = glyph_.Empty() ? BuiltinGlyph(RadioButton(), Ctl3D()) : glyph_;
    const int cellWidth = glyph.Width() / 3, cellHeight = glyph.Height() / 3;
    const TGlyphCell cell = CheckGlyphCell(state_, Enabled(), Pressed());
    // The glyph area at its side of the button; the caption takes the rest less the spacing.
    RECT glyphArea = client, text = client;
    switch (layout_) {
    case blGlyphRight:
        glyphArea.left = client.right - cellWidth;
        text.right = glyphArea.left - spacing_;
        break;
    case blGlyphTop:
        glyphArea.bottom = client.top + cellHeight;
        text.top = glyphArea.bottom + spacing_;
        break;
    case blGlyphBottom:
        glyphArea.top = client.bottom - cellHeight;
        text.bottom = glyphArea.top - spacing_;
        break;
    default:
        glyphArea.right = client.left + cellWidth;
        text.left = glyphArea.right + spacing_;
        break;
    }
    const int gx = glyphArea.left + (glyphArea.right - glyphArea.left - cellWidth) / 2;
    const int gy = glyphArea.top + (glyphArea.bottom - glyphArea.top - cellHeight) / 2;
    canvas.BrushCopy(RECT{gx, gy, gx + cellWidth, gy + cellHeight}, glyph,
                     RECT{cell.Column * cellWidth, cell.Row * cellHeight, (cell.Column + 1) * cellWidth,
                          (cell.Row + 1) * cellHeight},
                     glyph.TransparentColor());
    const std::string caption = Caption();
    if (caption.empty()) return;
    UINT flags = AlignmentFlag(alignment_) | (WordBreak() ? DT_WORDBREAK : DT_SINGLELINE);
    RECT measured = text;
    canvas.DrawText(caption, measured, flags | DT_CALCRECT);
    const int height = measured.bottom - measured.top;
    if (layout_ != blGlyphTop) text.top += (text.bottom - text.top - height) / 2;
    text.bottom = text.top + height;
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(Enabled() ? Font().Color() : clGrayText);
    canvas.DrawText(caption, text, flags);
    if (Focused() && Enabled()) {
        // Around the caption's own extent, where the alignment put it.
        const int width = std::min(measured.right - measured.left, text.right - text.left);
        int left = text.left;
        if (alignment_ == taRightJustify) left = text.right - width;
        else if (alignment_ == taCenter) left = text.left + (text.right - text.left - width) / 2;
        RECT focus{left, text.top, left + width, text.bottom};
        InflateRect(&focus, 2, 1);
        canvas.Brush().SetStyle(bsSolid);
        canvas.Font().SetColor(clWindowText);
        DrawFocusRect(canvas.Handle(), &focus);
    }
}
