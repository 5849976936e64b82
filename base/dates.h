// Dates as day counts: double-precision values whose whole part counts days from
// 30 December 1899 (day 0) and whose fraction is the time of day. Years run from 1 to 9999.
//
// Before day 0 the whole part (rounded toward zero) is still the day and the size of the
// fraction the time of day: -1.25 is 29 December 1899, 06:00. Adding a time to a negative
// date therefore needs ComposeDateTime rather than "+".
#pragma once

#include <string>

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Raises EConvertError for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// Raises EConvertError (InvalidDate) for a value outside the years 1 to 9999 or not a number.
void DecodeDate(TDateTime date, int& year, int& month, int& day);
// Raises EConvertError (InvalidTime) unless 0-23, 0-59, 0-59, 0-999.
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
// Times are rounded to whole milliseconds; a time that rounds up to midnight counts as the
// start of the next day.
void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec);
// The moment of Time (a fraction of a day) on the day of Date, negative days included.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);
TDateTime Now();
TDateTime Date();
// "dd.mm.yyyy" and "dd.mm.yyyy hh:nn:ss".
std::string DateToStr(TDateTime date);
std::string DateTimeToStr(TDateTime date);
