// The process-wide services that need no window: the busy-cursor nesting, the test for held
// input, the shortcut hint rule, and the search through a component tree.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/component.h"

// Screen cursors the busy counter switches between.
enum : int { BusyCursorDefault = 0, BusyCursorHourGlass = -11 };

// The nesting of the busy cursor; never below 0.
class TBusyCounter {
public:
    // Returns the screen cursor to set (always the hourglass).
    int Begin();
    // Sets Cursor to the screen cursor to set; false (Cursor untouched) when the counter was
    // already 0.
    bool End(int& cursor);
    int Count() const { return count_; }

private:
    int count_ = 0;
};

// True while the left or the right mouse button is down, or any key but Shift (16), Ctrl (17)
// and Alt (18) is down (high bit of its keyboard state byte). The keyboard state also carries
// the left and right variants of these three (0xA0-0xA5); they count as the same keys.
bool IsInputHeldIn(bool leftButton, bool rightButton, const std::array<uint8_t, 256>& keyState);

// The show-shortcuts-in-hints flag (initially on) and the message-beep flag (initially on).
bool ShowShortCutsInHints();
void SetShowShortCutsInHints(bool show);
bool MessageBeepOn();
void SetMessageBeepOn(bool beep);

// The hint of a control with a shortcut: "%s (%s)" of the hint and the shortcut text while the
// show-shortcuts flag is on and the shortcut text is not empty; else the hint unchanged.
std::string HintWithShortCut(const std::string& hint, const std::string& shortCutText);

// Depth first through the owned components: the first for which Test holds, each component
// tested before its own components, which come before its next sibling. None when Root is none.
TComponent* ForEachComponent(TComponent* root, const std::function<bool(TComponent*)>& test);
