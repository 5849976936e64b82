// The paragraph format of the rich edit control in its own units (twips), as far as the
// paragraph attributes read and write it, and which of its fields a change really touches, so
// that a write of unchanged values sends nothing and a write of one value leaves the others
// of a mixed selection alone.
#pragma once

#include <array>
#include <cstdint>

// Mask bits of the paragraph format (the control's PFM_ values).
constexpr uint32_t pfmStartIndent = 0x00000001;
constexpr uint32_t pfmRightIndent = 0x00000002;
constexpr uint32_t pfmOffset = 0x00000004;
constexpr uint32_t pfmAlignment = 0x00000008;
constexpr uint32_t pfmTabStops = 0x00000010;
constexpr uint32_t pfmNumbering = 0x00000020;
constexpr uint32_t pfmSpaceBefore = 0x00000040;
constexpr uint32_t pfmSpaceAfter = 0x00000080;
constexpr uint32_t pfmLineSpacing = 0x00000100;
constexpr uint32_t pfmAllSpacing = pfmSpaceBefore | pfmSpaceAfter | pfmLineSpacing;

constexpr int MaxTabStops = 32;

struct TParaFormat {
    uint32_t Mask = 0;
    uint16_t Numbering = 0;
    int32_t StartIndent = 0;
    int32_t RightIndent = 0;
    int32_t Offset = 0;
    uint16_t Alignment = 0;
    int16_t TabCount = 0;
    std::array<int32_t, MaxTabStops> Tabs{};
    // Only in the version-2 record.
    int32_t SpaceBefore = 0;
    int32_t SpaceAfter = 0;
    int32_t LineSpacing = 0;
    uint8_t LineSpacingRule = 0;

    bool operator==(const TParaFormat& other) const = default;
};

// The mask bits of the fields in which Changed differs from Old. The spacing fields count only
// in version-2 records; a changed line-spacing rule sends all three of them with it.
uint32_t ParaChangeMask(const TParaFormat& old, const TParaFormat& changed, bool version2);

// Tab stop Index (0..31) in twips; outside the range raises Exception (ValueOutOfRange). Stops
// beyond the count read as 0.
int32_t TabStop(const TParaFormat& format, int index);
// Sets tab stop Index; the count then covers it (at least Index + 1).
void SetTabStop(TParaFormat& format, int index, int32_t twips);
