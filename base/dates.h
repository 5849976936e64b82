// Dates as day counts: double-precision values whose whole part counts days from
// 30 December 1899 (day 0) and whose fraction is the time of day.
#pragma once

#include <string>

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Raises EConvertError for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);
TDateTime Now();
TDateTime Date();
// "dd.mm.yyyy" and "dd.mm.yyyy hh:nn:ss".
std::string DateToStr(TDateTime date);
std::string DateTimeToStr(TDateTime date);
