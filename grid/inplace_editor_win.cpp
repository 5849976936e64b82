#include "grid/inplace_editor_win.h"

#include <algorithm>

#include "grid/grid_base_win.h"
#include "grid/pick_list_win.h"
#include "widgets/app_services_win.h"
#include "widgets/popup_placement.h"
#include "winui/graphics_win.h"

namespace {

TInplaceEditor* openEditor = nullptr;

bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The drop-down arrow: a small black triangle on the mask colour.
std::unique_ptr<TBitmap> ArrowGlyph() {
    auto glyph = std::make_unique<TBitmap>(9, 5);
    TCanvas& c = glyph->Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(RECT{0, 0, 9, 5});
    c.Brush().SetColor(clBlack);
    for (int row = 0; row < 4; ++row) c.FillRect(RECT{1 + row, row + 1, 8 - row, row + 2});
    c.DeselectObjects();
    return glyph;
}

}  // namespace

// =====================================================================================
// TCustomInplaceEditor
// =====================================================================================

const TClassInfo& TCustomInplaceEditor::StaticClass() {
    static const TClassInfo info{"TCustomInplaceEditor", &TCustomMaskEdit::StaticClass(), {}, {}};
    return info;
}

TCustomInplaceEditor::TCustomInplaceEditor(TNewCustomGrid* grid) : TCustomMaskEdit(grid), grid_(grid) {
    SetVisible(false);
    SetTabStop(false);
    SetAutoSize(false);
    SetBorderStyle(bsNone);
    SetParentColor(true);
    if (grid_) SetParent(grid_);
}

void TCustomInplaceEditor::CreateParams(TCreateParams& params) {
    TCustomMaskEdit::CreateParams(params);
    // A multi-line edit takes a formatting rectangle, which lines the text up with the cell's;
    // without automatic vertical scrolling it still shows one line.
    params.Style |= ES_MULTILINE;
    params.Style &= ~WS_TABSTOP;
}

int32_t TCustomInplaceEditor::Col() const { return grid_ ? grid_->Col() : -1; }

int32_t TCustomInplaceEditor::Row() const { return grid_ ? grid_->Row() : -1; }

void TCustomInplaceEditor::UpdateContents() {
    if (!grid_) return;
    SetEditMask(grid_->GetEditMask(Col(), Row()));
    SetMaxLength(IsMasked() ? 0 : std::max(grid_->GetEditLimit(), 0));
    SetText(grid_->GetEditText(Col(), Row()));
    startText_ = Text();
    SetModified(false);
    SelectAll();
}

int TCustomInplaceEditor::TextRight() { return ClientWidth(); }

void TCustomInplaceEditor::UpdateEditRect() {
    if (!grid_ || !HandleAllocated()) return;
    TDrawStruct ds;
    grid_->CalcDrawStruct(ds, Col(), Row());
    RECT r = ds.TextRect;
    OffsetRect(&r, -Left(), -Top());
    const RECT client = ClientRect();
    r.left = std::max(r.left, client.left);
    r.top = std::max(r.top, client.top);
    r.right = std::min<LONG>(std::min(r.right, client.right), TextRight());
    r.bottom = std::min(r.bottom, client.bottom);
    if (EmptyRect(r)) r = RECT{client.left, client.top, TextRight(), client.bottom};
    // The edit's own margins would push the text off the cell's.
    SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomInplaceEditor::Move(const RECT& rect) {
    if (EmptyRect(rect)) {
        if (Visible()) SetVisible(false);
        return;
    }
    const bool resized = rect.right - rect.left != Width() || rect.bottom - rect.top != Height() || !Visible();
    // Placed without redrawing the grid under it: the grid repaints its cells itself.
    SetWindowPos(Handle(), HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOREDRAW | SWP_NOACTIVATE);
    if (!Visible()) SetVisible(true);
    if (resized) UpdateEditRect();
    Placed();
    InvalidateRect(Handle(), nullptr, TRUE);
    if (grid_ && grid_->HandleAllocated() && GetFocus() == grid_->Handle() && CanFocus()) ::SetFocus(Handle());
}

void TCustomInplaceEditor::Reset() {
    SetText(startText_);
    SetModified(false);
    SelectAll();
}

void TCustomInplaceEditor::Hide() {
    if (Visible()) SetVisible(false);
}

bool TCustomInplaceEditor::CanModify() { return TCustomMaskEdit::CanModify() && (!grid_ || grid_->CanEditModify()); }

bool TCustomInplaceEditor::CaretAtStart() {
    DWORD start = 0, end = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (IsMasked()) return start == end && static_cast<int>(end) <= Mask().FirstStop();
    return start == 0 && end == 0;
}

bool TCustomInplaceEditor::CaretAtEnd() {
    DWORD start = 0, end = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start != end) return false;
    if (IsMasked()) return static_cast<int>(end) >= Mask().LastStop();
    return static_cast<int>(end) == GetWindowTextLengthW(Handle());
}

