// Class tests, value extraction, the sorted pointer list and the calendar's week and month
// arithmetic (checked against the C library's own ISO week numbers).
#include <gtest/gtest.h>

#include <ctime>

#include "base/helpers.h"
#include "base/sort_list.h"
#include "base/string_list.h"

TEST(Helpers, IsOfClass) {
    TStringList list;
    EXPECT_TRUE(IsOfClass(&list, TStringList::StaticClass()));
    EXPECT_TRUE(IsOfClass(&list, TPersistent::StaticClass()));
    EXPECT_FALSE(IsOfClass(nullptr, TPersistent::StaticClass()));
}

TEST(Helpers, ExtractValue) {
    struct Row {
        const char* text;
        const char* value;
    } rows[] = {
        {"Name= Arial ", "Arial"}, {"a=b=c", "b=c"}, {"no value", ""},
        {"x=", ""},                {"x= @ref", ""},  {"x=mail@host", "mail@host"},
    };
    for (const Row& r : rows) EXPECT_EQ(ExtractValue(r.text), r.value) << r.text;
}

TEST(Helpers, WeekOfYearAtTheTurnOfTheYear) {
    // 2006 starts on a Sunday; 1 January 2015 is a Thursday.
    EXPECT_EQ(WeekOfYear(EncodeDate(2006, 1, 1)), 0);
    EXPECT_EQ(WeekOfYear(EncodeDate(2006, 1, 2)), 1);
    EXPECT_EQ(WeekOfYear(EncodeDate(2014, 12, 31)), 1);
    EXPECT_EQ(WeekOfYear(EncodeDate(2014, 12, 28)), 52);
    EXPECT_EQ(WeekOfYear(EncodeDate(2020, 12, 31)), 53);  // 2020 has 53 weeks
    EXPECT_EQ(WeekOfYear(EncodeDate(2021, 1, 3)), 0);
    EXPECT_EQ(WeekOfYear(EncodeDate(2018, 1, 7) + 0.75), 1);  // a Sunday evening
    EXPECT_EQ(WeekOfYear(EncodeDate(2018, 1, 8)), 2);
}

TEST(Helpers, WeekOfYearAgreesWithIsoWeeksOverManyYears) {
    for (int year = 1902; year <= 2098; ++year) {
        for (int yday = 0; yday < (IsLeapYear(year) ? 366 : 365); ++yday) {
            std::tm tm{};
            tm.tm_year = year - 1900;
            tm.tm_mday = 1 + yday;
            tm.tm_hour = 12;
            timegm(&tm);
            char week[8], isoYear[8];
            strftime(week, sizeof week, "%V", &tm);
            strftime(isoYear, sizeof isoYear, "%G", &tm);
            int expected = std::atoi(isoYear) < year ? 0 : std::atoi(week);
            if (std::atoi(isoYear) > year) expected = 1;
            TDateTime date = EncodeDate(year, tm.tm_mon + 1, tm.tm_mday);
            ASSERT_EQ(WeekOfYear(date), expected) << year << "-" << tm.tm_mon + 1 << "-" << tm.tm_mday;
        }
    }
}

TEST(Helpers, MonthBoundsAndNextDay) {
    EXPECT_EQ(FirstDayOfMonth(EncodeDate(2024, 2, 17) + 0.5), EncodeDate(2024, 2, 1));
    EXPECT_EQ(LastDayOfMonth(EncodeDate(2024, 2, 17)), EncodeDate(2024, 2, 29));
    EXPECT_EQ(LastDayOfMonth(EncodeDate(2023, 12, 5)), EncodeDate(2023, 12, 31));
    EXPECT_EQ(LastDayOfMonth(EncodeDate(9999, 12, 5)), EncodeDate(9999, 12, 31));
    EXPECT_EQ(NextDayOfWeek(1), 2);
    EXPECT_EQ(NextDayOfWeek(7), 1);
}

namespace {
int CompareInts(const int* a, const int* b) { return *a - *b; }
}  // namespace

TEST(SortList, FindGivesIndexOrInsertionPosition) {
    int values[] = {10, 20, 30};
    TSortList<int> list(CompareInts);
    for (int& v : values) list.Add(&v);
    int key = 20, index = -1;
    EXPECT_TRUE(list.Find(&key, index));
    EXPECT_EQ(index, 1);
    key = 25;
    EXPECT_FALSE(list.Find(&key, index));
    EXPECT_EQ(index, 2);
    key = 99;
    EXPECT_FALSE(list.Find(&key, index));
    EXPECT_EQ(index, 3);
    key = 1;
    EXPECT_FALSE(list.Find(&key, index));
    EXPECT_EQ(index, 0);
}

TEST(SortList, SortReportsWhetherAnythingMoved) {
    std::vector<int> values{5, 3, 9, 1, 7, 3, 8, 2, 6, 4};
    TSortList<int> list(CompareInts);
    for (int& v : values) list.Append(&v);
    EXPECT_TRUE(list.Sort());
    for (int i = 1; i < list.Count(); ++i) EXPECT_LE(*list.Items(i - 1), *list.Items(i));
    EXPECT_FALSE(list.Sort());
    TSortList<int> single(CompareInts);
    single.Append(&values[0]);
    EXPECT_FALSE(single.Sort());
}

TEST(SortList, ScansFindTheFirstMatchFromEitherEnd) {
    std::vector<int> values{1, 2, 3, 4};
    TSortList<int> list(CompareInts);
    for (int& v : values) list.Add(&v);
    auto even = [](int* v) { return *v % 2 == 0; };
    EXPECT_EQ(*list.ScanForward(even), 2);
    EXPECT_EQ(*list.ScanBackward(even), 4);
    EXPECT_EQ(list.ScanForward([](int* v) { return *v > 10; }), nullptr);
}
