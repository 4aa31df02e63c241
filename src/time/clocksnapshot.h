// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One reading of the clock as local and UTC calendar time, with the Julian Date of the
// UTC reading. The clock is a replaceable source, so tests can feed any reading.

#include <chrono>
#include <functional>
#include <string>

namespace stm {

struct CalendarTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  bool operator==(const CalendarTime&) const = default;
};

struct ClockReading {
  CalendarTime local;
  CalendarTime utc;
};

using ClockSource = std::function<ClockReading()>;

// One instant as local time and UTC (localtime_r and gmtime_r of the same time point,
// so the two never disagree by the time between two reads).
ClockReading readingAt(std::chrono::system_clock::time_point t);
// The instant of a UTC calendar reading, its fields within their ranges.
std::chrono::system_clock::time_point utcInstant(const CalendarTime& utc);
ClockReading readSystemClock();

// A source that always gives the same reading.
ClockSource fixedClock(ClockReading reading);

// The system clock converted to calendar time at most once per millisecond: over a long
// log the conversion to local time costs more than decoding a frame. `now` is replaceable
// for tests.
ClockSource millisecondCachedClock(std::function<std::chrono::system_clock::time_point()> now =
                                       std::chrono::system_clock::now);

class ClockSnapshot {
 public:
  // Reads the clock; throws SpaceTimeException when its UTC reading is out of range.
  explicit ClockSnapshot(ClockSource source = readSystemClock);

  // Reads the clock and never throws for an out-of-range clock: the times are kept and
  // hasJulianDate() tells whether the Julian Date could be computed.
  static ClockSnapshot read(ClockSource source = readSystemClock);

  // Reads the clock again. The calendar fields are replaced first; an out-of-range UTC
  // reading then throws SpaceTimeException and leaves the previous Julian Date.
  void Update();
  // Update() without the exception: false when the Julian Date could not be computed.
  bool refresh() noexcept;

  double GetJulianDate() const { return julianDate; }
  bool hasJulianDate() const { return julianDateValid; }
  const CalendarTime& localTime() const { return local; }
  const CalendarTime& utcTime() const { return utc; }

  // Text forms 1-6; any other form gives "parameter: out of range. set 1 - 6".
  std::string GetLocalTimeText(int form) const;
  std::string GetUtcText(int form) const;

 private:
  struct Unread {};
  ClockSnapshot(ClockSource source, Unread);

  ClockSource source;
  CalendarTime local;
  CalendarTime utc;
  double julianDate = 0.0;
  bool julianDateValid = false;
};

// One calendar reading as text form 1-6:
//   1 "%04d/%02d/%02d %02d:%02d:%02d:%03d"   4 "%02d:%02d:%02d:%03d"
//   2 "%04d/%02d/%02d %02d:%02d:%02d"        5 "%02d:%02d:%02d"
//   3 "%04d/%02d/%02d"                       6 "%04d%02d%02d%02d%02d%02d"
std::string timeText(const CalendarTime& t, int form);

// The clock panel's Julian Date text: "%15.7lf", with a decimal point in every locale.
std::string julianDateText(double jd);

// ISO 8601 with milliseconds: "2026-12-06T18:25:28.123Z" and, with the offset that local
// time has from UTC in the same reading, "2026-12-06T19:25:28.123+01:00".
std::string isoUtcText(const CalendarTime& utc);
std::string isoLocalText(const ClockReading& reading);

// The three texts of the clock panel; the Julian Date says plainly when it is unavailable.
struct ClockPanelTexts {
  std::string utc;
  std::string local;
  std::string julianDate;
};

// The clock panel's texts from tick to tick. The times show whole seconds, so on a panel
// that ticks 20 times a second they are formatted again only when a second (or the zone)
// has moved on.
class ClockPanel {
 public:
  const ClockPanelTexts& show(const ClockSnapshot& snapshot);

 private:
  ClockPanelTexts texts;
  ClockReading shown{{-1}, {-1}};  // to the second
};

inline constexpr const char* kJulianDateUnavailable = "unavailable";

}  // namespace stm
