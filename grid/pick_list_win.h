// TPopupListBox: the drop-down list of the in-place editor. A topmost tool window of its own
// that never takes the activation or the focus: the editor keeps the focus and hands it the
// navigation keys, a press picks the item under the mouse, and the editor's mouse hook accepts
// it on release.
#pragma once

#include <windows.h>

#include "winui/std_lists_win.h"

class TPopupListBox : public TCustomListBox {
public:
    explicit TPopupListBox(TComponent* owner);

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // The item at a screen point; -1 outside the items.
    int ItemAtScreen(POINT screen);
    // Selects the item equal to Text (-1 when none is).
    void SelectText(const std::string& text);

    void WndProc(TMessage& msg) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void SelectAt(const TMessage& msg);
};
