// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <random>

#include "core/csv.h"
#include "core/json.h"
#include "frames/framelist.h"

namespace quillon {
namespace {

using nlohmann::ordered_json;

std::string number(double value) {
  std::string out;
  appendJsonNumber(out, value);
  return out;
}

TEST(JsonNumber, KeepsTheLogsDigitsAndRoundTrips) {
  // Every value a decoder can give, and the layouts around them, as every record in the logs has them.
  std::vector<double> values = {0.0, -0.0, 100.0, 1e15, 123456789012345.0, 1e-4, 1e-5, -1.5e-7, 1e100, NAN};
  for (const FrameRule* frame : allFrames())
    for (const FieldGroup& group : frame->groups)
      for (const FieldRow& row : group.rows)
        for (std::uint32_t raw = 0; row.formula != nullptr && raw >> row.bits.width == 0; ++raw)
          values.push_back(row.formula(raw));
  for (const double value : values) EXPECT_EQ(number(value), ordered_json(value).dump()) << value;
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(std::strtod(number(value).c_str(), nullptr), value) << number(value);
  }
}

TEST(JsonString, AlwaysValidJson) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\"b\\c/", "a\"b\\c/"},
      {"\t\n\x01\x1f\x7f", "\t\n\x01\x1f\x7f"},
      {"12345678\"\x01" "9abcdefgh\\", "12345678\"\x01" "9abcdefgh\\"},
      {"\xc3\xa9\xf0\x9f\x9b\xb0", "\xc3\xa9\xf0\x9f\x9b\xb0"},
      {"0\xff\x30", "0\xef\xbf\xbd\x30"},
      {"\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},
      {"\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
      {"\xe2\x82", "\xef\xbf\xbd\xef\xbf\xbd"}};
  for (const auto& [text, read] : cases) {
    std::string out;
    appendJsonString(out, text);
    EXPECT_EQ(ordered_json::parse(out), read) << out;
  }
}

TEST(Csv, CellsAreQuotedOnlyWhenTheyMustBe) {
  std::string out;
  for (const char* cell : {"plain", "=1+2", "a,b", "a\"b", "a\r\nb", ""}) (appendCsvCell(out, cell), out += '|');
  EXPECT_EQ(out, "plain|=1+2|\"a,b\"|\"a\"\"b\"|\"a\r\nb\"||");
}

}  // namespace
}  // namespace quillon
