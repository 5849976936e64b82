#include "base/dates.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "base/exception.h"
#include "base/format.h"
#include "base/string_ids.h"

namespace {

constexpr int64_t kMsecsPerDay = 86400000;
// Day numbers of 1 January 0001 and 31 December 9999.
constexpr int64_t kFirstDay = -693593;
constexpr int64_t kLastDay = 2958465;

// Days from 1 January 1970 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

// Day 0 of the program is 30 December 1899, 25569 days before 1 January 1970.
constexpr int64_t kUnixDay = 25569;

// The day number and the time of day in milliseconds of a date value.
void Split(TDateTime date, int64_t& dayNumber, int64_t& msec) {
    if (!std::isfinite(date) || date < kFirstDay - 1 || date > kLastDay + 1)
        throw EConvertError(sid::InvalidDate);
    const double whole = std::trunc(date);
    dayNumber = static_cast<int64_t>(whole);
    msec = std::llround(std::fabs(date - whole) * kMsecsPerDay);
    if (msec >= kMsecsPerDay) {
        msec = 0;
        ++dayNumber;
    }
    if (dayNumber < kFirstDay || dayNumber > kLastDay) throw EConvertError(sid::InvalidDate);
}

std::string TwoDigits(int value) { return Format("%.2d", {int64_t{value}}); }

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime date;
    if (!TryEncodeDate(year, month, day, date)) throw EConvertError(sid::InvalidDate);
    return date;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    int64_t dayNumber, msec;
    Split(date, dayNumber, msec);
    CivilFromDays(dayNumber - kUnixDay, year, month, day);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    time = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + msec) / kMsecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime time;
    if (!TryEncodeTime(hour, minute, second, msec, time)) throw EConvertError(sid::InvalidTime);
    return time;
}

void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec) {
    int64_t dayNumber, ms;
    Split(date, dayNumber, ms);
    msec = static_cast<int>(ms % 1000);
    second = static_cast<int>(ms / 1000 % 60);
    minute = static_cast<int>(ms / 60000 % 60);
    hour = static_cast<int>(ms / 3600000);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    const double day = std::trunc(date);
    const double fraction = std::fabs(time - std::trunc(time));
    return day < 0 ? day - fraction : day + fraction;
}

int DayOfWeek(TDateTime date) {
    int64_t dayNumber, msec;
    Split(date, dayNumber, msec);
    // Day 0 was a Saturday.
    const int64_t r = ((dayNumber + 6) % 7 + 7) % 7;
    return static_cast<int>(r) + 1;
}

TDateTime Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, static_cast<int>(ms));
}

TDateTime Date() { return std::trunc(Now()); }

std::string DateToStr(TDateTime date) {
    int year, month, day;
    DecodeDate(date, year, month, day);
    return TwoDigits(day) + "." + TwoDigits(month) + "." + Format("%.4d", {int64_t{year}});
}

std::string DateTimeToStr(TDateTime date) {
    int hour, minute, second, msec;
    DecodeTime(date, hour, minute, second, msec);
    return DateToStr(date) + " " + TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}
