#include "base/cp1252.h"

#include <gtest/gtest.h>

namespace {

struct TCodeRow {
    unsigned char byte;
    char16_t unicode;
};

// Every byte of 0x80-0x9F plus samples of the other ranges.
const TCodeRow kCodeRows[] = {
    {0x41, u'A'},    {0x7F, 0x007F},  {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A}, {0x83, 0x0192},
    {0x84, 0x201E},  {0x85, 0x2026},  {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030},
    {0x8A, 0x0160},  {0x8B, 0x2039},  {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D}, {0x8F, 0x008F},
    {0x90, 0x0090},  {0x91, 0x2018},  {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022},
    {0x96, 0x2013},  {0x97, 0x2014},  {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A},
    {0x9C, 0x0153},  {0x9D, 0x009D},  {0x9E, 0x017E}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xC4, 0x00C4},
    {0xDF, 0x00DF},  {0xFC, 0x00FC},  {0xFF, 0x00FF},
};

TEST(Cp1252, EachByteMapsToItsCodePointBothWays) {
    for (const TCodeRow& row : kCodeRows) {
        SCOPED_TRACE(static_cast<int>(row.byte));
        const std::string byte(1, static_cast<char>(row.byte));
        EXPECT_EQ(Cp1252ToUtf16(byte), std::u16string(1, row.unicode));
        EXPECT_EQ(Utf16ToCp1252(std::u16string(1, row.unicode)), byte);
    }
}

TEST(Cp1252, AllBytesRoundTripThroughUtf8AndUtf16) {
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Cp1252, Utf8EncodingOfHighBytes) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign, three bytes
    EXPECT_EQ(Cp1252ToUtf8("\xFC"), "\xC3\xBC");      // u umlaut, two bytes
    EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
    EXPECT_EQ(Utf8ToCp1252("gel\xC3\xB6scht"), "gel\xF6scht");
}

struct TUtf8Row {
    const char* name;
    std::string utf8;
    std::string expected;
};

TEST(Cp1252, Utf8OutsideTheCodePageOrInvalidBecomesQuestionMark) {
    const TUtf8Row rows[] = {
        {"cyrillic", "\xD0\x96", "?"},
        {"emoji, four bytes", "a\xF0\x9F\x98\x80" "b", "a?b"},
        {"stray continuation", "a\x80" "b", "a?b"},
        {"truncated sequence at end", "a\xE2\x82", "a?"},
        {"truncated sequence before ascii", "\xE2\x82" "z", "?z"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"overlong three-byte", "\xE0\x80\xAF", "?"},
        {"encoded surrogate", "\xED\xA0\x80", "?"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "?"},
        {"invalid lead 0xFF", "\xFF", "?"},
        {"empty", "", ""},
    };
    for (const TUtf8Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Utf8ToCp1252(row.utf8), row.expected);
    }
}

TEST(Cp1252, Utf16SurrogatesAndUnmappedCharacters) {
    EXPECT_EQ(Utf16ToCp1252(u"x\U0001F600y"), "x?y");  // a pair is one character
    EXPECT_EQ(Utf16ToCp1252(std::u16string{u'a', char16_t(0xD800)}), "a?");  // lone high surrogate
    EXPECT_EQ(Utf16ToCp1252(std::u16string{char16_t(0xDC00), u'b'}), "?b");  // lone low surrogate
    EXPECT_EQ(Utf16ToCp1252(u"\u0100\u2000"), "??");
}

}  // namespace
