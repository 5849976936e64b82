// The spin edit's value rules: limits, steps with and without restart, reading a number that
// carries a display suffix, and the typed characters it takes.
#include <gtest/gtest.h>

#include <climits>

#include "widgets/spin_value.h"

namespace {

TEST(SpinValueTest, ClampTable) {
    struct Case {
        int32_t value, min, max, result;
    } cases[] = {
        {5, 0, 10, 5}, {0, 0, 10, 0}, {-3, 0, 10, 0}, {11, 0, 10, 10}, {10, 0, 10, 10},
        {6, 6, 720, 6}, {5, 6, 720, 6}, {800, 6, 720, 720},
        {12345, 0, 0, 12345},  // equal limits do not limit
        {-7, 3, 3, -7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampSpinValue(c.value, {c.min, c.max}), c.result) << c.value << " in " << c.min << ".." << c.max;
}

TEST(SpinValueTest, StepTable) {
    struct Case {
        int32_t value, increment;
        bool up, restart;
        int32_t min, max, result;
    } cases[] = {
        {9, 3, true, true, 0, 10, 0},     // past the maximum restarts at the minimum
        {9, 3, true, false, 0, 10, 10},   // 12 clamped
        {7, 3, true, true, 0, 10, 10},    // exactly the maximum is no restart
        {1, 3, false, true, 0, 10, 10},   // below the minimum restarts at the maximum
        {1, 3, false, false, 0, 10, 0},
        {5, 1, true, false, 0, 0, 6},     // no limits
        {INT_MAX, 5, true, false, 0, 0, INT_MAX},
        {INT_MIN, 5, false, false, 0, 0, INT_MIN},
        {5, -2, true, false, 0, 10, 3},   // a negative increment steps the other way
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(StepSpinValue(c.value, c.increment, c.up, c.restart, {c.min, c.max}), c.result) << "row " << row;
        ++row;
    }
}

TEST(SpinValueTest, ParseIgnoresTheDisplaySuffix) {
    struct Case {
        const char* text;
        int32_t stored, result;
    } cases[] = {
        {"10 pt", 99, 10},
        {"  -4cm ", 99, -4},
        {"+12", 99, 12},
        {"", 7, 7},
        {"   ", 7, 7},
        {"-", 7, 7},
        {"pt", 7, 7},
        {"3,5", 7, 3},
        {"99999999999", 0, INT_MAX},
        {"-99999999999", 0, INT_MIN},
        {"-2147483648", 0, INT_MIN},
        {"12 34", 0, 12},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSpinText(c.text, c.stored), c.result) << '"' << c.text << '"';
}

TEST(SpinValueTest, TypedCharacters) {
    struct Case {
        char ch;
        bool editorEnabled, accepted;
    } cases[] = {
        {'5', true, true}, {'+', true, true}, {'-', true, true}, {',', true, true}, {'.', true, false},
        {'a', true, false}, {' ', true, false}, {'\r', true, false}, {'\b', true, true}, {'\x03', true, true},
        {'5', false, false}, {'\b', false, false}, {'\x03', false, true}, {'\r', false, false},
        {'\xE4', true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpinCharAccepted(c.ch, c.editorEnabled, ','), c.accepted) << int(c.ch) << " " << c.editorEnabled;
}

}  // namespace
