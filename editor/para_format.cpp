#include "editor/para_format.h"

#include <algorithm>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

void CheckTabIndex(int index) {
    if (index < 0 || index >= MaxTabStops)
        throw Exception(sid::ValueOutOfRange, {int64_t{index}, int64_t{0}, int64_t{MaxTabStops - 1}});
}

bool SameTabs(const TParaFormat& a, const TParaFormat& b) {
    return a.TabCount == b.TabCount && a.Tabs == b.Tabs;
}

}  // namespace

uint32_t ParaChangeMask(const TParaFormat& old, const TParaFormat& changed, bool version2) {
    if (old == changed) return 0;
    uint32_t mask = 0;
    if (old.Numbering != changed.Numbering) mask |= pfmNumbering;
    if (old.StartIndent != changed.StartIndent) mask |= pfmStartIndent;
    if (old.RightIndent != changed.RightIndent) mask |= pfmRightIndent;
    if (old.Offset != changed.Offset) mask |= pfmOffset;
    if (old.Alignment != changed.Alignment) mask |= pfmAlignment;
    if (!SameTabs(old, changed)) mask |= pfmTabStops;
    if (version2) {
        if (old.LineSpacingRule != changed.LineSpacingRule) {
            mask |= pfmAllSpacing;
        } else {
            if (old.SpaceBefore != changed.SpaceBefore) mask |= pfmSpaceBefore;
            if (old.SpaceAfter != changed.SpaceAfter) mask |= pfmSpaceAfter;
            if (old.LineSpacing != changed.LineSpacing) mask |= pfmLineSpacing;
        }
    }
    return mask;
}

int32_t TabStop(const TParaFormat& format, int index) {
    CheckTabIndex(index);
    return index < format.TabCount ? format.Tabs[static_cast<size_t>(index)] : 0;
}

void SetTabStop(TParaFormat& format, int index, int32_t twips) {
    CheckTabIndex(index);
    format.Tabs[static_cast<size_t>(index)] = twips;
    format.TabCount = static_cast<int16_t>(std::max<int>(format.TabCount, index + 1));
}
