#include "base/dates.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/exception.h"

namespace {

struct TDateRow {
    int year, month, day;
    double serial;
    int dayOfWeek;
};

// Day numbers and weekdays of known dates (1 = Sunday).
const TDateRow kDates[] = {
    {1899, 12, 30, 0, 7},      {1899, 12, 31, 1, 1},      {1900, 1, 1, 2, 2},
    {1900, 3, 1, 61, 5},       {1899, 12, 29, -1, 6},     {1800, 1, 1, -36522, 4},
    {2000, 2, 29, 36585, 3},   {1998, 12, 24, 36153, 5},  {2024, 3, 15, 45366, 6},
    {1, 1, 1, -693593, 2},     {9999, 12, 31, 2958465, 6},
};

TEST(Dates, EncodeDecodeAndWeekday) {
    for (const TDateRow& row : kDates) {
        SCOPED_TRACE(std::to_string(row.year) + "-" + std::to_string(row.month) + "-" + std::to_string(row.day));
        EXPECT_EQ(EncodeDate(row.year, row.month, row.day), row.serial);
        int y, m, d;
        DecodeDate(row.serial, y, m, d);
        EXPECT_EQ(y, row.year);
        EXPECT_EQ(m, row.month);
        EXPECT_EQ(d, row.day);
        EXPECT_EQ(DayOfWeek(row.serial), row.dayOfWeek);
    }
}

TEST(Dates, EveryDayOfFourCenturiesRoundTrips) {
    double expected = EncodeDate(1800, 1, 1);
    for (int year = 1800; year < 2200; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                ASSERT_EQ(EncodeDate(year, month, day), expected);
                int y, m, d;
                DecodeDate(ComposeDateTime(expected, 0.75), y, m, d);
                ASSERT_TRUE(y == year && m == month && d == day) << year << "-" << month << "-" << day;
                expected += 1;
            }
        }
    }
}

TEST(Dates, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(Dates, DatesThatDoNotExistAreRejected) {
    const int rows[][3] = {{2023, 2, 29}, {1900, 2, 29}, {2023, 4, 31}, {2023, 0, 1}, {2023, 13, 1},
                           {2023, 1, 0},  {0, 1, 1},     {10000, 1, 1}, {-5, 1, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row[0]) + "-" + std::to_string(row[1]) + "-" + std::to_string(row[2]));
        TDateTime date = 123;
        EXPECT_FALSE(TryEncodeDate(row[0], row[1], row[2], date));
        EXPECT_EQ(date, 123);
        EXPECT_THROW(EncodeDate(row[0], row[1], row[2]), EConvertError);
    }
}

TEST(Dates, DecodingImpossibleValuesRaises) {
    int y, m, d;
    for (double v : {std::nan(""), double(INFINITY), 1e300, -1e300, 2958466.0, -693594.0}) {
        SCOPED_TRACE(v);
        EXPECT_THROW(DecodeDate(v, y, m, d), EConvertError);
        EXPECT_THROW(DayOfWeek(v), EConvertError);
        EXPECT_THROW(DateToStr(v), EConvertError);
    }
}

TEST(Times, EncodeDecode) {
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    int h, n, s, ms;
    DecodeTime(36153 + EncodeTime(23, 59, 58, 999), h, n, s, ms);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(n, 59);
    EXPECT_EQ(s, 58);
    EXPECT_EQ(ms, 999);
    TDateTime t = -1;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, t));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, t));
    EXPECT_EQ(t, -1);
    EXPECT_THROW(EncodeTime(25, 0, 0, 0), EConvertError);
}

TEST(Times, NegativeDaysCountTheFractionForward) {
    // -1.25: day -1 (29 December 1899) at 06:00.
    int y, m, d, h, n, s, ms;
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
    EXPECT_EQ(ComposeDateTime(5, 0.25), 5.25);
    EXPECT_EQ(ComposeDateTime(5.9, 0.5), 5.5);
    EXPECT_EQ(DateTimeToStr(ComposeDateTime(EncodeDate(1899, 12, 1), EncodeTime(18, 30, 0, 0))),
              "01.12.1899 18:30:00");
    // -0.5 lies on day 0, like 0.5.
    DecodeDate(-0.5, y, m, d);
    EXPECT_EQ(d, 30);
}

TEST(Times, RoundingUpToMidnightMovesToTheNextDay) {
    const double almost = 36153 + 0.9999999999;
    int y, m, d, h, n, s, ms;
    DecodeDate(almost, y, m, d);
    DecodeTime(almost, h, n, s, ms);
    EXPECT_EQ(d, 25);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(ms, 0);
    EXPECT_EQ(DateTimeToStr(almost), "25.12.1998 00:00:00");
}

TEST(DateText, Formats) {
    EXPECT_EQ(DateToStr(EncodeDate(1998, 12, 24)), "24.12.1998");
    EXPECT_EQ(DateToStr(EncodeDate(5, 1, 2)), "02.01.0005");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 500)), "05.03.2024 07:08:09");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "05.03.2024 00:00:00");
}

TEST(DateText, NowIsTodayAndPlausible) {
    const TDateTime now = Now();
    const TDateTime today = Date();
    EXPECT_EQ(today, std::trunc(today));
    EXPECT_GE(now, today);
    EXPECT_LT(now - today, 1.0 + 1e-6);  // unless midnight passes between the two calls
    EXPECT_GT(today, EncodeDate(2020, 1, 1));
}

}  // namespace