void TCustomInplaceEditor::SendToGrid(WORD& key, TShiftState shift) {
    WORD gridKey = key;
    key = 0;
    grid_->KeyDown(gridKey, shift);
}

void TCustomInplaceEditor::KeyDown(WORD& key, TShiftState shift) {
    if (!grid_) {
        TCustomMaskEdit::KeyDown(key, shift);
        return;
    }
    const bool ctrl = shift.Has(ssCtrl);
    const bool anyShift = shift.Has(ssShift) || shift.Has(ssCtrl) || shift.Has(ssAlt);
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: SendToGrid(key, shift); return;
    case VK_LEFT:
    case VK_HOME:
        if (ctrl || CaretAtStart()) SendToGrid(key, shift);
        break;
    case VK_RIGHT:
    case VK_END:
        if (ctrl || CaretAtEnd()) SendToGrid(key, shift);
        break;
    case VK_TAB:
        if (!shift.Has(ssAlt)) SendToGrid(key, shift);
        return;
    case VK_ESCAPE:
        Reset();
        SendToGrid(key, shift);
        return;
    case VK_INSERT:
        if (!anyShift) SendToGrid(key, shift);
        else if (shift.Has(ssShift) && !grid_->CanEditModify()) key = 0;
        break;
    case VK_DELETE:
        if (!grid_->CanEditModify()) key = 0;
        break;
    case VK_F2: {
        const int length = GetWindowTextLengthW(Handle());
        SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
        key = 0;
        return;
    }
    default: grid_->KeyDown(key, shift); break;
    }
    if (key) TCustomMaskEdit::KeyDown(key, shift);
}

void TCustomInplaceEditor::KeyPress(char& key) {
    if (!grid_) {
        TCustomMaskEdit::KeyPress(key);
        return;
    }
    grid_->KeyPress(key);
    if (!key) return;
    const bool printable = static_cast<unsigned char>(key) >= 32;
    if (printable && !grid_->CanEditAcceptKey(key)) {
        key = 0;
        Refuse();
        return;
    }
    switch (key) {
    case '\t':
    case '\r':
    case '\n':
    case 0x1B: key = 0; return;
    case 0x16:
    case 0x18:
    case '\b':
        if (!grid_->CanEditModify()) key = 0;
        break;
    default:
        if (printable && !grid_->CanEditModify()) {
            key = 0;
            Refuse();
            return;
        }
        break;
    }
    if (key) TCustomMaskEdit::KeyPress(key);
}

bool TCustomInplaceEditor::WantsKey(WORD key) {
    if (key == VK_TAB) return grid_ && grid_->Options().Has(goTabs);
    return true;
}

void TCustomInplaceEditor::FocusLost(HWND next) {
    if (!grid_ || !next || next == Handle() || next == grid_->Handle()) return;
    // Only a window of this program ends the editing; switching to another program does not.
    if (GetWindowThreadProcessId(next, nullptr) != GetCurrentThreadId()) return;
    grid_->EditorExit();
}

// The edit shows one line: a pasted text keeps its first line.
void TCustomInplaceEditor::PasteLine() {
    const std::string line = ClipboardLine();
    SetSelText(line);
}

void TCustomInplaceEditor::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_GETDLGCODE:
        msg.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (grid_ && grid_->Options().Has(goTabs)) msg.Result |= DLGC_WANTTAB;
        return;
    case WM_PASTE:
        if (IsMasked()) break;
        if (CanModify()) PasteLine();
        return;
    case WM_KILLFOCUS:
        TCustomMaskEdit::WndProc(msg);
        FocusLost(reinterpret_cast<HWND>(msg.WParam));
        return;
    default: break;
    }
    TCustomMaskEdit::WndProc(msg);
}

// =====================================================================================
// TInplaceEditor
// =====================================================================================

const TClassInfo& TInplaceEditor::StaticClass() {
    static const TClassInfo info{"TInplaceEditor", &TCustomInplaceEditor::StaticClass(), {}, {}};
    return info;
}

TInplaceEditor::TInplaceEditor(TNewCustomGrid* grid) : TCustomInplaceEditor(grid) {}

TInplaceEditor::~TInplaceEditor() {
    // The hook goes with the editor, whatever happened to the list.
    RemoveTrackingControl(this);
    if (openEditor == this) openEditor = nullptr;
}

TInplaceEditor* TInplaceEditor::OpenEditor() { return openEditor; }

