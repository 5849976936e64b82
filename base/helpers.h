// Small helpers the windows and the calendar share: class tests, the value part of a
// "name=value" text, and the week and month arithmetic of the calendar.
#pragma once

#include <string>

#include "base/dates.h"
#include "base/persistent.h"

// False for none, else whether Object is of class Cls or derives from it.
bool IsOfClass(const TPersistent* object, const TClassInfo& cls);

// The part after the first "=", trimmed; empty when that part starts with "@".
std::string ExtractValue(const std::string& text);

// The calendar week of Date: weeks run from Monday to Sunday, and week 1 is the week that
// holds the year's first Thursday. Days at the end of December that belong to week 1 of the
// next year give 1; days at the start of January that belong to the last week of the previous
// year give 0.
int WeekOfYear(TDateTime date);
// Day 1 of Date's month, and the last day of it.
TDateTime FirstDayOfMonth(TDateTime date);
TDateTime LastDayOfMonth(TDateTime date);
// The day after Day in the week order 1 (Sunday) to 7 (Saturday), 7 followed by 1.
int NextDayOfWeek(int day);
