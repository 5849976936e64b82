#include "winui/mask_edit_win.h"

#include "winui/text_win.h"

const TClassInfo& TCustomMaskEdit::StaticClass() {
    static const TClassInfo info{"TCustomMaskEdit", &TCustomEdit::StaticClass(), {}, {}};
    return info;
}

const TClassInfo& TMaskEdit::StaticClass() {
    static const TClassInfo info{
        "TMaskEdit",
        &TCustomMaskEdit::StaticClass(),
        {TypedProp<TMaskEdit, std::string>(
            "EditMask", TPropKind::pkString, [](const TMaskEdit& e) { return e.EditMask(); },
            [](TMaskEdit& e, const std::string& v) { e.SetEditMask(v); },
            [](const TMaskEdit& e) { return !e.EditMask().empty(); })},
        {}};
    return info;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const std::string& mask) {
    if (mask == mask_.Mask()) return;
    const std::string text = GetText();
    mask_ = TEditMask(mask);
    TCustomEdit::SetTextValue(IsMasked() ? mask_.Format(text) : text);
    if (HandleAllocated())
        SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(IsMasked() ? mask_.Length() : MaxLength()), 0);
}

void TCustomMaskEdit::CreateWindowHandle(const TCreateParams& params) {
    TCustomEdit::CreateWindowHandle(params);
    if (IsMasked()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(mask_.Length()), 0);
}

std::string TCustomMaskEdit::EditText() { return TCustomEdit::GetText(); }

void TCustomMaskEdit::SetEditText(const std::string& text) {
    TCustomEdit::SetTextValue(text);
    Perform(CM_TEXTCHANGED);
}

bool TCustomMaskEdit::IsComplete() { return !IsMasked() || mask_.Complete(EditText()); }

std::string TCustomMaskEdit::GetText() {
    if (!IsMasked()) return TCustomEdit::GetText();
    return mask_.Text(EditText());
}

void TCustomMaskEdit::SetTextValue(const std::string& text) {
    TCustomEdit::SetTextValue(IsMasked() ? mask_.Format(text) : text);
}

bool TCustomMaskEdit::CanModify() { return !ReadOnly(); }

void TCustomMaskEdit::Refuse() { MessageBeep(MB_OK); }

void TCustomMaskEdit::Change() {
    if (!applying_) TCustomEdit::Change();
}

TMaskEditState TCustomMaskEdit::State() {
    TMaskEditState state;
    state.Text = EditText();
    if (!HandleAllocated()) return state;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    state.SelStart = static_cast<int>(start);
    state.SelEnd = static_cast<int>(end);
    return state;
}

void TCustomMaskEdit::ApplyState(const TMaskEditState& state) {
    HandleNeeded();
    const bool changed = state.Text != EditText();
    if (changed) {
        // The window's own change notice would come before the selection is right (and not at
        // all for a multi-line window): the change event fires once, below.
        applying_ = true;
        SetWindowTextCp1252(Handle(), state.Text);
        applying_ = false;
        SetModified(true);
    }
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(state.SelStart), static_cast<LPARAM>(state.SelEnd));
    if (changed) Change();
}

std::string TCustomMaskEdit::ClipboardLine() {
    std::string text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = NarrowText(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    const size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd != std::string::npos) text.resize(lineEnd);
    return text;
}

void TCustomMaskEdit::Paste() {
    TMaskEditState state = State();
    if (MaskPaste(mask_, state, ClipboardLine())) ApplyState(state);
    else Refuse();
}

void TCustomMaskEdit::Clear() {
    TMaskEditState state = State();
    MaskClearSelection(mask_, state);
    ApplyState(state);
}

void TCustomMaskEdit::Cut() {
    // The window copies the selection as it shows it; clearing keeps the literals.
    CopyToClipboard();
    Clear();
}

void TCustomMaskEdit::SnapCaret() {
    TMaskEditState state = State();
    const TMaskEditState before = state;
    MaskSnapCaret(mask_, state);
    if (state.SelEnd != before.SelEnd || state.SelStart != before.SelStart) ApplyState(state);
}

bool TCustomMaskEdit::MaskedKeyDown(WORD key, TShiftState shift) {
    if (shift.Has(ssCtrl) || shift.Has(ssAlt)) return false;
    const bool shifted = shift.Has(ssShift);
    TMaskEditState state = State();
    switch (key) {
    case VK_DELETE:
        if (!CanModify()) Refuse();
        else if (shifted) Cut();
        else if (MaskDelete(mask_, state)) ApplyState(state);
        else Refuse();
        return true;
    case VK_INSERT:
        if (!shifted) return false;
        if (CanModify()) Paste();
        else Refuse();
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        // With Shift the window extends the selection itself.
        if (shifted) return false;
        if (key == VK_LEFT) MaskCaretLeft(mask_, state);
        else if (key == VK_RIGHT) MaskCaretRight(mask_, state);
        else if (key == VK_HOME) MaskCaretHome(mask_, state);
        else MaskCaretEnd(mask_, state);
        ApplyState(state);
        return true;
    default: return false;
    }
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (key && IsMasked() && MaskedKeyDown(key, shift)) key = 0;
}

void TCustomMaskEdit::KeyPress(char& key) {
    TCustomEdit::KeyPress(key);
    if (!key || !IsMasked()) return;
    const char typed = key;
    key = 0;
    switch (typed) {
    case 0x03: key = typed; return;  // Ctrl+C: the window copies
    case 0x16: SendMessageW(Handle(), WM_PASTE, 0, 0); return;
    case 0x18: SendMessageW(Handle(), WM_CUT, 0, 0); return;
    default: break;
    }
    const bool printable = static_cast<unsigned char>(typed) >= 32;
    if (typed != '\b' && !printable) return;
    if (!CanModify()) {
        Refuse();
        return;
    }
    TMaskEditState state = State();
    const bool taken = typed == '\b' ? MaskBackspace(mask_, state) : MaskTypeChar(mask_, state, typed);
    if (taken) ApplyState(state);
    else Refuse();
}

void TCustomMaskEdit::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
        if (!CanModify()) return;
        if (!IsMasked()) break;
        if (msg.Msg == WM_PASTE) Paste();
        else if (msg.Msg == WM_CUT) Cut();
        else Clear();
        return;
    case WM_LBUTTONUP:
    case WM_SETFOCUS:
        TCustomEdit::WndProc(msg);
        if (IsMasked()) SnapCaret();
        return;
    default: break;
    }
    TCustomEdit::WndProc(msg);
}