TNewSpeedButton& TInplaceEditor::Button() {
    if (!button_) {
        auto* button = new TNewSpeedButton(this);
        const std::unique_ptr<TBitmap> glyph = ArrowGlyph();
        button->SetGlyph(glyph.get());
        button->SetMaskColor(clFuchsia);
        button->SetCursor(crArrow);
        button->SetVisible(false);
        button->SetInplaced(true);
        button->OnClick = [this](TControl&) { ButtonClick(); };
        button_ = button;
        owned_ += ipButton;
        button->SetParent(this);
    }
    return *button_;
}

void TInplaceEditor::SetButton(TNewSpeedButton* button) {
    if (button == button_) return;
    if (button_ && owned_.Has(ipButton)) delete button_;
    else if (button_) button_->RemoveFreeNotification(this);
    owned_ -= ipButton;
    button_ = button;
    if (!button) return;
    button->FreeNotification(this);
    button->OnClick = [this](TControl&) { ButtonClick(); };
    button->SetParent(this);
    LayoutButtons();
}

void TInplaceEditor::SetButtonVisible(bool visible) {
    buttonVisible_ = visible;
    if (visible) Button();
    LayoutButtons();
}

TCustomListBox& TInplaceEditor::PickListBox() {
    if (auto* list = dynamic_cast<TCustomListBox*>(pickList_)) return *list;
    auto* list = new TPopupListBox(this);
    SetPickList(list);
    owned_ += ipPickList;
    return *list;
}

void TInplaceEditor::SetPickList(TWinControl* list) {
    if (list == pickList_) return;
    CloseUp(false);
    if (pickList_ && owned_.Has(ipPickList)) delete pickList_;
    else if (pickList_) pickList_->RemoveFreeNotification(this);
    owned_ -= ipPickList;
    pickList_ = list;
    if (list) list->FreeNotification(this);
}

void TInplaceEditor::SetPickItems(const std::vector<std::string>& items) {
    TCustomListBox& list = PickListBox();
    list.Items().Clear();
    for (const std::string& item : items) list.Items().Add(item);
    SetButtonVisible(true);
}

void TInplaceEditor::Notification(TComponent* component, TOperation operation) {
    TCustomInplaceEditor::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == button_) {
        button_ = nullptr;
        owned_ -= ipButton;
    }
    if (component == pickList_) {
        if (openEditor == this) openEditor = nullptr;
        RemoveTrackingControl(this);
        pickList_ = nullptr;
        owned_ -= ipPickList;
    }
}

void TInplaceEditor::UpdateContents() {
    TCustomInplaceEditor::UpdateContents();
    if (pickList_) pickList_->SetWidth(Width());
}

int TInplaceEditor::TextRight() {
    const bool buttonShown = button_ && buttonVisible_ && button_->Visible();
    return ClientWidth() - (buttonShown ? button_->Width() : 0);
}

// The button sits at the right edge (it aligns itself there); the text keeps clear of it.
void TInplaceEditor::LayoutButtons() {
    if (button_) {
        const bool show = buttonVisible_ && Visible();
        if (button_->Visible() != show) button_->SetVisible(show);
    }
    UpdateEditRect();
}

void TInplaceEditor::Hide() {
    CloseUp(false);
    if (auto* list = dynamic_cast<TCustomListBox*>(pickList_)) list->Items().Clear();
    buttonVisible_ = false;
    if (button_ && button_->Visible()) button_->SetVisible(false);
    OnAccept = nullptr;
    TCustomInplaceEditor::Hide();
}

bool TInplaceEditor::ListVisible() const {
    return pickList_ && pickList_->HandleAllocated() && IsWindowVisible(pickList_->Handle());
}

void TInplaceEditor::ButtonClick() {
    if (ListVisible()) CloseUp(false);
    else DropDown();
}

