// SPDX-License-Identifier: GPL-3.0-or-later
#include "time/clocksnapshot.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <utility>

#include "time/juliandate.h"

namespace stm {

namespace {

CalendarTime fromTm(const std::tm& tm, int millisecond) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millisecond};
}

}  // namespace

ClockReading readingAt(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(t.time_since_epoch());
  const auto secs = floor<seconds>(ms);
  const std::time_t tt = static_cast<std::time_t>(secs.count());
  const int millisecond = static_cast<int>((ms - secs).count());
  std::tm local{};
  std::tm utc{};
  localtime_r(&tt, &local);
  gmtime_r(&tt, &utc);
  return {fromTm(local, millisecond), fromTm(utc, millisecond)};
}

std::chrono::system_clock::time_point utcInstant(const CalendarTime& t) {
  using namespace std::chrono;
  const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} / static_cast<unsigned>(t.day);
  return day + hours(t.hour) + minutes(t.minute) + seconds(t.second) + milliseconds(t.millisecond);
}

ClockReading readSystemClock() { return readingAt(std::chrono::system_clock::now()); }

ClockSource fixedClock(ClockReading reading) {
  return [reading] { return reading; };
}

ClockSource millisecondCachedClock(std::function<std::chrono::system_clock::time_point()> now) {
  struct Cache {
    std::chrono::sys_time<std::chrono::milliseconds> at{};
    bool valid = false;
    ClockReading reading;
  };
  auto cache = std::make_shared<Cache>();
  return [cache, now = std::move(now)] {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(now());
    if (!cache->valid || ms != cache->at) {
      cache->reading = readingAt(ms);
      cache->at = ms;
      cache->valid = true;
    }
    return cache->reading;
  };
}

ClockSnapshot::ClockSnapshot(ClockSource source, Unread) : source(std::move(source)) {}

ClockSnapshot::ClockSnapshot(ClockSource source) : source(std::move(source)) { Update(); }

ClockSnapshot ClockSnapshot::read(ClockSource source) {
  ClockSnapshot snapshot(std::move(source), Unread{});
  snapshot.refresh();
  return snapshot;
}

void ClockSnapshot::Update() {
  const ClockReading reading = source();
  local = reading.local;
  utc = reading.utc;
  julianDateValid = false;
  julianDate = ToJulianDate(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second, utc.millisecond);
  julianDateValid = true;
}

bool ClockSnapshot::refresh() noexcept {
  try {
    Update();
    return true;
  } catch (const SpaceTimeException&) {
    return false;
  }
}

std::string ClockSnapshot::GetLocalTimeText(int form) const { return timeText(local, form); }
std::string ClockSnapshot::GetUtcText(int form) const { return timeText(utc, form); }

std::string timeText(const CalendarTime& t, int form) {
  // Room for every field at its widest int, so a replaced clock can never be truncated.
  char buffer[128];
  int n = 0;
  switch (form) {
    case 1:
      n = std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d:%03d", t.year, t.month, t.day,
                        t.hour, t.minute, t.second, t.millisecond);
      break;
    case 2:
      n = std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day,
                        t.hour, t.minute, t.second);
      break;
    case 3: n = std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", t.year, t.month, t.day); break;
    case 4:
      n = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d:%03d", t.hour, t.minute, t.second,
                        t.millisecond);
      break;
    case 5: n = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour, t.minute, t.second); break;
    case 6:
      n = std::snprintf(buffer, sizeof buffer, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                        t.minute, t.second);
      break;
    default: return "parameter: out of range. set 1 - 6";
  }
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::string julianDateText(double jd) {
  // to_chars gives printf's digits without the locale's decimal comma.
  char digits[400];
  const char* end = std::to_chars(digits, digits + sizeof digits, jd, std::chars_format::fixed, 7).ptr;
  const auto n = static_cast<std::size_t>(end - digits);
  std::string text(15 - std::min<std::size_t>(n, 15), ' ');
  text.append(digits, n);
  return text;
}

namespace {

long long secondsOf(const CalendarTime& t) {
  using namespace std::chrono;
  const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} / static_cast<unsigned>(t.day);
  return day.time_since_epoch().count() * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second;
}

std::string isoText(const CalendarTime& t, const char* zone) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%s", t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.millisecond, zone);
  return text;
}

}  // namespace

std::string isoUtcText(const CalendarTime& utc) { return isoText(utc, "Z"); }

std::string isoLocalText(const ClockReading& reading) {
  const long long offset = secondsOf(reading.local) - secondsOf(reading.utc);
  const long long size = std::llabs(offset);
  char zone[32];
  const int n = std::snprintf(zone, sizeof zone, "%c%02lld:%02lld", offset < 0 ? '-' : '+', size / 3600,
                              size % 3600 / 60);
  if (size % 60 != 0) std::snprintf(zone + n, sizeof zone - n, ":%02lld", size % 60);
  return isoText(reading.local, zone);
}

const ClockPanelTexts& ClockPanel::show(const ClockSnapshot& snapshot) {
  ClockReading now{snapshot.localTime(), snapshot.utcTime()};
  now.local.millisecond = now.utc.millisecond = 0;
  if (now.local != shown.local || now.utc != shown.utc) {
    texts.utc = snapshot.GetUtcText(2);
    texts.local = snapshot.GetLocalTimeText(2);
    shown = now;
  }
  texts.julianDate =
      snapshot.hasJulianDate() ? julianDateText(snapshot.GetJulianDate()) : kJulianDateUnavailable;
  return texts;
}

}  // namespace stm
