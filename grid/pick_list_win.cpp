#include "grid/pick_list_win.h"

const TClassInfo& TPopupListBox::StaticClass() {
    static const TClassInfo info{"TPopupListBox", &TCustomListBox::StaticClass(), {}, {}};
    return info;
}

TPopupListBox::TPopupListBox(TComponent* owner) : TCustomListBox(owner) {
    SetVisible(false);
    SetTabStop(false);
}

void TPopupListBox::CreateParams(TCreateParams& params) {
    TCustomListBox::CreateParams(params);
    params.Style = (params.Style & ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP)) | WS_POPUP | WS_BORDER;
    params.ExStyle = (params.ExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.ClassStyle |= CS_SAVEBITS;
}

int TPopupListBox::ItemAtScreen(POINT screen) {
    if (!HandleAllocated()) return -1;
    POINT client = screen;
    ::ScreenToClient(Handle(), &client);
    RECT r;
    GetClientRect(Handle(), &r);
    if (!PtInRect(&r, client)) return -1;
    return ItemAtPos(client, true);
}

void TPopupListBox::SelectText(const std::string& text) {
    int found = -1;
    for (int i = 0; i < Count() && found < 0; ++i)
        if (Items().Strings(i) == text) found = i;
    SetItemIndex(found);
}

void TPopupListBox::SelectAt(const TMessage& msg) {
    const int index = ItemAtPos(POINT{MouseX(msg), MouseY(msg)}, true);
    if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
}

void TPopupListBox::WndProc(TMessage& msg) {
    switch (msg.Msg) {
    case WM_MOUSEACTIVATE:
        // A click keeps the editor's window active and focused.
        msg.Result = MA_NOACTIVATE;
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The list box would take the focus on a press; the item is picked here instead.
        SelectAt(msg);
        msg.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (msg.WParam & MK_LBUTTON) SelectAt(msg);
        msg.Result = 0;
        return;
    case WM_LBUTTONUP:
        msg.Result = 0;
        return;
    default: break;
    }
    TCustomListBox::WndProc(msg);
}
