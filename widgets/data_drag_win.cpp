#include "widgets/data_drag_win.h"

namespace {
TDataDragObject* current = nullptr;

bool IsButtonUp(UINT msg) {
    switch (msg) {
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_NCLBUTTONUP: case WM_NCRBUTTONUP: case WM_NCMBUTTONUP:
        return true;
    default:
        return false;
    }
}
}  // namespace

TDataDragObject* CurrentDataDragObject() { return current; }

TDataDragObject::TDataDragObject(TControl* control, TPersistent* data, bool autoFree)
    : TDragObject(control), data_(data) {
    SetAutoFree(autoFree);
    if (TDataDragObject* previous = current) {
        // The drag manager must not go on with an object that is freed under it.
        if (CurrentDragObject() == previous) CancelDrag();
        // Cancelling may have freed it already (AutoFree), which clears the reference.
        if (current == previous) delete previous;
    }
    current = this;
    const bool right = (GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0;
    const bool left = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    if (right && !left) {
        SwapMouseButton(TRUE);
        swapped_ = true;
    }
}

TDataDragObject::~TDataDragObject() {
    SwapBack();
    if (current == this) current = nullptr;
}

void TDataDragObject::SwapBack() {
    if (!swapped_) return;
    SwapMouseButton(FALSE);
    swapped_ = false;
}

void TDataDragObject::DragMessage(const MSG& msg) {
    if (IsButtonUp(msg.message)) SwapBack();
}

void TDataDragObject::Finished(TControl* target, int x, int y, bool accepted) {
    SwapBack();
    TDragObject::Finished(target, x, y, accepted);
}
