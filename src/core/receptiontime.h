// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reception times: the UTC instant a log line was heard, and the value of `--time`.
//
//   "2026-12-07T03:10:12Z" or "2026-12-07 03:10:12"   (a fraction .d to .ddd may follow
//    the seconds, and a Z either form)
//
// A log line that starts with such a time (blanks before it allowed, a blank or the line's
// end after it) gives it to the frames on the line. Only a real UTC instant counts: month
// 1-12, the month's days, hour 0-23, minute and second 0-59, a year the date library
// takes (1900-2100). Anything else is no time, and the line is read as text.

#include <cstddef>
#include <optional>
#include <string_view>

#include "time/clocksnapshot.h"

namespace quillon {

// The whole text as a reception time; nullopt for any other text.
std::optional<stm::CalendarTime> parseUtcTime(std::string_view text);

// How far `text` has the shape of a time, for readers that see a line byte by byte: None
// when it cannot start one; Part when more bytes could make one; Whole when it has a time's
// shape (more bytes may still extend it, e.g. with a fraction).
enum class TimeShape { None, Part, Whole };
TimeShape utcTimeShape(std::string_view text);

struct LineTime {
  stm::CalendarTime utc;
  std::size_t bytes = 0;  // blanks before the time, the time, and the blanks after it
};

// The reception time that starts a log line, and the bytes to drop before its text.
std::optional<LineTime> lineStartTime(std::string_view line);

}  // namespace quillon
