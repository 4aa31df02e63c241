#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "time/clock_snapshot.h"
#include "time/space_time.h"

namespace stm {
namespace {

struct JdCase {
  int year, month, day, hour, minute, second, millisecond;
  const char* expected;  // shortest text that identifies the double
};

class JulianDates : public ::testing::TestWithParam<JdCase> {};

TEST_P(JulianDates, MatchToTheLastBit) {
  const JdCase& c = GetParam();
  const double jd = ToJulianDate(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond);
  EXPECT_EQ(jd, std::strtod(c.expected, nullptr));
  char shortest[32];
  std::snprintf(shortest, sizeof shortest, "%.17g", jd);
  EXPECT_EQ(std::strtod(shortest, nullptr), jd);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, JulianDates,
    ::testing::Values(
        JdCase{2000, 1, 1, 12, 0, 0, 0, "2451545.0"}, JdCase{2008, 6, 15, 3, 4, 5, 678, "2454632.6278434955"},
        JdCase{1900, 1, 1, 0, 0, 0, 0, "2415019.5"},  // a day low: no century correction
        JdCase{1900, 3, 1, 0, 0, 0, 0, "2415079.5"}, JdCase{2100, 2, 28, 0, 0, 0, 0, "2488127.5"},
        JdCase{2100, 3, 1, 0, 0, 0, 0, "2488129.5"},  // a day high
        JdCase{2009, 2, 31, 0, 0, 0, 0, "2454893.5"}, JdCase{2009, 3, 3, 0, 0, 0, 0, "2454893.5"},
        JdCase{2009, 2, 28, 24, 60, 0, 0, "2454891.5416666665"}, JdCase{2009, 3, 1, 0, 0, 0, 0, "2454891.5"},
        JdCase{2009, 3, 1, 0, 0, 75, 0, "2454891.5008680555"},
        JdCase{2009, 3, 1, 0, 0, 0, 1500, "2454891.5000173612"}));

TEST(JulianDates, MillisecondsAddLikeSeconds) {
  EXPECT_NEAR(ToJulianDate(2009, 3, 1, 0, 0, 0, 1500) - ToJulianDate(2009, 3, 1, 0, 0, 1, 500), 0.0, 1e-9);
}

struct ErrorCase {
  int year, month, day, hour, minute, second, millisecond;
  int code;
};

class JulianDateErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(JulianDateErrors, ReportTheFirstBadFieldInOrder) {
  const ErrorCase& c = GetParam();
  try {
    ToJulianDate(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond);
    FAIL() << "no exception";
  } catch (const SpaceTimeException& e) {
    EXPECT_EQ(e.Code(), c.code);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, JulianDateErrors,
    ::testing::Values(ErrorCase{1899, 6, 1, 0, 0, 0, 0, 1}, ErrorCase{2101, 6, 1, 0, 0, 0, 0, 1},
                      ErrorCase{2009, 0, 1, 0, 0, 0, 0, 2}, ErrorCase{2009, 13, 1, 0, 0, 0, 0, 2},
                      ErrorCase{2009, 6, 0, 0, 0, 0, 0, 3}, ErrorCase{2009, 6, 32, 0, 0, 0, 0, 3},
                      ErrorCase{2009, 6, 1, 25, 0, 0, 0, 4}, ErrorCase{2009, 6, 1, -1, 0, 0, 0, 4},
                      ErrorCase{2009, 6, 1, 0, 61, 0, 0, 5}, ErrorCase{2009, 6, 1, 0, 0, -1, 0, 6},
                      ErrorCase{2009, 6, 1, 0, 0, 0, -1, 7},
                      // Several bad fields: the earliest in year..millisecond order wins.
                      ErrorCase{1899, 13, 0, 25, 61, -1, -1, 1}, ErrorCase{2000, 13, 0, 25, 61, -1, -1, 2},
                      ErrorCase{2000, 12, 0, 25, 61, -1, -1, 3}, ErrorCase{2000, 12, 1, 25, 61, -1, -1, 4},
                      ErrorCase{2000, 12, 1, 24, 61, -1, -1, 5}, ErrorCase{2000, 12, 1, 24, 60, -1, -1, 6}));

TEST(Validators, Bounds) {
  EXPECT_TRUE(IsValidYear(1900) && IsValidYear(2100) && !IsValidYear(1899) && !IsValidYear(2101));
  EXPECT_TRUE(IsValidMonth(1) && IsValidMonth(12) && !IsValidMonth(0) && !IsValidMonth(13));
  EXPECT_TRUE(IsValidDay(1) && IsValidDay(31) && !IsValidDay(0) && !IsValidDay(32));
  EXPECT_TRUE(IsValidHour(0) && IsValidHour(24) && !IsValidHour(-1) && !IsValidHour(25));
  EXPECT_TRUE(IsValidMinute(0) && IsValidMinute(60) && !IsValidMinute(-1) && !IsValidMinute(61));
  EXPECT_TRUE(IsValidSecond(0) && IsValidSecond(75) && !IsValidSecond(-1));
  EXPECT_TRUE(IsValidMillisecond(0) && IsValidMillisecond(1500) && !IsValidMillisecond(-1));
}

TEST(Validators, ErrorsInWords) {
  EXPECT_EQ(describe(SpaceTimeException(1)), "year outside 1900..2100");
  EXPECT_EQ(describe(SpaceTimeException(7)), "millisecond below 0");
}

const CalendarTime kSample{2008, 6, 15, 3, 4, 5, 678};

struct FormCase {
  int form;
  const char* expected;
};

class TextForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(TextForms, RenderLocalAndUtcAlike) {
  const ClockSnapshot snapshot(fixedClock({kSample, kSample}));
  EXPECT_EQ(snapshot.GetLocalTimeText(GetParam().form), GetParam().expected);
  EXPECT_EQ(snapshot.GetUtcText(GetParam().form), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, TextForms,
                         ::testing::Values(FormCase{1, "2008/06/15 03:04:05:678"},
                                           FormCase{2, "2008/06/15 03:04:05"}, FormCase{3, "2008/06/15"},
                                           FormCase{4, "03:04:05:678"}, FormCase{5, "03:04:05"},
                                           FormCase{6, "20080615030405"},
                                           FormCase{0, "parameter: out of range. set 1 - 6"},
                                           FormCase{7, "parameter: out of range. set 1 - 6"},
                                           FormCase{-1, "parameter: out of range. set 1 - 6"}));

TEST(TextForms, EveryFieldIsZeroPadded) {
  EXPECT_EQ(timeText({2009, 1, 2, 3, 4, 5, 6}, 1), "2009/01/02 03:04:05:006");
}

TEST(TextForms, ExtremeFieldsAreNeverCutOff) {
  const CalendarTime wild{-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, -2147483647 - 1,
                          -2147483647 - 1, -2147483647 - 1, -2147483647 - 1};
  EXPECT_EQ(timeText(wild, 1).size(), 7 * 11 + 6u);
}

TEST(ClockSnapshot, KeepsLocalAndUtcOfOneReading) {
  const ClockReading reading{{2008, 6, 15, 12, 4, 5, 678}, {2008, 6, 15, 3, 4, 5, 678}};
  const ClockSnapshot snapshot(fixedClock(reading));
  EXPECT_EQ(snapshot.Local(), reading.local);
  EXPECT_EQ(snapshot.Utc(), reading.utc);
  EXPECT_EQ(snapshot.GetJulianDate(), 2454632.6278434955);
  EXPECT_TRUE(snapshot.HasJulianDate());
}

TEST(ClockSnapshot, OutOfRangeClockThrowsAfterKeepingTheNewTimes) {
  ClockReading reading{{2008, 6, 15, 12, 0, 0, 0}, {2008, 6, 15, 3, 0, 0, 0}};
  ClockSnapshot snapshot([&reading] { return reading; });
  const double before = snapshot.GetJulianDate();
  reading.utc.year = 2101;
  reading.local.year = 2101;
  try {
    snapshot.Update();
    FAIL() << "no exception";
  } catch (const SpaceTimeException& e) {
    EXPECT_EQ(e.Code(), 1);
  }
  EXPECT_EQ(snapshot.Utc().year, 2101);
  EXPECT_EQ(snapshot.Local().year, 2101);
  EXPECT_EQ(snapshot.GetJulianDate(), before);
  EXPECT_FALSE(snapshot.HasJulianDate());
  EXPECT_THROW(ClockSnapshot{fixedClock(reading)}, SpaceTimeException);

  // Refresh never throws; it recovers when the clock comes back.
  EXPECT_FALSE(snapshot.Refresh());
  reading.utc.year = 2008;
  EXPECT_TRUE(snapshot.Refresh());
  EXPECT_TRUE(snapshot.HasJulianDate());
}

TEST(ClockSnapshot, ReadNeverThrowsAndThePanelSaysTheDateIsUnavailable) {
  const ClockReading past{{1899, 12, 31, 23, 59, 59, 999}, {1899, 12, 31, 14, 59, 59, 999}};
  const ClockSnapshot snapshot = ClockSnapshot::Read(fixedClock(past));
  EXPECT_FALSE(snapshot.HasJulianDate());
  const ClockPanelTexts texts = clockPanelTexts(snapshot);
  EXPECT_EQ(texts.utc, "1899/12/31 14:59:59");
  EXPECT_EQ(texts.local, "1899/12/31 23:59:59");
  EXPECT_EQ(texts.julianDate, kJulianDateUnavailable);
}

TEST(ClockSnapshot, PanelShowsTheJulianDateInFifteenCharacters) {
  const ClockSnapshot snapshot(fixedClock({kSample, kSample}));
  const ClockPanelTexts texts = clockPanelTexts(snapshot);
  EXPECT_EQ(texts.julianDate, "2454632.6278435");
  EXPECT_EQ(texts.utc, "2008/06/15 03:04:05");
  EXPECT_EQ(julianDateText(2451545.0), "2451545.0000000");
  EXPECT_EQ(julianDateText(1.5), "      1.5000000");
  EXPECT_EQ(julianDateText(1e300).size(), 309u);
}

TEST(ClockSnapshot, SystemClockGivesOneInstantInBothZones) {
  // 2008-06-15 03:04:05.678 UTC
  const auto t = std::chrono::system_clock::time_point(std::chrono::milliseconds(1213499045678LL));
  const ClockReading reading = readingAt(t);
  EXPECT_EQ(reading.utc, (CalendarTime{2008, 6, 15, 3, 4, 5, 678}));
  EXPECT_EQ(reading.local.millisecond, 678);
  EXPECT_EQ(reading.local.minute % 15, 4 % 15);  // every zone offset is a multiple of 15 minutes
  const ClockSnapshot now;
  EXPECT_TRUE(now.HasJulianDate());
  EXPECT_GT(now.Utc().year, 2000);
}

}  // namespace
}  // namespace stm
