// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `quillon-decode jd [YYYY-MM-DD hh:mm:ss[.mmm]]`: the Julian Date of a UTC instant, or
// of now, as the clock panel prints it.

#include <optional>
#include <string>
#include <string_view>

#include "time/clocksnapshot.h"

namespace quillon::cli {

// Fields as written, unchecked: the date library's own checks decide what is in range,
// so "2009-02-28 24:60:00" is as acceptable here as it is to the library.
struct UtcInstant {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// "YYYY-MM-DD hh:mm:ss" with an optional fraction of one to three digits (".5" is 500 ms);
// a 'T' may stand for the blank. nullopt when the text does not have that shape.
std::optional<UtcInstant> parseUtcInstant(std::string_view text);

struct JulianDateAnswer {
  bool ok = false;
  std::string text;  // "%15.7lf", or the date library's error in words
};

JulianDateAnswer julianDateOf(const UtcInstant& instant);
JulianDateAnswer julianDateNow(const stm::ClockSource& clock);

}  // namespace quillon::cli
