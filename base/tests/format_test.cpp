#include "base/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/exception.h"
#include "base/string_ids.h"

namespace {

struct TFormatRow {
    const char* fmt;
    std::vector<TFormatArg> args;
    std::string expected;
};

TEST(Format, Placeholders) {
    const TFormatRow rows[] = {
        {"plain", {}, "plain"},
        {"100%%", {}, "100%"},
        {"%s and %s", {std::string("a"), std::string("b")}, "a and b"},
        {"[%5d]", {int64_t{42}}, "[   42]"},
        {"[%-5d]", {int64_t{42}}, "[42   ]"},
        {"[%3d]", {int64_t{12345}}, "[12345]"},
        {"%d", {int64_t{-7}}, "-7"},
        {"%.3d", {int64_t{-7}}, "-007"},
        {"%d", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
        {"%u", {int64_t{-1}}, "4294967295"},
        {"%x", {int64_t{255}}, "FF"},
        {"%X", {int64_t{0xABC}}, "ABC"},
        {"%0.8x", {int64_t{0x1F}}, "0000001F"},
        {"%x", {int64_t{-1}}, "FFFFFFFF"},
        {"%x", {int64_t{0x123456789}}, "123456789"},
        {"%1s", {std::string("abc")}, "abc"},
        {"[%1s:] %s", {std::string("C"), std::string("Platte")}, "[C:] Platte"},
        {"[%4s]", {std::string("ab")}, "[  ab]"},
        {"[%-4s]", {std::string("ab")}, "[ab  ]"},
        {"%.2s", {std::string("abcdef")}, "ab"},
        {"%s", {int64_t{-12}}, "-12"},
        {"%c%c", {int64_t{'o'}, std::string("k")}, "ok"},
        {"%*d", {int64_t{4}, int64_t{7}}, "   7"},
        {"%1:s %0:s", {std::string("a"), std::string("b")}, "b a"},
        {"Lese: %s, Eintr\xE4ge %5d", {std::string("C:\\"), int64_t{3}}, "Lese: C:\\, Eintr\xE4ge     3"},
        {"%D", {int64_t{5}}, "5"},
    };
    for (const TFormatRow& row : rows) {
        SCOPED_TRACE(row.fmt);
        EXPECT_EQ(Format(row.fmt, row.args), row.expected);
    }
}

TEST(Format, FloatingPoint) {
    SetDecimalSeparator('.');
    const TFormatRow rows[] = {
        {"%f", {1.5}, "1.50"},
        {"%.3f", {-2.0}, "-2.000"},
        {"%.0f", {2.6}, "3"},
        {"%8.1f", {3.14159}, "     3.1"},
        {"%g", {0.5}, "0.5"},
        {"%g", {100.0}, "100"},
        {"%g", {1e20}, "1E20"},
        {"%g", {1.5e-7}, "1.5E-7"},
        {"%g", {0.0001}, "0.0001"},
        {"%.3g", {3.14159}, "3.14"},
        {"%e", {1234.5}, "1.23450000000000E+003"},
        {"%.3e", {-0.00012}, "-1.20E-004"},
    };
    for (const TFormatRow& row : rows) {
        SCOPED_TRACE(row.fmt);
        EXPECT_EQ(Format(row.fmt, row.args), row.expected);
    }
    SetDecimalSeparator(',');
    EXPECT_EQ(Format("%.2f", {0.25}), "0,25");
}

TEST(Format, MismatchRaisesInvalidFormat) {
    const TFormatRow rows[] = {
        {"%d", {}, ""},
        {"%s %s", {std::string("a")}, ""},
        {"%d", {std::string("1")}, ""},
        {"%d", {1.0}, ""},
        {"%f", {int64_t{1}}, ""},
        {"%s", {1.0}, ""},
        {"%c", {std::string("ab")}, ""},
        {"%q", {int64_t{1}}, ""},
        {"trailing %", {}, ""},
        {"%5", {int64_t{1}}, ""},
        {"%99999999999d", {int64_t{1}}, ""},
        {"%*d", {std::string("x"), int64_t{1}}, ""},
        {"%3:d", {int64_t{1}}, ""},
    };
    for (const TFormatRow& row : rows) {
        SCOPED_TRACE(row.fmt);
        try {
            Format(row.fmt, row.args);
            ADD_FAILURE() << "no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Id(), sid::InvalidFormat);
            ASSERT_EQ(e.Args().size(), 1u);
            EXPECT_EQ(std::get<std::string>(e.Args()[0]), row.fmt);
        }
        std::string out = "unchanged";
        EXPECT_FALSE(TryFormat(row.fmt, row.args, out));
        EXPECT_EQ(out, "unchanged");
    }
}

struct TIntRow {
    const char* text;
    bool ok;
    int64_t value;
};

TEST(StrToInt, AcceptsDecimalHexSignsAndBlanks) {
    const TIntRow rows[] = {
        {"0", true, 0},
        {"  42 ", true, 42},
        {"-17", true, -17},
        {"+5", true, 5},
        {"$FF", true, 255},
        {"$ff", true, 255},
        {"0x10", true, 16},
        {"-$10", true, -16},
        {"$FFFFFFFF", true, 4294967295LL},
        {"9223372036854775807", true, std::numeric_limits<int64_t>::max()},
        {"-9223372036854775808", true, std::numeric_limits<int64_t>::min()},
        {"9223372036854775808", false, 0},
        {"99999999999999999999999", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"12a", false, 0},
        {"1 2", false, 0},
        {"--1", false, 0},
        {"1.5", false, 0},
        {"$G", false, 0},
    };
    for (const TIntRow& row : rows) {
        SCOPED_TRACE(row.text);
        int64_t value = 12345;
        EXPECT_EQ(TryStrToInt(row.text, value), row.ok);
        if (row.ok) {
            EXPECT_EQ(value, row.value);
            EXPECT_EQ(StrToInt(row.text), row.value);
        } else {
            EXPECT_EQ(value, 12345);
            EXPECT_EQ(StrToIntDef(row.text, -99), -99);
            try {
                StrToInt(row.text);
                ADD_FAILURE() << "no exception";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Id(), sid::InvalidInteger);
                EXPECT_EQ(std::get<std::string>(e.Args().at(0)), row.text);
            }
        }
    }
}

TEST(StrToInt32, RangeAndHexPatterns) {
    const TIntRow rows[] = {
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$80000005", true, -2147483643},
        {"$FFFFFFFF", true, -1},
        {"$100000000", false, 0},
    };
    for (const TIntRow& row : rows) {
        SCOPED_TRACE(row.text);
        int32_t value = 7;
        EXPECT_EQ(TryStrToInt32(row.text, value), row.ok);
        if (row.ok) {
            EXPECT_EQ(value, row.value);
        } else {
            EXPECT_THROW(StrToInt32(row.text), EConvertError);
        }
    }
}

TEST(FloatText, FloatToStrAndBack) {
    SetDecimalSeparator(',');
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(-0.1), "-0,1");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0,3");
    EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(0.00001), "1E-5");
    EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
    for (double v : {36526.75, -2.5, 1e-300, 6.02214076e23}) {
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(FloatToStr(v), back)) << FloatToStr(v);
        EXPECT_DOUBLE_EQ(back, v);
    }
}

