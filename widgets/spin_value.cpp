#include "widgets/spin_value.h"

#include <cctype>
#include <limits>

#include "base/format.h"

namespace {

constexpr int64_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t Int32Max = std::numeric_limits<int32_t>::max();

int32_t Saturate(int64_t value) {
    if (value < Int32Min) return static_cast<int32_t>(Int32Min);
    if (value > Int32Max) return static_cast<int32_t>(Int32Max);
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t ClampSpinValue(int32_t value, const TSpinRange& range) {
    if (!range.Limits()) return value;
    if (value <= range.MinValue) return range.MinValue;
    if (value > range.MaxValue) return range.MaxValue;
    return value;
}

int32_t StepSpinValue(int32_t value, int32_t increment, bool up, bool restart, const TSpinRange& range) {
    const int64_t next = up ? int64_t{value} + increment : int64_t{value} - increment;
    if (restart && range.Limits()) {
        if (up && next > range.MaxValue) return range.MinValue;
        if (!up && next < range.MinValue) return range.MaxValue;
    }
    return ClampSpinValue(Saturate(next), range);
}

int32_t ParseSpinText(const std::string& text, int32_t stored) {
    const std::string trimmed = Trim(text);
    size_t i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-')) negative = trimmed[i++] == '-';
    const size_t firstDigit = i;
    int64_t number = 0;
    for (; i < trimmed.size() && std::isdigit(static_cast<unsigned char>(trimmed[i])); ++i)
        if (number <= Int32Max + 1) number = number * 10 + (trimmed[i] - '0');  // stops growing once too large
    if (i == firstDigit) return stored;
    return Saturate(negative ? -number : number);
}

bool SpinCharAccepted(char ch, bool editorEnabled, char decimalSeparator) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\r') return false;
    if (c < 32) return editorEnabled || c != '\b';
    if (!editorEnabled) return false;
    return ch == '+' || ch == '-' || std::isdigit(c) || ch == decimalSeparator;
}
