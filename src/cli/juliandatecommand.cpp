// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/juliandatecommand.h"

#include "time/juliandate.h"

namespace quillon::cli {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one to `maxDigits` digits; a run longer than that is no field of this shape.
bool readNumber(std::string_view& text, std::size_t minDigits, std::size_t maxDigits, int& value) {
  std::size_t n = 0;
  value = 0;
  while (n < text.size() && isDigit(text[n])) {
    if (++n > maxDigits) return false;
    value = value * 10 + (text[n - 1] - '0');
  }
  if (n < minDigits) return false;
  text.remove_prefix(n);
  return true;
}

bool readChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::optional<UtcInstant> parseUtcInstant(std::string_view text) {
  UtcInstant t;
  // Years of more than four digits are read so that the library can call them out of range.
  const bool shape =
      readNumber(text, 4, 9, t.year) && readChar(text, '-') && readNumber(text, 1, 2, t.month) &&
      readChar(text, '-') && readNumber(text, 1, 2, t.day) && (readChar(text, ' ') || readChar(text, 'T')) &&
      readNumber(text, 1, 2, t.hour) && readChar(text, ':') && readNumber(text, 1, 2, t.minute) &&
      readChar(text, ':') && readNumber(text, 1, 2, t.second);
  if (!shape) return std::nullopt;
  if (readChar(text, '.')) {
    const std::size_t before = text.size();
    if (!readNumber(text, 1, 3, t.millisecond)) return std::nullopt;
    for (std::size_t digits = before - text.size(); digits < 3; ++digits) t.millisecond *= 10;
  }
  if (!text.empty()) return std::nullopt;
  return t;
}

JulianDateAnswer julianDateOf(const UtcInstant& t) {
  try {
    return {true, stm::julianDateText(
                      stm::ToJulianDate(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond))};
  } catch (const stm::SpaceTimeException& e) {
    return {false, std::string(stm::describe(e))};
  }
}

JulianDateAnswer julianDateNow(const stm::ClockSource& clock) {
  const stm::CalendarTime utc = clock().utc;
  return julianDateOf({utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second, utc.millisecond});
}

}  // namespace quillon::cli
