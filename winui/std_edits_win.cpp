#include "winui/std_edits_win.h"

#include <algorithm>
#include <climits>

#include "base/exception.h"
#include "base/string_ids.h"
#include "winui/font_metrics_win.h"
#include "winui/text_win.h"

const TClassInfo& TCustomEdit::StaticClass() {
    static const TClassInfo info{"TCustomEdit", &TWinControl::StaticClass(), {}, {}};
    return info;
}

const TClassInfo& TEdit::StaticClass() {
    static const TClassInfo info{"TEdit", &TCustomEdit::StaticClass(), {}, {}};
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
    AdjustHeight();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = "EDIT";
    params.Style |= ES_AUTOHSCROLL | ES_LEFT;
    if (readOnly_) params.Style |= ES_READONLY;
    if (passwordChar_) params.Style |= ES_PASSWORD;
    if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    HWND window = Handle();
    SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_)
        SendMessageW(window, EM_SETPASSWORDCHAR, WideText(std::string(1, passwordChar_))[0], 0);
    SendMessageW(window, EM_SETMODIFY, modified_, 0);
    SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selStart_ + selLength_));
}

void TCustomEdit::DestroyWnd() {
    if (HandleAllocated()) {
        modified_ = SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
        int start = 0;
        int end = 0;
        GetSelection(start, end);
        selStart_ = start;
        selLength_ = end - start;
    }
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetMaxLength(int length) {
    if (length < 0)
        throw Exception(sid::ValueOutOfRange, {int64_t{length}, int64_t{0}, int64_t{INT_MAX}});
    maxLength_ = length;
    if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
}

void TCustomEdit::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, readOnly, 0);
}

void TCustomEdit::SetPasswordChar(char character) {
    if (passwordChar_ == character) return;
    passwordChar_ = character;
    // ES_PASSWORD only takes effect at creation.
    if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
    if (style != bsSingle) style = bsNone;
    if (borderStyle_ == style) return;
    borderStyle_ = style;
    AdjustHeight();
    if (HandleAllocated()) RecreateWnd();
}

// The font height plus a quarter of the smaller of system and control font, plus the frame.
void TCustomEdit::AdjustHeight() {
    if (!autoSize_) return;
    const TFontHeights heights = ScreenFontHeights(Font().Handle());
    const int smaller = std::min(heights.System, heights.Font);
    int height = heights.Font + smaller / 4 + 2;
    if (borderStyle_ == bsSingle) height += 2 * GetSystemMetrics(SM_CYEDGE);
    SetHeight(height);
}

bool TCustomEdit::Modified() {
    if (HandleAllocated()) return SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool modified) {
    modified_ = modified;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETMODIFY, modified, 0);
}

void TCustomEdit::GetSelection(int& start, int& end) {
    DWORD first = 0;
    DWORD last = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    start = static_cast<int>(first);
    end = static_cast<int>(last);
}

int TCustomEdit::SelStart() {
    if (!HandleAllocated()) return selStart_;
    int start = 0;
    int end = 0;
    GetSelection(start, end);
    return start;
}

int TCustomEdit::SelLength() {
    if (!HandleAllocated()) return selLength_;
    int start = 0;
    int end = 0;
    GetSelection(start, end);
    return end - start;
}

void TCustomEdit::SetSelStart(int start) {
    start = std::max(start, 0);
    selStart_ = start;
    selLength_ = 0;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start));
}

void TCustomEdit::SetSelLength(int length) {
    const int start = SelStart();
    length = std::max(length, 0);
    selStart_ = start;
    selLength_ = length;
    if (HandleAllocated())
        SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

std::string TCustomEdit::SelText() {
    const std::string text = Text();
    const size_t start = std::min(static_cast<size_t>(SelStart()), text.size());
    return text.substr(start, static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::string& text) {
    HandleNeeded();
    SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

bool TCustomEdit::CanUndo() {
    return HandleAllocated() && SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0;
}

void TCustomEdit::Undo() {
    if (HandleAllocated()) SendMessageW(Handle(), WM_UNDO, 0, 0);
}

void TCustomEdit::CopyToClipboard() {
    if (HandleAllocated()) SendMessageW(Handle(), WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
    if (HandleAllocated()) SendMessageW(Handle(), WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
    if (HandleAllocated()) SendMessageW(Handle(), WM_PASTE, 0, 0);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(*this);
}

void TCustomEdit::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case CN_COMMAND:
        if (HIWORD(msg.WParam) == EN_CHANGE) {
            Change();
            msg.Result = 0;
            return;
        }
        break;
    case WM_SETFOCUS:
        TWinControl::WndProc(msg);
        // A click places the caret where it lands; only keyboard focus selects everything.
        if (autoSelect_ && (GetKeyState(VK_LBUTTON) & 0x8000) == 0) SelectAll();
        return;
    case CM_FONTCHANGED:
        TWinControl::WndProc(msg);
        AdjustHeight();
        return;
    default:
        break;
    }
    TWinControl::WndProc(msg);
}
