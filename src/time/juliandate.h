// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Julian Date of a UTC calendar reading, and the field checks that guard it.

#include <string_view>

namespace stm {

class SpaceTimeException {
 public:
  enum Code : int { Year = 1, Month = 2, Day = 3, Hour = 4, Minute = 5, Second = 6, Millisecond = 7 };

  explicit SpaceTimeException(int code) : errorCode(code) {}
  int code() const { return errorCode; }

 private:
  int errorCode;
};

// The error in words, e.g. "year outside 1900..2100".
std::string_view describe(const SpaceTimeException& e);

bool IsValidYear(int value);         // 1900..2100
bool IsValidMonth(int value);        // 1..12
bool IsValidDay(int value);          // 1..31 for every month
bool IsValidHour(int value);         // 0..24
bool IsValidMinute(int value);       // 0..60
bool IsValidSecond(int value);       // >= 0
bool IsValidMillisecond(int value);  // >= 0

// Checks the fields in argument order and throws SpaceTimeException for the first bad one.
// The fixed Gregorian offset is exact from 1900-03-01 to 2100-02-28 only: a day low in
// January and February 1900, a day high from March 2100. Kept so every tool agrees.
double ToJulianDate(int year, int month, int day, int hour, int minute, int second, int millisecond);

}  // namespace stm
