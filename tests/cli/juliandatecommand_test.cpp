// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/juliandatecommand.h"

#include <gtest/gtest.h>

namespace quillon::cli {
namespace {

// The shapes the command reads; the values and their ranges are the date library's.
TEST(UtcInstant, ReadsItsShapes) {
  const std::pair<const char*, std::string> cases[] = {{"2008-06-15 03:04:05.678", "2454632.6278435"},
                                                       {"2000-01-01T12:00:00.5", "2451545.0000058"},
                                                       {"2009-2-28 24:60:00", "2454891.5416667"},
                                                       {"2000-01-01 12:00:00.05", "2451545.0000006"},
                                                       {"21010-01-01 00:00:00", "year outside 1900..2100"}};
  for (const auto& [text, answer] : cases) {
    const auto instant = parseUtcInstant(text);
    ASSERT_TRUE(instant) << text;
    EXPECT_EQ(julianDateOf(*instant).text, answer) << text;
  }
}

TEST(UtcInstant, RefusesOtherShapes) {
  for (const char* text : {"", "2000-01-01", "2000/01/01 12:00:00", "2000-01-01 12:00", "00-01-01 12:00:00",
                           "2000-01-01 12:00:00.", "2000-01-01 12:00:00.1234", "2000-01-01  12:00:00",
                           "2000-01-01 12:00:00Z", "2000-001-01 12:00:00", "2000-01-01 123:00:00",
                           "2000-01-01 12::00", "2000-01-01 12:00:", "9999999999-01-01 00:00:00"}) {
    EXPECT_FALSE(parseUtcInstant(text)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace quillon::cli
