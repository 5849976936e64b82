#include "grid/draw_grid_win.h"

#include "base/component_reader.h"

const TClassInfo& TNewDrawGrid::StaticClass() {
    static const TClassInfo info{"TNewDrawGrid", &TNewCustomGrid::StaticClass(), PublishedProps<TNewDrawGrid>(),
                                 [] { return new TNewDrawGrid(nullptr); }};
    return info;
}

void TNewDrawGrid::TopLeftChanged() {
    TNewCustomGrid::TopLeftChanged();
    if (OnTopLeftChanged) OnTopLeftChanged(*this);
}

void RegisterGridClasses() { RegisterComponentClass(TNewDrawGrid::StaticClass()); }
