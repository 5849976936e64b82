// Line ends, inserted line texts, the positions a text takes up in either library, and the
// visible line count.
#include <gtest/gtest.h>

#include "editor/line_text.h"

namespace {

struct StripCase {
    const char* line;
    const char* expected;
};

TEST(LineTextTest, StripLineEndCutsOneLineEnd) {
    const StripCase cases[] = {
        {"abc\r\n", "abc"},  {"abc\r", "abc"},   {"abc\n", "abc"},  {"abc", "abc"},
        {"", ""},            {"\r\n", ""},       {"\r", ""},        {"a\r\r\n", "a\r"},
        {"a\n\r", "a\n"},    {"a\r\nb", "a\r\nb"},
    };
    for (const StripCase& c : cases) EXPECT_EQ(StripLineEnd(c.line), c.expected) << "line: " << c.line;
}

struct InsertCase {
    const char* line;
    bool afterLast;
    const char* expected;
};

TEST(LineTextTest, InsertedTextGetsOneLineBreakAndLosesATrailingLoneCr) {
    const InsertCase cases[] = {
        {"abc", false, "abc\r\n"},     {"abc", true, "\r\nabc"},     {"abc\r", false, "abc\r\n"},
        {"abc\r", true, "\r\nabc"},    {"", false, "\r\n"},          {"", true, "\r\n"},
        {"a\r\nb", false, "a\r\nb\r\n"}, {"abc\r\n", false, "abc\r\n\r\n"}, {"\r", false, "\r\n"},
    };
    for (const InsertCase& c : cases)
        EXPECT_EQ(LineInsertText(c.line, c.afterLast), c.expected) << "line: " << c.line << " after: " << c.afterLast;
}

struct LengthCase {
    const char* text;
    int newer;
    int older;
};

TEST(LineTextTest, ControlLengthCountsLineBreaksByLibrary) {
    const LengthCase cases[] = {
        {"", 0, 0},           {"abc", 3, 3},          {"ab\r\ncd\r\n", 6, 8}, {"x\ny\rz", 5, 5},
        {"\r\n\r\n", 2, 4},   {"\r\r\n", 2, 3},       {"\n\r", 2, 2},         {"a\r", 2, 2},
    };
    for (const LengthCase& c : cases) {
        EXPECT_EQ(ControlTextLength(c.text, true), c.newer) << "text: " << c.text;
        EXPECT_EQ(ControlTextLength(c.text, false), c.older) << "text: " << c.text;
    }
}

TEST(LineTextTest, VisibleLineCountDropsOnlyAnEmptyLastLine) {
    EXPECT_EQ(VisibleLineCount(3, true), 2);
    EXPECT_EQ(VisibleLineCount(3, false), 3);
    EXPECT_EQ(VisibleLineCount(1, true), 0) << "an empty control has no lines";
    EXPECT_EQ(VisibleLineCount(0, true), 0);
}

}  // namespace
