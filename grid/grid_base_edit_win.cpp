// TNewCustomGrid: the in-place editor: when it may show, showing and hiding it, storing its
// text, and where it goes.
#include "grid/grid_base_win.h"
#include "grid/inplace_editor_win.h"
#include "winui/text_win.h"

std::string TNewCustomGrid::GetEditText(int32_t col, int32_t row) {
    std::string value;
    if (OnGetEditText) OnGetEditText(*this, col, row, value);
    return value;
}

std::string TNewCustomGrid::GetEditMask(int32_t col, int32_t row) {
    std::string value;
    if (OnGetEditMask) OnGetEditMask(*this, col, row, value);
    return value;
}

void TNewCustomGrid::SetEditText(int32_t col, int32_t row, const std::string& value) {
    if (OnSetEditText) OnSetEditText(*this, col, row, value);
}

bool TNewCustomGrid::HasFocus() {
    if (!HandleAllocated()) return false;
    const HWND focus = GetFocus();
    return focus == Handle() || (editor_ && editor_->HandleAllocated() && focus == editor_->Handle());
}

bool TNewCustomGrid::CanEditShow() {
    if (!options_.Has(goEditing) || options_.Has(goRowSelect) || !HandleAllocated()) return false;
    if (state_ != gsNormal && state_ != gsDragWait) return false;
    if (IsFixedCell(current_.X, current_.Y)) return false;
    return options_.Has(goAlwaysShowEditor) || HasFocus();
}

bool TNewCustomGrid::CanEditModify() { return options_.Has(goEditing); }

TInplaceEditor* TNewCustomGrid::CreateEditor() {
    auto* editor = new TInplaceEditor(this);
    editor->OnMouseDown = [this](TControl&, TMouseButton button, TShiftState shift, int x, int y) {
        EditorMouseDown(button, shift, x, y);
    };
    return editor;
}

void TNewCustomGrid::UpdateEditor(TCustomInplaceEditor& editor) {
    if (OnUpdateEditor) OnUpdateEditor(*this, editor);
}

RECT TNewCustomGrid::EditorRect() { return CellRect(current_.X, current_.Y); }

void TNewCustomGrid::ShowEditor() {
    if (showingEditor_ || !CanEditShow()) return;
    showingEditor_ = true;
    try {
        if (!editor_) editor_ = CreateEditor();
        editorMode_ = true;
        editor_->UpdateContents();
        UpdateEditor(*editor_);
        UpdateEditPos();
        InvalidateCell(current_.X, current_.Y);
    } catch (...) {
        showingEditor_ = false;
        throw;
    }
    showingEditor_ = false;
}

void TNewCustomGrid::ShowEditorChar(char key) {
    ShowEditor();
    if (!editorMode_ || !editor_ || !editor_->HandleAllocated()) return;
    // The character replaces the selected text as if typed into the editor.
    const std::wstring wide = WideText(std::string(1, key));
    if (!wide.empty()) SendMessageW(editor_->Handle(), WM_CHAR, wide[0], 0);
}

void TNewCustomGrid::ApplyEditText() {
    if (!editor_ || !editorMode_) return;
    const std::string text = editor_->Text();
    if (text == editor_->StartText()) return;
    editor_->SetStartText(text);
    SetEditText(current_.X, current_.Y, text);
}

void TNewCustomGrid::HideEditor() {
    if (!editorMode_) return;
    ApplyEditText();
    editorMode_ = false;
    if (editor_ && editor_->Visible()) {
        // The focus stays in the grid rather than going nowhere with the hidden window.
        if (editor_->HandleAllocated() && GetFocus() == editor_->Handle() && HandleAllocated()) {
            hidingEditor_ = true;
            ::SetFocus(Handle());
            hidingEditor_ = false;
        }
        editor_->Hide();
    }
    InvalidateCell(current_.X, current_.Y);
    EditorClosed();
}

void TNewCustomGrid::SetEditorMode(bool value) {
    if (value) ShowEditor();
    else HideEditor();
}

void TNewCustomGrid::UpdateEditPos() {
    if (!editor_ || !editorMode_) return;
    if (Updating()) {
        pending_ += grEditor;
        return;
    }
    editor_->Move(EditorRect());
    if (HandleAllocated()) SendMessageW(Handle(), GM_EDITPOSCHANGED, 0, 0);
    if (OnUpdateEditPos) OnUpdateEditPos(*this);
}

void TNewCustomGrid::EditorExit() {
    ApplyEditText();
    if (!options_.Has(goAlwaysShowEditor)) HideEditor();
}
