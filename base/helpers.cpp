#include "helpers.h"

#include <cmath>

#include "base/format.h"

bool IsOfClass(const TPersistent* object, const TClassInfo& cls) {
    return object && object->InheritsFrom(cls);
}

std::string ExtractValue(const std::string& text) {
    size_t eq = text.find('=');
    if (eq == std::string::npos) return std::string();
    std::string value = Trim(text.substr(eq + 1));
    if (!value.empty() && value[0] == '@') return std::string();
    return value;
}

// The year of the Thursday of Date's week decides which year's weeks Date is counted in; the
// week is then the number of Mondays from that year's first week up to Date.
int WeekOfYear(TDateTime date) {
    const double day = std::floor(date);
    const int mondayBased = (DayOfWeek(day) + 5) % 7;  // 0 Monday ... 6 Sunday
    const double thursday = day - mondayBased + 3;
    int thursdayYear, month, dayOfMonth, year;
    DecodeDate(thursday, thursdayYear, month, dayOfMonth);
    DecodeDate(day, year, month, dayOfMonth);
    if (thursdayYear < year) return 0;
    const TDateTime firstOfYear = EncodeDate(thursdayYear, 1, 1);
    return static_cast<int>((thursday - firstOfYear) / 7) + 1;
}

TDateTime FirstDayOfMonth(TDateTime date) {
    int year, month, day;
    DecodeDate(date, year, month, day);
    return EncodeDate(year, month, 1);
}

TDateTime LastDayOfMonth(TDateTime date) {
    int year, month, day;
    DecodeDate(date, year, month, day);
    return EncodeDate(year, month, DaysInMonth(year, month));
}

int NextDayOfWeek(int day) { return day + 1 < 8 ? day + 1 : 1; }
