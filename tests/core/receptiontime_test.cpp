// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/receptiontime.h"

#include <gtest/gtest.h>

#include <fstream>

namespace quillon {
namespace {

TEST(ReceptionTimes, RealUtcInstantsOnly) {
  std::ifstream in(QUILLON_TEST_DATA "/reception_times.txt");
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('#')) continue;
    const std::size_t bar = line.find(" | ");
    const auto time = parseUtcTime(line.substr(0, bar));
    EXPECT_EQ(time ? stm::isoUtcText(*time) : "none", line.substr(bar + 3)) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 30);
}

TEST(ReceptionTimes, AtTheStartOfALine) {
  const auto time = lineStartTime("  2026-12-07 03:10:12 \tTNGR 8A5C3E1F");
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(stm::isoUtcText(time->utc), "2026-12-07T03:10:12.000Z");
  EXPECT_EQ(time->bytes, 23U);
  EXPECT_EQ(lineStartTime("2026-12-07T03:10:12Z")->bytes, 20U);
  EXPECT_EQ(lineStartTime("2026-12-07 03:10:12\r")->bytes, 19U);
  for (const char* line : {"TNGR 2026-12-07 03:10:12", "2026-12-07T03:10:12ZTNGR", "2026-12-07 TNGR", ""}) {
    EXPECT_FALSE(lineStartTime(line).has_value()) << line;
  }
}

TEST(ReceptionTimes, ShapeForReadersThatSeeOneByteAtATime) {
  EXPECT_EQ(utcTimeShape(""), TimeShape::Part);
  EXPECT_EQ(utcTimeShape("2026-1"), TimeShape::Part);
  EXPECT_EQ(utcTimeShape("2026-12-07 03:10:1"), TimeShape::Part);
  EXPECT_EQ(utcTimeShape("2026-12-07T03:10:12."), TimeShape::Part);
  EXPECT_EQ(utcTimeShape("2026-12-07T03:10:12"), TimeShape::Whole);
  EXPECT_EQ(utcTimeShape("2026-12-07T03:10:12.123Z"), TimeShape::Whole);
  EXPECT_EQ(utcTimeShape("2026-12-07T03:10:12Z."), TimeShape::None);
  EXPECT_EQ(utcTimeShape("2026-12-0x"), TimeShape::None);
  EXPECT_EQ(utcTimeShape("T"), TimeShape::None);
}

}  // namespace
}  // namespace quillon
