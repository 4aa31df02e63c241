// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/juliandate.h"

namespace stm {

std::string_view describe(const SpaceTimeException& e) {
  switch (e.code()) {
    case SpaceTimeException::Year: return "year outside 1900..2100";
    case SpaceTimeException::Month: return "month outside 1..12";
    case SpaceTimeException::Day: return "day outside 1..31";
    case SpaceTimeException::Hour: return "hour outside 0..24";
    case SpaceTimeException::Minute: return "minute outside 0..60";
    case SpaceTimeException::Second: return "second below 0";
    case SpaceTimeException::Millisecond: return "millisecond below 0";
    default: return "time field out of range";
  }
}

bool IsValidYear(int value) { return value >= 1900 && value <= 2100; }
bool IsValidMonth(int value) { return value >= 1 && value <= 12; }
bool IsValidDay(int value) { return value >= 1 && value <= 31; }
bool IsValidHour(int value) { return value >= 0 && value <= 24; }
bool IsValidMinute(int value) { return value >= 0 && value <= 60; }
bool IsValidSecond(int value) { return value >= 0; }
bool IsValidMillisecond(int value) { return value >= 0; }

double ToJulianDate(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  if (!IsValidYear(year)) throw SpaceTimeException(SpaceTimeException::Year);
  if (!IsValidMonth(month)) throw SpaceTimeException(SpaceTimeException::Month);
  if (!IsValidDay(day)) throw SpaceTimeException(SpaceTimeException::Day);
  if (!IsValidHour(hour)) throw SpaceTimeException(SpaceTimeException::Hour);
  if (!IsValidMinute(minute)) throw SpaceTimeException(SpaceTimeException::Minute);
  if (!IsValidSecond(second)) throw SpaceTimeException(SpaceTimeException::Second);
  if (!IsValidMillisecond(millisecond)) throw SpaceTimeException(SpaceTimeException::Millisecond);

  // The year starts in March, so the leap day falls at its end.
  const int y = month <= 2 ? year - 1 : year;
  const int m = month <= 2 ? month + 12 : month;
  const long long a = static_cast<long long>(y * 365.25);
  const long long b = static_cast<long long>((m + 1) * 30.6001);
  const long long s = a + b;
  // Seconds may exceed 59 and milliseconds 999: they only add to the day fraction.
  const long long t = hour * 3600LL + minute * 60LL + second;

  double jd = static_cast<double>(s + day);
  jd += t / 86400.0;
  jd += (millisecond / 1000.0) / 86400.0;
  jd += 1720981.5;
  return jd;
}

}  // namespace stm
