// The program's drag object: it carries one data value (a node, a picture entry ...) and also
// works for drags with the right mouse button, by swapping the mouse buttons while the drag
// runs so that the framework's left-button drag handling applies. One data drag object is
// current at a time.
#pragma once

#include <windows.h>

#include "base/persistent.h"
#include "winui/drag_win.h"

class TDataDragObject : public TDragObject {
public:
    // Frees the previous current data drag object (cancelling its drag first when it is the
    // running one) and becomes current. When the right mouse button (and not the left) is down
    // now, the mouse buttons are swapped until the next button-up. AutoFree: the framework's
    // drag manager frees the object when its drag ends.
    TDataDragObject(TControl* control, TPersistent* data, bool autoFree = false);
    ~TDataDragObject() override;

    TPersistent* Data() const { return data_; }
    bool ButtonsSwapped() const { return swapped_; }

    // Swaps the buttons back on a button-up (client or non-client).
    void DragMessage(const MSG& msg) override;
    void Finished(TControl* target, int x, int y, bool accepted) override;

private:
    void SwapBack();
    TPersistent* data_;
    bool swapped_ = false;
};

// The current data drag object; null when none.
TDataDragObject* CurrentDataDragObject();