TEST(FloatText, TryStrToFloatSyntax) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } rows[] = {
        {"1,5", true, 1.5},     {"1.5", true, 1.5},    {" -2 ", true, -2},   {"3e2", true, 300},
        {"1,5E-1", true, 0.15}, {".5", true, 0.5},      {"5.", true, 5},      {"", false, 0},
        {"1,2,3", false, 0},    {"inf", false, 0},     {"nan", false, 0},    {"0x10", false, 0},
        {"1e", false, 0},       {"1e999", false, 0},   {"abc", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        double value = 0;
        EXPECT_EQ(TryStrToFloat(row.text, value), row.ok);
        if (row.ok) {
            EXPECT_DOUBLE_EQ(value, row.value);
        } else {
            EXPECT_THROW(StrToFloat(row.text), EConvertError);
        }
    }
}

TEST(Text, TrimRemovesBlanksAndControls) {
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(Trim(" \x01 "), "");
    EXPECT_EQ(Trim("x"), "x");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // the no-break space is a printable character
}

TEST(Text, CaseMappingOfCodePage1252) {
    EXPECT_EQ(UpperCase("abc xyz 019"), "ABC XYZ 019");
    EXPECT_EQ(UpperCase("\xE4\xF6\xFC\xE0\xFE"), "\xC4\xD6\xDC\xC0\xDE");
    EXPECT_EQ(UpperCase("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    EXPECT_EQ(LowerCase("\x8A\x8C\x8E\x9F\xC4"), "\x9A\x9C\x9E\xFF\xE4");
    // Division and multiplication signs, sharp s and micro sign have no other case.
    EXPECT_EQ(UpperCase("\xF7\xDF\xB5"), "\xF7\xDF\xB5");
    EXPECT_EQ(LowerCase("\xD7"), "\xD7");
    EXPECT_EQ(LowerCase("ABC"), "abc");
}

TEST(Text, CompareTextOrdersCaseInsensitively) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } rows[] = {
        {"abc", "ABC", 0},       {"a", "b", -1},      {"B", "a", 1},        {"ab", "abc", -1},
        {"", "", 0},             {"", "a", -1},       {"\xE4", "\xC4", 0},  {"z", "\xE4", -1},
        {"\x9A", "\x8A", 0},     {"a_", "aB", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " / " + row.b);
        const int r = CompareText(row.a, row.b);
        EXPECT_EQ((r > 0) - (r < 0), row.sign);
        EXPECT_EQ(SameText(row.a, row.b), row.sign == 0);
    }
}

}  // namespace
