#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "time/clock_snapshot.h"
#include "time/space_time.h"

namespace stm {
namespace {

struct JdCase {
  int year, month, day, hour, minute, second, millisecond;
  double expected;  // to the last bit
};

void PrintTo(const JdCase& c, std::ostream* os) { *os << c.year << '-' << c.month << '-' << c.day; }

class JulianDates : public ::testing::TestWithParam<JdCase> {};

TEST_P(JulianDates, MatchToTheLastBit) {
  const JdCase& c = GetParam();
  EXPECT_EQ(ToJulianDate(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, JulianDates,
    ::testing::Values(JdCase{2000, 1, 1, 12, 0, 0, 0, 2451545.0}, JdCase{2008, 6, 15, 3, 4, 5, 678, 2454632.6278434955},
                      JdCase{1900, 1, 1, 0, 0, 0, 0, 2415019.5},  // a day low: no century correction
                      JdCase{1900, 3, 1, 0, 0, 0, 0, 2415079.5}, JdCase{2100, 2, 28, 0, 0, 0, 0, 2488127.5},
                      JdCase{2100, 3, 1, 0, 0, 0, 0, 2488129.5},  // a day high
                      JdCase{2009, 2, 31, 0, 0, 0, 0, 2454893.5}, JdCase{2009, 2, 28, 24, 60, 0, 0, 2454891.5416666665},
                      JdCase{2009, 3, 1, 0, 0, 75, 0, 2454891.5008680555},
                      JdCase{2009, 3, 1, 0, 0, 0, 1500, 2454891.5000173612}),
    [](const auto& info) {
      const JdCase& c = info.param;
      return std::to_string(c.year) + "_" + std::to_string(c.month) + "_" + std::to_string(c.day) + "_" +
             std::to_string(c.hour * 3600000 + c.minute * 60000 + c.second * 1000 + c.millisecond) + "ms";
    });

struct ErrorCase {
  int year, month, day, hour, minute, second, millisecond;
  int code;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << "code " << c.code; }

class JulianDateErrors : public ::testing::TestWithParam<ErrorCase> {};

// Each validator at both sides of its bounds, and the first bad field in order wins.
TEST_P(JulianDateErrors, ReportTheFirstBadField) {
  const ErrorCase& c = GetParam();
  try {
    const double jd = ToJulianDate(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond);
    EXPECT_EQ(c.code, 0) << "no exception, " << jd;
  } catch (const SpaceTimeException& e) {
    EXPECT_EQ(e.Code(), c.code);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, JulianDateErrors,
    ::testing::Values(ErrorCase{1899, 6, 1, 0, 0, 0, 0, 1}, ErrorCase{2101, 6, 1, 0, 0, 0, 0, 1},
                      ErrorCase{1900, 1, 1, 0, 0, 0, 0, 0}, ErrorCase{2100, 12, 31, 24, 60, 0, 0, 0},
                      ErrorCase{2009, 0, 1, 0, 0, 0, 0, 2}, ErrorCase{2009, 13, 1, 0, 0, 0, 0, 2},
                      ErrorCase{2009, 6, 0, 0, 0, 0, 0, 3}, ErrorCase{2009, 6, 32, 0, 0, 0, 0, 3},
                      ErrorCase{2009, 6, 1, 25, 0, 0, 0, 4}, ErrorCase{2009, 6, 1, -1, 0, 0, 0, 4},
                      ErrorCase{2009, 6, 1, 0, 61, 0, 0, 5}, ErrorCase{2009, 6, 1, 0, -1, 0, 0, 5},
                      ErrorCase{2009, 6, 1, 0, 0, -1, 0, 6}, ErrorCase{2009, 6, 1, 0, 0, 0, -1, 7},
                      ErrorCase{1899, 13, 0, 25, 61, -1, -1, 1}, ErrorCase{2000, 13, 0, 25, 61, -1, -1, 2},
                      ErrorCase{2000, 12, 0, 25, 61, -1, -1, 3}, ErrorCase{2000, 12, 1, 25, 61, -1, -1, 4},
                      ErrorCase{2000, 12, 1, 24, 61, -1, -1, 5}, ErrorCase{2000, 12, 1, 24, 60, -1, -1, 6}),
    [](const auto& info) { return "case" + std::to_string(info.index) + "_code" + std::to_string(info.param.code); });

TEST(JulianDates, ErrorsInWords) {
  const char* const words[] = {"year outside 1900..2100", "month outside 1..12", "day outside 1..31",
                               "hour outside 0..24",      "minute outside 0..60", "second below 0",
                               "millisecond below 0"};
  for (int code = 1; code <= 7; ++code) EXPECT_EQ(describe(SpaceTimeException(code)), words[code - 1]);
}

struct FormCase {
  int form;
  const char* expected;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << "form " << c.form; }

class TextForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(TextForms, RenderLocalAndUtcAlike) {
  const CalendarTime local{2008, 6, 15, 3, 4, 5, 678};
  const ClockSnapshot snapshot(fixedClock({local, local}));
  EXPECT_EQ(snapshot.GetLocalTimeText(GetParam().form), GetParam().expected);
  EXPECT_EQ(snapshot.GetUtcText(GetParam().form), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, TextForms,
                         ::testing::Values(FormCase{1, "2008/06/15 03:04:05:678"}, FormCase{2, "2008/06/15 03:04:05"},
                                           FormCase{3, "2008/06/15"}, FormCase{4, "03:04:05:678"},
                                           FormCase{5, "03:04:05"}, FormCase{6, "20080615030405"},
                                           FormCase{0, "parameter: out of range. set 1 - 6"},
                                           FormCase{7, "parameter: out of range. set 1 - 6"}),
                         [](const auto& info) { return "form" + std::to_string(info.param.form); });

TEST(TextForms, FieldsAreZeroPaddedAndNeverCutOff) {
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
  const CalendarTime t{2008, 6, 15, 3, 4, 5, 678};
  const ClockPanelTexts texts = clockPanelTexts(ClockSnapshot(fixedClock({t, t})));
  EXPECT_EQ(texts.julianDate, "2454632.6278435");
  EXPECT_EQ(texts.utc, "2008/06/15 03:04:05");
  EXPECT_EQ(julianDateText(1.5), "      1.5000000");
  EXPECT_EQ(julianDateText(1e300).size(), 309u);
  std::setlocale(LC_ALL, "C");
}

TEST(ClockSnapshot, OutOfRangeClockKeepsTheTimesAndThePanelSaysTheDateIsUnavailable) {
  ClockReading reading{{2008, 6, 15, 12, 0, 0, 0}, {2008, 6, 15, 3, 0, 0, 0}};
  ClockSnapshot snapshot([&reading] { return reading; });
  const double before = snapshot.GetJulianDate();
  EXPECT_TRUE(snapshot.HasJulianDate());
  reading.utc.year = reading.local.year = 2101;
  EXPECT_THROW(snapshot.Update(), SpaceTimeException);
  EXPECT_EQ(snapshot.Utc().year, 2101);
  EXPECT_EQ(snapshot.Local().year, 2101);
  EXPECT_EQ(snapshot.GetJulianDate(), before);
  EXPECT_FALSE(snapshot.Refresh());
  EXPECT_THROW(ClockSnapshot{fixedClock(reading)}, SpaceTimeException);
  const ClockPanelTexts texts = clockPanelTexts(ClockSnapshot::Read(fixedClock(reading)));
  EXPECT_EQ(texts.local, "2101/06/15 12:00:00");
  EXPECT_EQ(texts.julianDate, kJulianDateUnavailable);
  reading.utc.year = 2008;
  EXPECT_TRUE(snapshot.Refresh());
  EXPECT_TRUE(snapshot.HasJulianDate());
}

TEST(ClockSnapshot, SystemClockGivesOneInstantInBothZones) {
  const auto t = std::chrono::system_clock::time_point(std::chrono::milliseconds(1213499045678LL));
  const ClockReading reading = readingAt(t);  // 2008-06-15 03:04:05.678 UTC
  EXPECT_EQ(reading.utc, (CalendarTime{2008, 6, 15, 3, 4, 5, 678}));
  EXPECT_EQ(reading.local.millisecond, 678);
  EXPECT_EQ(reading.local.minute % 15, 4) << "every zone offset is a multiple of 15 minutes";
}

TEST(ClockSnapshot, CachedClockReadsAgainWhenTheMillisecondChanges) {
  using namespace std::chrono;
  system_clock::time_point now{milliseconds(1213499045678LL)};
  const ClockSource clock = millisecondCachedClock([&now] { return now; });
  EXPECT_EQ(clock().utc.millisecond, 678);
  now += microseconds(300);
  EXPECT_EQ(clock().utc.millisecond, 678);
  now += microseconds(700);
  EXPECT_EQ(clock().utc.millisecond, 679);
  now += hours(24);
  EXPECT_EQ(clock().utc.day, 16);
}

}  // namespace
}  // namespace stm
