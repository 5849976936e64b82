#include "widgets/panel_layout.h"

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

uint32_t& DefaultBits() {
    static uint32_t bits = 0;
    return bits;
}

}  // namespace

uint32_t PanelDefaultOptions() { return DefaultBits(); }
void SetPanelDefaultOptions(uint32_t bits) { DefaultBits() = bits & PanelDrawMask; }

TPanelOptions::TPanelOptions() : bits_(PanelBit(pnDefaultOptions) | PanelDefaultOptions()) {}

bool TPanelOptions::Get(unsigned bit) const {
    if (bit > 31) throw Exception(sid::ValueOutOfRange, {int64_t{bit}, int64_t{0}, int64_t{31}});
    return (bits_ & PanelBit(bit)) != 0;
}

bool TPanelOptions::Set(unsigned bit, bool value) {
    Get(bit);
    const uint32_t old = bits_;
    bits_ = value ? (bits_ | PanelBit(bit)) : (bits_ & ~PanelBit(bit));
    if (value && bit == pnTiled) bits_ &= ~PanelBit(pnStretch);
    if (value && bit == pnStretch) bits_ &= ~PanelBit(pnTiled);
    if (value && bit == pnDefaultOptions) bits_ = (bits_ & ~PanelDrawMask) | PanelDefaultOptions();
    return bits_ != old;
}

int TileStart(int areaLength, int tileLength, bool alignToForm, int formOffset, bool centre) {
    if (tileLength < 1) return 0;
    // A panel that starts FormOffset pixels into the form starts its tiles that far into the
    // form's pattern.
    int start = alignToForm ? -formOffset : 0;
    if (centre && areaLength > 0) start -= (tileLength - areaLength % tileLength) / 2;
    start %= tileLength;
    if (start > 0) start -= tileLength;
    return start;
}

int PlaceBitmap(int areaLength, int bitmapLength, bool centre) {
    return centre ? (areaLength - bitmapLength) / 2 : 0;
}
