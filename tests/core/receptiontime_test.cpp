// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/receptiontime.h"

#include <gtest/gtest.h>

#include <fstream>

namespace quillon {
namespace {

TEST(ReceptionTimes, RealUtcInstantsOnlyAndAtTheStartOfALine) {
  std::ifstream in(QUILLON_TEST_DATA "/reception_times.txt");
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('#')) continue;
    const std::size_t utc = line.find(" | ") + 3;
    const std::size_t bytes = line.find(" | ", utc) + 3;
    const std::string text = line.substr(0, utc - 3);
    const auto time = parseUtcTime(text);
    EXPECT_EQ(time ? stm::isoUtcText(*time) : "none", line.substr(utc, bytes - 3 - utc)) << line;
    const auto start = lineStartTime(text);
    EXPECT_EQ(start ? std::to_string(start->bytes) : "none", line.substr(bytes)) << line;
    if (start && time) EXPECT_EQ(start->utc, *time) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 35);
}

}  // namespace
}  // namespace quillon
