// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <tuple>
#include <vector>

#include "time/clocksnapshot.h"
#include "time/juliandate.h"

namespace stm {
namespace {

TEST(JulianDates, ExamplesToTheLastBitAndTheFirstBadField) {
  std::ifstream in(QUILLON_TEST_DATA "/julian_dates.txt");
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("#")) continue;
    std::istringstream words(line);
    int f[7];
    for (int& field : f) words >> field;
    std::string expected;
    words >> expected;
    int code = 0;
    try {
      const double jd = ToJulianDate(f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
      EXPECT_EQ(jd, std::stod(expected)) << line;
    } catch (const SpaceTimeException& e) {
      code = e.code();
    }
    if (expected == "error") words >> expected;
    EXPECT_EQ(code, expected.find('.') == std::string::npos ? std::stoi(expected) : 0) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 29);
}

TEST(TextForms, SixFormsZeroPaddedAndNeverCutOff) {
  const ClockSnapshot snapshot(fixedClock({{2008, 6, 15, 3, 4, 5, 678}, {2008, 6, 14, 18, 4, 5, 678}}));
  std::string forms;
  for (int form = 0; form <= 7; ++form) forms += snapshot.GetLocalTimeText(form) + "|";
  EXPECT_EQ(forms, "parameter: out of range. set 1 - 6|2008/06/15 03:04:05:678|2008/06/15 03:04:05|2008/06/15|"
                   "03:04:05:678|03:04:05|20080615030405|parameter: out of range. set 1 - 6|");
  EXPECT_EQ(snapshot.GetUtcText(2), "2008/06/14 18:04:05");
  EXPECT_EQ(timeText({2009, 1, 2, 3, 4, 5, 6}, 1), "2009/01/02 03:04:05:006");
  const int low = -2147483647 - 1;
  EXPECT_EQ(timeText({low, low, low, low, low, low, low}, 1).size(), 7 * 11 + 6u);
}

TEST(TextForms, IsoTimesCarryTheOffsetOfTheSameReading) {
  EXPECT_EQ(isoUtcText({2009, 1, 2, 3, 4, 5, 6}), "2009-01-02T03:04:05.006Z");
  const CalendarTime utc{2026, 12, 31, 23, 30, 0, 7};
  EXPECT_EQ(isoLocalText({{2027, 1, 1, 9, 0, 0, 7}, utc}), "2027-01-01T09:00:00.007+09:30");
  EXPECT_EQ(isoLocalText({{2026, 12, 31, 20, 0, 0, 7}, utc}), "2026-12-31T20:00:00.007-03:30");
  EXPECT_EQ(isoLocalText({utc, utc}), "2026-12-31T23:30:00.007+00:00");
  EXPECT_EQ(isoLocalText({{2026, 12, 31, 23, 31, 5, 7}, utc}), "2026-12-31T23:31:05.007+00:01:05");
  EXPECT_EQ(isoLocalText({{2027, 1, 1, 13, 30, 0, 7}, utc}), "2027-01-01T13:30:00.007+14:00");
  EXPECT_EQ(isoLocalText({{2024, 3, 1, 0, 20, 0, 0}, {2024, 2, 29, 23, 0, 0, 0}}), "2024-03-01T00:20:00.000+01:20");
}

TEST(ClockPanel, JulianDateHasFifteenCharactersAndADecimalPointInEveryLocale) {
  // The toolkit sets the locale from the environment at start-up; a German desktop uses
  // a decimal comma, which must not reach the panel.
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps.sh generates it";
  ClockReading now{{2008, 6, 15, 3, 4, 5, 678}, {2008, 6, 15, 3, 4, 5, 678}};
  ClockSnapshot snapshot([&now] { return now; });
  ClockPanel panel;
  EXPECT_EQ(panel.show(snapshot).julianDate, "2454632.6278435");
  EXPECT_EQ(panel.show(snapshot).utc, "2008/06/15 03:04:05");
  // The times follow a new second and a new zone; the Julian Date follows every reading.
  for (const auto& [change, utc, local] : std::vector<std::tuple<std::function<void()>, const char*, const char*>>{
           {[&] { now.utc.millisecond = now.local.millisecond = 999; }, "2008/06/15 03:04:05", "2008/06/15 03:04:05"},
           {[&] { now.local.hour = 12; }, "2008/06/15 03:04:05", "2008/06/15 12:04:05"},
           {[&] { now.utc.minute = 5; }, "2008/06/15 03:05:05", "2008/06/15 12:04:05"}}) {
    change();
    snapshot.Update();
    const ClockPanelTexts& texts = panel.show(snapshot);
    EXPECT_EQ(texts.utc, utc);
    EXPECT_EQ(texts.local, local);
    EXPECT_EQ(texts.julianDate, julianDateText(snapshot.GetJulianDate()));
  }
  EXPECT_EQ(julianDateText(1.5), "      1.5000000");
  EXPECT_EQ(julianDateText(1e300).size(), 309u);
  std::setlocale(LC_ALL, "C");
}

TEST(ClockSnapshot, OutOfRangeClockKeepsTheTimesAndThePanelSaysTheDateIsUnavailable) {
  ClockReading reading{{2008, 6, 15, 12, 0, 0, 0}, {2008, 6, 15, 3, 0, 0, 0}};
  ClockSnapshot snapshot([&reading] { return reading; });
  const double before = snapshot.GetJulianDate();
  EXPECT_TRUE(snapshot.hasJulianDate());
  reading.utc.year = reading.local.year = 2101;
  EXPECT_THROW(snapshot.Update(), SpaceTimeException);
  EXPECT_EQ(std::pair(snapshot.utcTime().year, snapshot.localTime().year), std::pair(2101, 2101));
  EXPECT_EQ(snapshot.GetJulianDate(), before);
  EXPECT_FALSE(snapshot.refresh());
  EXPECT_THROW(ClockSnapshot{fixedClock(reading)}, SpaceTimeException);
  const ClockPanelTexts texts = ClockPanel().show(ClockSnapshot::read(fixedClock(reading)));
  EXPECT_EQ(texts.local, "2101/06/15 12:00:00");
  EXPECT_EQ(texts.julianDate, kJulianDateUnavailable);
  reading.utc.year = 2008;
  EXPECT_TRUE(snapshot.refresh() && snapshot.hasJulianDate());
}

TEST(ClockSnapshot, CachedClockReadsAgainWhenTheMillisecondChanges) {
  using namespace std::chrono;
  system_clock::time_point now{milliseconds(1213499045678LL)};
  const ClockSource clock = millisecondCachedClock([&now] { return now; });
  EXPECT_EQ(clock().utc, (CalendarTime{2008, 6, 15, 3, 4, 5, 678}));
  EXPECT_EQ(clock().local.millisecond, 678);
  now += microseconds(300);
  EXPECT_EQ(clock().utc.millisecond, 678);
  now += microseconds(700);
  EXPECT_EQ(clock().utc.millisecond, 679);
  now += hours(24);
  EXPECT_EQ(clock().utc.day, 16);
}

}  // namespace
}  // namespace stm
