// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/receptiontime.h"

#include <algorithm>

#include "core/beacon.h"
#include "time/juliandate.h"

namespace quillon {

namespace {

// The fixed part: 'd' a digit, '?' a 'T' or a blank.
constexpr std::string_view kShape = "dddd-dd-dd?dd:dd:dd";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool fits(char c, char shape) {
  if (shape == 'd') return isDigit(c);
  if (shape == '?') return c == 'T' || c == ' ';
  return c == shape;
}

int number(std::string_view text, std::size_t at, std::size_t digits) {
  int value = 0;
  for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// Digits after the '.' that starts `fraction`.
std::size_t fractionDigits(std::string_view fraction) {
  return std::min(fraction.find_first_not_of("0123456789", 1), fraction.size()) - 1;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

TimeShape utcTimeShape(std::string_view text) {
  const std::size_t fixed = std::min(text.size(), kShape.size());
  for (std::size_t i = 0; i < fixed; ++i) {
    if (!fits(text[i], kShape[i])) return TimeShape::None;
  }
  if (text.size() < kShape.size()) return TimeShape::Part;
  std::string_view rest = text.substr(kShape.size());
  if (rest.starts_with('.')) {
    const std::size_t digits = fractionDigits(rest);
    if (digits == 0) return rest.size() == 1 ? TimeShape::Part : TimeShape::None;
    if (digits > 3) return TimeShape::None;
    rest.remove_prefix(1 + digits);
  }
  if (rest.starts_with('Z')) rest.remove_prefix(1);
  return rest.empty() ? TimeShape::Whole : TimeShape::None;
}

std::optional<stm::CalendarTime> parseUtcTime(std::string_view text) {
  if (utcTimeShape(text) != TimeShape::Whole) return std::nullopt;
  stm::CalendarTime t{number(text, 0, 4),  number(text, 5, 2),  number(text, 8, 2),
                      number(text, 11, 2), number(text, 14, 2), number(text, 17, 2)};
  if (const std::string_view fraction = text.substr(kShape.size()); fraction.starts_with('.')) {
    std::size_t digits = fractionDigits(fraction);
    t.millisecond = number(fraction, 1, digits);
    for (; digits < 3; ++digits) t.millisecond *= 10;
  }
  const bool real = stm::IsValidYear(t.year) && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
                    t.day <= daysInMonth(t.year, t.month) && t.hour <= 23 && t.minute <= 59 && t.second <= 59;
  if (!real) return std::nullopt;
  return t;
}

std::optional<LineTime> lineStartTime(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && isBlank(line[start])) ++start;
  std::size_t end = start;
  while (end < line.size() && !isBlank(line[end]) && line[end] != '\r' && line[end] != '\n') ++end;
  // The date and the time of the blank form are one time.
  if (end - start == 10 && end < line.size() && line[end] == ' ') {
    ++end;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '\r' && line[end] != '\n') ++end;
  }
  const auto time = parseUtcTime(line.substr(start, end - start));
  if (!time) return std::nullopt;
  while (end < line.size() && isBlank(line[end])) ++end;
  return LineTime{*time, end};
}

}  // namespace quillon
