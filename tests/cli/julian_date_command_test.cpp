#include "cli/julian_date_command.h"

#include <gtest/gtest.h>

namespace quillon::cli {
namespace {

struct JdCase {
  std::string instant;
  bool ok;
  std::string text;
};

void PrintTo(const JdCase& c, std::ostream* os) { *os << c.instant; }

class JulianDateTest : public testing::TestWithParam<JdCase> {};

TEST_P(JulianDateTest, AsTheClockPanelPrintsIt) {
  const auto instant = parseUtcInstant(GetParam().instant);
  ASSERT_TRUE(instant) << GetParam().instant;
  const JulianDateAnswer answer = julianDateOf(*instant);
  EXPECT_EQ(answer.ok, GetParam().ok);
  EXPECT_EQ(answer.text, GetParam().text);
}

// The date library's worked examples, its accepted oddities and its errors.
INSTANTIATE_TEST_SUITE_P(Instants, JulianDateTest,
                         testing::Values(JdCase{"2000-01-01 12:00:00", true, "2451545.0000000"},
                                         JdCase{"2000-01-01T12:00:00.000", true, "2451545.0000000"},
                                         JdCase{"2008-06-15 03:04:05.678", true, "2454632.6278435"},
                                         JdCase{"1900-01-01 00:00:00", true, "2415019.5000000"},
                                         JdCase{"1900-03-01 00:00:00", true, "2415079.5000000"},
                                         JdCase{"2100-02-28 00:00:00", true, "2488127.5000000"},
                                         JdCase{"2100-03-01 00:00:00", true, "2488129.5000000"},
                                         JdCase{"2009-02-31 00:00:00", true, "2454893.5000000"},
                                         JdCase{"2009-2-28 24:60:00", true, "2454891.5416667"},
                                         JdCase{"2009-03-01 00:00:75", true, "2454891.5008681"},
                                         JdCase{"2000-01-01 12:00:00.5", true, "2451545.0000058"},
                                         JdCase{"1899-12-31 23:59:59", false, "year outside 1900..2100"},
                                         JdCase{"21010-01-01 00:00:00", false, "year outside 1900..2100"},
                                         JdCase{"1899-13-01 00:00:00", false, "year outside 1900..2100"},
                                         JdCase{"2009-13-01 00:00:00", false, "month outside 1..12"},
                                         JdCase{"2009-00-01 00:00:00", false, "month outside 1..12"},
                                         JdCase{"2009-01-32 00:00:00", false, "day outside 1..31"},
                                         JdCase{"2009-01-01 25:00:00", false, "hour outside 0..24"},
                                         JdCase{"2009-01-01 00:61:00", false, "minute outside 0..60"}));

TEST(UtcInstant, FractionIsOfASecond) {
  for (const auto& [text, ms] : {std::pair{"2000-01-01 12:00:00.5", 500},
                                 {"2000-01-01 12:00:00.05", 50},
                                 {"2000-01-01 12:00:00.678", 678},
                                 {"2000-01-01 12:00:00", 0}}) {
    const auto instant = parseUtcInstant(text);
    ASSERT_TRUE(instant) << text;
    EXPECT_EQ(instant->millisecond, ms) << text;
  }
}

TEST(UtcInstant, RefusesOtherShapes) {
  for (const char* text :
       {"", "2000-01-01", "2000/01/01 12:00:00", "2000-01-01 12:00", "00-01-01 12:00:00",
        "2000-01-01 12:00:00.", "2000-01-01 12:00:00.1234", "2000-01-01  12:00:00", "-2000-01-01 12:00:00",
        "2000-01-01 12:00:00Z", "2000-001-01 12:00:00", "2000-01-01 12:00:-1", "9999999999-01-01 00:00:00"}) {
    EXPECT_FALSE(parseUtcInstant(text)) << '"' << text << '"';
  }
}

TEST(JulianDateNow, ReadsTheClocksUtc) {
  stm::ClockReading reading{{2000, 1, 1, 21, 0, 0, 0}, {2000, 1, 1, 12, 0, 0, 0}};
  EXPECT_EQ(julianDateNow(stm::fixedClock(reading)).text, "2451545.0000000");
  reading.utc.year = 2101;
  const JulianDateAnswer answer = julianDateNow(stm::fixedClock(reading));
  EXPECT_FALSE(answer.ok);
  EXPECT_EQ(answer.text, "year outside 1900..2100");
}

}  // namespace
}  // namespace quillon::cli
