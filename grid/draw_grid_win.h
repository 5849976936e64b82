// TNewDrawGrid: the grid for forms that draw their own cells (the picture list editor, the
// calendar window). It publishes the grid's properties for form files and adds
// OnTopLeftChanged.
#pragma once

#include "grid/grid_base_win.h"

class TNewDrawGrid : public TNewCustomGrid {
public:
    explicit TNewDrawGrid(TComponent* owner) : TNewCustomGrid(owner) {}

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // The top-left visible cell changed.
    TNotifyEvent OnTopLeftChanged;

protected:
    void TopLeftChanged() override;
};

// Makes the grid classes known to the component reader (form files).
void RegisterGridClasses();
