// The window-free rules of the spin edit: limiting a value to its range, one step up or down
// (with the restart option), reading the number of a text that may carry a display suffix,
// and which typed characters the edit takes.
#pragma once

#include <cstdint>
#include <string>

struct TSpinRange {
    int32_t MinValue = 0;
    int32_t MaxValue = 0;
    // A range whose limits are equal does not limit (the default range 0..0).
    bool Limits() const { return MinValue != MaxValue; }
};

// Value limited to the range: at or below MinValue gives MinValue, above MaxValue gives
// MaxValue. A range without limits returns Value unchanged.
int32_t ClampSpinValue(int32_t value, const TSpinRange& range);

// One step: Value + Increment (Up) or Value - Increment, limited to the range. With Restart a
// step past MaxValue goes to MinValue and one below MinValue goes to MaxValue. The sum does
// not overflow: it saturates at the 32-bit limits first.
int32_t StepSpinValue(int32_t value, int32_t increment, bool up, bool restart, const TSpinRange& range);

// The number that Text shows: the trimmed text's leading integer (an optional sign and
// digits); anything after the digits is a display suffix ("10 pt") and ignored. A text without
// digits (empty, only a sign, only a suffix) gives Stored. Numbers beyond 32 bits saturate.
int32_t ParseSpinText(const std::string& text, int32_t stored);

// Whether a typed character goes into the edit: "+", "-", digits, the decimal separator and
// control characters, except Enter; with EditorEnabled false only control characters other
// than Backspace and Enter. A refused character beeps.
bool SpinCharAccepted(char ch, bool editorEnabled, char decimalSeparator);
