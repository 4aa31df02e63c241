// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <random>

#include "core/csv.h"
#include "core/json.h"
#include "core/letters.h"

namespace quillon {
namespace {

using nlohmann::ordered_json;

std::string number(double value) {
  std::string out;
  appendJsonNumber(out, value);
  return out;
}

TEST(JsonNumber, KeepsTheLogsDigitsAndRoundTrips) {
  // Every value a decoder can give, and the layouts around them: as the log has always had them.
  std::vector<double> values = {0.0, -0.0, 100.0, 1e15, 123456789012345.0, 1e-4, 1e-5, -1.5e-7, 1e100, NAN};
  for (const FrameKind kind : kAllFrames)
    for (const FieldGroupTable& group : frameRule(kind).table->groups)
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
      {"0\xff"
       "0",
       "0\xef\xbf\xbd"
       "0"},
      {"\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},
      {"\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
      {"\xe2\x82", "\xef\xbf\xbd\xef\xbf\xbd"}};
  for (const auto& [text, read] : cases) {
    std::string out;
    appendJsonString(out, text);
    EXPECT_EQ(ordered_json::parse(out), read) << out;
  }
}

TEST(JsonRecord, NestsTheCombinedFrameAndListsWhatIsNotAnalysed) {
  std::string out = "x";
  appendJsonRecord(out, FrameKind::SatellitePda, "xxxxxxxx8A5C3E1F", "U", "L",
                   decodeFrame(FrameKind::SatellitePda, toLetters("xxxxxxxx8A5C3E1F")));
  const ordered_json record = ordered_json::parse(out.substr(1));
  EXPECT_EQ(record.dump().substr(0, 65),
            R"({"kind":"satpda","data":"xxxxxxxx8A5C3E1F","utc":"U","local":"L",)");
  EXPECT_EQ(record["satellite"]["fields"], ordered_json::object());
  EXPECT_EQ(record["satellite"]["notAnalyzed"].size(), 18u);
  EXPECT_EQ(record["pda"]["fields"].size(), 19u);
  EXPECT_EQ(record["pda"]["fields"]["pdaNumber"], 3);
  EXPECT_EQ(record["pda"]["fields"]["apdFileMode"], "writting");
  EXPECT_EQ(record["pda"]["notAnalyzed"], ordered_json::array());
  EXPECT_EQ(record.size(), 6u);
}

TEST(Csv, HeaderCellsAndRows) {
  std::string out;
  appendCsvHeader(out, FrameKind::SatellitePda);
  EXPECT_EQ(out.substr(0, 31), "utc,local,data,satellite.fm,sat");
  EXPECT_NE(out.find(",satellite.fmPacketInterval,pda.wdtStatus,"), std::string::npos);
  EXPECT_TRUE(out.ends_with(",pda.sunSensor5\r\n"));
  out.clear();
  for (const char* cell : {"plain", "=1+2", "a,b", "a\"b", "a\r\nb", ""})
    (appendCsvCell(out, cell), out += '|');
  EXPECT_EQ(out, "plain|=1+2|\"a,b\"|\"a\"\"b\"|\"a\r\nb\"||");
  out.clear();
  appendCsvRow(out, "U", "L", "x,",
               decodeFrame(FrameKind::HouseKeeping, toLetters("89D0xx6820x72FxxA7Ax1F")));
  EXPECT_EQ(out.substr(0, 50), "U,L,\"x,\",3.3094901960784315,5.024627450980392,,3.7");
  EXPECT_NE(out.find(",FLIGHT,turned off,active,inactive,folded,turned off,DIGI off,,22.9"),
            std::string::npos);
  EXPECT_TRUE(out.ends_with(",turned on\r\n"));
  out.clear();
  appendCsvRow(out, "U", "L", "d", decodeFrame(FrameKind::Pda, toLetters("8A5C3E1F")));
  EXPECT_EQ(out.substr(0, 25), "U,L,d,enable,3,synchroniz");
}

}  // namespace
}  // namespace quillon
