#include "editor/escape_latch.h"

#include <utility>

namespace {
constexpr int16_t KeyDownBit = static_cast<int16_t>(0x8000);
constexpr int16_t PressedSinceBit = 0x0001;
}  // namespace

TEscapeLatch::TEscapeLatch(TKeyStateReader reader) : reader_(std::move(reader)) {}

void TEscapeLatch::Clear() {
    // Reading the state consumes the "pressed since" bit of presses made before now.
    const int16_t state = reader_();
    heldSinceClear_ = (state & KeyDownBit) != 0;
}

bool TEscapeLatch::Pressed() {
    const int16_t state = reader_();
    const bool down = (state & KeyDownBit) != 0;
    const bool pressedSince = (state & PressedSinceBit) != 0;
    if (heldSinceClear_) {
        if (down) return false;
        // Let go since Clear: from now on a press counts; a press and release in between does too.
        heldSinceClear_ = false;
        return false;
    }
    return down || pressedSince;
}