// Below the editor and as wide as it; above it when it would leave the screen at the bottom.
// A list box shows its items but at most a quarter of the screen's height of them, and at
// least two.
void TInplaceEditor::PlaceList() {
    int height = pickList_->Height();
    if (auto* list = dynamic_cast<TCustomListBox*>(pickList_)) {
        itemHeight_ = std::max(list->ItemHeight(), 1);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        const int fitting = std::max(screenHeight / 4 / itemHeight_, 1);
        const int shown = std::max(std::min(list->Count(), fitting), 2);
        height = shown * itemHeight_ + 2;
    }
    RECT r;
    GetWindowRect(Handle(), &r);
    const TPopupPlacement place = PlacePopup(TPopupRect{r.left, r.top, r.right, r.bottom}, r.right - r.left, height, 0,
                                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    pickList_->SetBounds(place.X, place.Y, r.right - r.left, height);
}

void TInplaceEditor::DropDown() {
    if (!pickList_ || ListVisible() || !HandleAllocated()) return;
    if (openEditor && openEditor != this) openEditor->CloseUp(false);
    if (!pickList_->HandleAllocated() && !pickList_->Parent())
        pickList_->SetParentWindow(GetAncestor(Handle(), GA_ROOT));
    pickList_->SetFont(Font());
    pickList_->HandleNeeded();
    if (auto* popup = dynamic_cast<TPopupListBox*>(pickList_)) popup->SelectText(Text());
    PlaceList();
    openEditor = this;
    AddTrackingControl(this);
    pickList_->SetVisible(true);
    // The editor keeps the focus and hands the list its navigation keys.
}

void TInplaceEditor::CloseUp(bool accept) {
    if (openEditor == this) openEditor = nullptr;
    RemoveTrackingControl(this);
    if (closing_ || !ListVisible()) return;
    closing_ = true;
    struct TReset {
        bool& flag;
        ~TReset() { flag = false; }
    } reset{closing_};
    pickList_->SetVisible(false);
    auto* list = dynamic_cast<TCustomListBox*>(pickList_);
    const int index = list ? list->ItemIndex() : -1;
    if (accept && index >= 0) {
        if (OnAccept) {
            // A copy: the handler may hide the editor, which clears OnAccept.
            const TPickAcceptEvent handler = OnAccept;
            handler(*this, index);
        } else {
            SetText(list->Items().Strings(index));
            SelectAll();
            if (Grid()) Grid()->ApplyEditText();
        }
    }
    if (HandleAllocated() && Visible() && CanFocus() && GetFocus() != Handle()) ::SetFocus(Handle());
}

bool TInplaceEditor::ListKey(WORD key) {
    switch (key) {
    case VK_RETURN: CloseUp(true); return true;
    case VK_ESCAPE: CloseUp(false); return true;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: SendMessageW(pickList_->Handle(), WM_KEYDOWN, key, 0); return true;
    default: return false;
    }
}

void TInplaceEditor::KeyDown(WORD& key, TShiftState shift) {
    if (ListVisible() && ListKey(key)) {
        key = 0;
        return;
    }
    const bool toggle = (key == VK_DOWN && shift.Has(ssAlt)) || key == VK_F4;
    if (toggle && pickList_ && buttonVisible_) {
        ButtonClick();
        key = 0;
        return;
    }
    TCustomInplaceEditor::KeyDown(key, shift);
}

void TInplaceEditor::FocusLost(HWND next) {
    if (pickList_ && pickList_->HandleAllocated() && next == pickList_->Handle()) return;
    CloseUp(false);
    TCustomInplaceEditor::FocusLost(next);
}

// Every mouse message of the thread while the list is open, from the mouse hook. Only noted
// here: the work is posted, so that nothing runs inside the hook.
void TInplaceEditor::TrackedMouse(const TMessage& msg) {
    if (!ListVisible() || msg.Msg == WM_MOUSEMOVE || msg.Msg == WM_NCMOUSEMOVE) return;
    const auto under = reinterpret_cast<HWND>(msg.WParam);
    const HWND list = pickList_->Handle();
    const bool onList = under == list || IsChild(list, under);
    if (TrackedMouseButton(msg.Msg) != 0) {
        // A press on the editor (its button) is its own; a press elsewhere closes the list.
        if (under != Handle() && !onList) PostMessageW(Handle(), GM_PICKLISTCLOSE, 0, msg.LParam);
        return;
    }
    if (msg.Msg == WM_LBUTTONUP && onList) PostMessageW(Handle(), GM_PICKLISTCLOSE, 1, msg.LParam);
}

void TInplaceEditor::PickListClose(const TMessage& msg) {
    if (!ListVisible()) return;
    if (msg.WParam == 0) {
        CloseUp(false);
        return;
    }
    auto* popup = dynamic_cast<TPopupListBox*>(pickList_);
    const int index = popup ? popup->ItemAtScreen(POINT{MouseX(msg), MouseY(msg)}) : -1;
    if (popup && index < 0) return;
    if (popup) popup->SetItemIndex(index);
    CloseUp(true);
}

void TInplaceEditor::WndProc(TMessage& msg) {
    if (IsTrackedMouseMessage(this, msg.Msg)) {
        TrackedMouse(msg);
        return;
    }
    switch (msg.Msg) {
    case UM_OPTIONCHANGED:
        if (msg.WParam == 0 && msg.LParam == 0) LayoutButtons();
        return;
    case GM_PICKLISTCLOSE: PickListClose(msg); return;
    default: break;
    }
    TCustomInplaceEditor::WndProc(msg);
}
