#include "grid/grid_types.h"

const std::vector<std::string>& GridOptionNames() {
    static const std::vector<std::string> names{
        "goFixedVertLine", "goFixedHorzLine", "goVertLine",   "goHorzLine",         "goRangeSelect",
        "goDrawFocusSelected", "goRowSizing", "goColSizing",  "goRowMoving",        "goColMoving",
        "goEditing",       "goTabs",          "goRowSelect",  "goAlwaysShowEditor", "goThumbTracking",
        "goFocusCurrent"};
    return names;
}

const std::vector<std::string>& SaveExtentNames() {
    static const std::vector<std::string> names{"seColWidths", "seRowHeights"};
    return names;
}

const std::vector<std::string>& ScrollStyleNames() {
    static const std::vector<std::string> names{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
    return names;
}
