#include "widgets/toolbar_layout.h"

#include <algorithm>
#include <map>

#include "base/exception.h"
#include "base/string_ids.h"

const char* const ToolbarDockValue = "DockedTo";
const char* const ToolbarFloatingValue = "Floating";
const char* const ToolbarRowValue = "DockRow";
const char* const ToolbarOffsetValue = "DockPos";
const char* const ToolbarFloatLeftValue = "FloatLeft";
const char* const ToolbarFloatTopValue = "FloatTop";
const char* const ToolbarVisibleValue = "Visible";

namespace {

// Places the items of one row (indices into Items, in offset order) along the dock.
void LayoutRow(const std::vector<TDockItem>& items, const std::vector<size_t>& row, int dockLength,
               std::vector<TDockSlot>& slots) {
    int end = 0;
    for (size_t i : row) {
        slots[i].Position = std::max(std::max(items[i].Offset, 0), end);
        end = slots[i].Position + std::max(items[i].Length, 0);
    }
    // Push back from the right what runs past the end, then forward again what would start
    // before 0 (a row longer than the dock runs past its end).
    int limit = dockLength;
    for (auto it = row.rbegin(); it != row.rend(); ++it) {
        int& position = slots[*it].Position;
        position = std::min(position, limit - std::max(items[*it].Length, 0));
        limit = position;
    }
    end = 0;
    for (size_t i : row) {
        slots[i].Position = std::max(slots[i].Position, end);
        end = slots[i].Position + std::max(items[i].Length, 0);
    }
}

int32_t ReadChecked(const TToolbarPositionStore& store, const std::string& name, int32_t current, int32_t min,
                    int32_t max) {
    const int32_t value = store.ReadInteger ? store.ReadInteger(name, current) : current;
    if (value < min || value > max) throw Exception(sid::ToolbarPositionError);
    return value;
}

}  // namespace

TDockLayout LayoutDock(const std::vector<TDockItem>& items, int dockLength) {
    TDockLayout layout;
    layout.Slots.resize(items.size());
    std::map<int, std::vector<size_t>> rows;
    for (size_t i = 0; i < items.size(); ++i) rows[items[i].Row].push_back(i);
    int rowIndex = 0, rowStart = 0;
    for (auto& [number, row] : rows) {
        std::stable_sort(row.begin(), row.end(), [&](size_t a, size_t b) { return items[a].Offset < items[b].Offset; });
        LayoutRow(items, row, dockLength, layout.Slots);
        int thickness = 0;
        for (size_t i : row) {
            layout.Slots[i].Row = rowIndex;
            layout.Slots[i].RowStart = rowStart;
            thickness = std::max(thickness, items[i].Thickness);
        }
        layout.RowThickness.push_back(thickness);
        rowStart += thickness;
        ++rowIndex;
    }
    layout.Thickness = rowStart;
    return layout;
}

TDockDrop DockDropRow(const std::vector<int>& rowThickness, int cross) {
    if (cross < 0) return {0, true};
    int start = 0;
    for (size_t row = 0; row < rowThickness.size(); ++row) {
        start += rowThickness[row];
        if (cross < start) return {static_cast<int>(row), false};
    }
    return {static_cast<int>(rowThickness.size()), true};
}

void SaveToolbarPlacement(const TToolbarPositionStore& store, const std::string& toolbar,
                          const TToolbarPlacement& placement) {
    const std::string prefix = toolbar + "\\";
    if (store.WriteString) store.WriteString(prefix + ToolbarDockValue, placement.Dock);
    if (!store.WriteInteger) return;
    store.WriteInteger(prefix + ToolbarFloatingValue, placement.Floating ? 1 : 0);
    store.WriteInteger(prefix + ToolbarRowValue, placement.Row);
    store.WriteInteger(prefix + ToolbarOffsetValue, placement.Offset);
    store.WriteInteger(prefix + ToolbarFloatLeftValue, placement.FloatLeft);
    store.WriteInteger(prefix + ToolbarFloatTopValue, placement.FloatTop);
    store.WriteInteger(prefix + ToolbarVisibleValue, placement.Visible ? 1 : 0);
}

TToolbarPlacement LoadToolbarPlacement(const TToolbarPositionStore& store, const std::string& toolbar,
                                       const TToolbarPlacement& current) {
    const std::string prefix = toolbar + "\\";
    TToolbarPlacement result;
    result.Dock = store.ReadString ? store.ReadString(prefix + ToolbarDockValue, current.Dock) : current.Dock;
    result.Floating = ReadChecked(store, prefix + ToolbarFloatingValue, current.Floating ? 1 : 0, 0, 1) != 0;
    result.Row = ReadChecked(store, prefix + ToolbarRowValue, current.Row, 0, 255);
    result.Offset = ReadChecked(store, prefix + ToolbarOffsetValue, current.Offset, 0, 32767);
    result.FloatLeft = ReadChecked(store, prefix + ToolbarFloatLeftValue, current.FloatLeft, -32768, 32767);
    result.FloatTop = ReadChecked(store, prefix + ToolbarFloatTopValue, current.FloatTop, -32768, 32767);
    result.Visible = ReadChecked(store, prefix + ToolbarVisibleValue, current.Visible ? 1 : 0, 0, 1) != 0;
    return result;
}
