#include "widgets/placement_win.h"

#include "config/configuration.h"
#include "widgets/placement.h"

namespace {

int StoredState(TForm& form) {
    if (!form.HandleAllocated()) return static_cast<int>(form.WindowState());
    if (IsIconic(form.Handle())) return psMinimized;
    if (IsZoomed(form.Handle())) return psMaximized;
    return psNormal;
}

TPlacementRect NormalRect(TForm& form) {
    if (form.HandleAllocated()) {
        WINDOWPLACEMENT placement{};
        placement.length = 44;
        if (GetWindowPlacement(form.Handle(), &placement)) {
            const RECT& r = placement.rcNormalPosition;
            return {r.left, r.top, r.right - r.left, r.bottom - r.top};
        }
    }
    return {form.Left(), form.Top(), form.Width(), form.Height()};
}

}  // namespace

void SavePlacement(TForm& form) {
    TNode* node = ComponentNode(&form, "");
    TPlacementSave save;
    save.WindowState = StoredState(form);
    save.Tag = form.Tag();
    save.Caption = form.Caption();
    if (save.WindowState == psNormal) save.Normal = NormalRect(form);
    WritePlacement(node, save);
}

void RestorePlacement(TForm& form) {
    TNode* node = ComponentNode(&form, "");
    TPlacementCurrent current;
    current.Caption = form.Caption();
    current.Width = form.Width();
    current.Height = form.Height();
    current.WindowState = static_cast<int>(form.WindowState());
    current.Sizeable = form.BorderStyle() == bsSizeable || form.BorderStyle() == bsSizeToolWin;
    current.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    current.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    const auto restore = ReadPlacement(node, Configuration(), current);
    if (!restore) return;
    if (restore->Caption) form.SetCaption(*restore->Caption);
    if (restore->SetSize)
        form.SetBounds(restore->Left, restore->Top, restore->Width, restore->Height);
    else
        form.SetBounds(restore->Left, restore->Top, form.Width(), form.Height());
    form.SetWindowState(static_cast<TWindowState>(restore->WindowState));
}
