// SPDX-License-Identifier: GPL-3.0-or-later
// The one check: golden reports byte for byte, the record and the CSV row, and a check
// reused for many frames writing what a fresh one writes.
#include "core/check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "frames/framelist.h"
#include "frames/housekeeping.h"
#include "frames/statuswords.h"

namespace quillon {
namespace {

const stm::ClockReading kReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};

struct Golden {
  std::string name;
  const FrameRule* frame;
  std::string typed;
  std::string report;  // LF line ends
};

std::string unescape(std::string text) {
  for (std::size_t at = 0; (at = text.find("\\x", at)) != std::string::npos; ++at)
    text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
  return text;
}

std::vector<Golden> readGoldens() {
  std::ifstream in(QUILLON_TEST_DATA "/reports.txt");
  std::vector<Golden> goldens;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("== ")) {
      std::istringstream words(line.substr(3));
      std::string name, kind, typed;
      words >> name >> kind >> typed;
      goldens.push_back({name, frameNamed(kind), unescape(typed), ""});
    } else if (!line.starts_with("#")) {
      goldens.back().report += line + "\n";
    }
  }
  return goldens;
}

void PrintTo(const Golden& g, std::ostream* os) { *os << g.name; }

class GoldenReports : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenReports, MatchByteForByteWithEitherLineEnd) {
  const Golden& g = GetParam();
  std::string crlf;
  for (const char c : g.report) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(checkTexts(*g.frame, g.typed, kReading, LineEnd::Lf)->report, g.report);
  EXPECT_EQ(checkTexts(*g.frame, g.typed, kReading, LineEnd::CrLf)->report, crlf);
}

INSTANTIATE_TEST_SUITE_P(Data, GoldenReports, ::testing::ValuesIn(readGoldens()),
                         [](const auto& info) { return info.param.name; });

// What one check writes in every form, at one reading.
std::string everyForm(Check& check, const stm::ClockReading& reading) {
  std::string out;
  check.appendReport(out, reading, LineEnd::Lf);
  check.appendReport(out, reading, LineEnd::CrLf);
  check.appendRecord(out, reading, R"("source":"x")");
  check.appendCsvRow(out, reading);
  return out;
}

// A check reused for every golden frame, again and again and at other readings, writes
// exactly what a fresh check writes: the texts it keeps are always the right ones.
TEST(Check, ReusedWritesWhatAFreshCheckWrites) {
  std::map<const FrameRule*, Check> reused;
  stm::ClockReading reading = kReading;
  for (int round = 0; round < 3; ++round) {
    for (const Golden& g : readGoldens()) {
      Check fresh(*g.frame);
      Check& kept = reused.try_emplace(g.frame, *g.frame).first->second;
      ASSERT_TRUE(fresh.decode(g.typed) && kept.decode(g.typed));
      EXPECT_EQ(everyForm(kept, reading), everyForm(fresh, reading)) << g.name;
      // A new second, or only a new zone.
      (g.typed.size() % 2 ? reading.utc.second : reading.local.hour) = round * 7 + static_cast<int>(g.typed.size()) % 5;
    }
  }
  EXPECT_FALSE(reused.at(&kPdaFrame).decode("8A5C3E1"));
  EXPECT_TRUE(reused.at(&kPdaFrame).fields().empty() && reused.at(&kPdaFrame).shown().empty());
}

TEST(Check, RecordNestsTheWordsOfAFrameAndListsWhatIsNotAnalysed) {
  const auto texts = checkTexts(kSatellitePdaFrame, "xxxxxxxx8A5C3E1F", kReading, LineEnd::Lf, R"("more":1)");
  ASSERT_TRUE(texts && texts->record.ends_with("}\n"));
  const auto record = nlohmann::ordered_json::parse(texts->record);
  EXPECT_TRUE(record.dump().starts_with(R"({"kind":"satpda","data":"xxxxxxxx8A5C3E1F","utc":"2009-06-30T14:05:09.042Z",)"
                                        R"("local":"2009-06-30T23:05:09.042+09:00",)"));
  EXPECT_EQ(record["satellite"]["fields"], nlohmann::ordered_json::object());
  EXPECT_EQ(record["satellite"]["notAnalyzed"].size(), 18u);
  EXPECT_EQ(record["pda"]["fields"].size(), 19u);
  EXPECT_EQ(record["pda"]["fields"]["pdaNumber"], 3);
  EXPECT_EQ(record["pda"]["fields"]["apdFileMode"], "writting");
  EXPECT_EQ(record["pda"]["notAnalyzed"], nlohmann::ordered_json::array());
  EXPECT_EQ(record["more"], 1);
  EXPECT_EQ(record.size(), 7u);
  const auto hk = nlohmann::ordered_json::parse(checkTexts(kHouseKeepingFrame, "89D0xx6820x72FxxA7Ax1F", kReading,
                                                           LineEnd::Lf)->record);
  EXPECT_EQ(hk["notAnalyzed"].dump(), R"(["batteryVoltage","commBoardTemperature","batteryCurrent","sMeter1_2GHz"])");
  EXPECT_EQ(hk["fields"]["voltage33V"], 3.3094901960784315);
}

TEST(Check, CsvHeaderAndRows) {
  Check both(kSatellitePdaFrame);
  std::string out;
  both.appendCsvHeader(out);
  EXPECT_EQ(out.substr(0, 31), "utc,local,data,satellite.fm,sat");
  EXPECT_NE(out.find(",satellite.fmPacketInterval,pda.wdtStatus,"), std::string::npos);
  EXPECT_TRUE(out.ends_with(",pda.sunSensor5\r\n"));
  Check hk(kHouseKeepingFrame);
  ASSERT_TRUE(hk.decode("89D0xx6820x72FxxA7Ax1,"));
  out.clear();
  hk.appendCsvRow(out, kReading);
  EXPECT_TRUE(out.starts_with("2009-06-30T14:05:09.042Z,2009-06-30T23:05:09.042+09:00,\"89D0xx6820x72FxxA7Ax1,\","
                              "3.3094901960784315,"));
  EXPECT_NE(out.find(",FLIGHT,turned off,active,inactive,folded,turned off,DIGI off,,22.9"), std::string::npos);
  EXPECT_TRUE(out.ends_with(",,,,,,,,\r\n")) << "an invalid power letter: every power cell empty";
  Check pda(kPdaFrame);
  ASSERT_TRUE(pda.decode("8A5C3E1F"));
  out.clear();
  pda.appendCsvRow(out, kReading);
  EXPECT_EQ(out.substr(out.find(",8A5C3E1F,"), 29), ",8A5C3E1F,enable,3,synchroniz");
}

// Every raw byte of every engineering field prints the digits of its formula evaluated
// left to right in IEEE double (reference computed independently, one line per byte).
TEST(Reports, EveryRawByteOfEveryEngineeringFieldPrintsTheReferenceDigits) {
  std::ifstream in(QUILLON_TEST_DATA "/engineering_values.txt");
  ASSERT_TRUE(in) << "reference table missing";
  std::string header;
  std::getline(in, header);
  std::vector<std::string> keys;
  std::istringstream names(header.substr(header.find("raw") + 3));
  for (std::string key; names >> key;) keys.push_back(key);
  int rows = 0;
  for (std::string line; std::getline(in, line); ++rows) {
    std::istringstream fields(line);
    int raw = 0;
    fields >> raw;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", raw);
    std::string frame;
    for (int k = 0; k < 11; ++k) frame += hex;  // the same byte in every slot
    std::map<std::string, std::string> printed;
    for (const Field& f : decodeFrame(kHouseKeepingFrame, toLetters(frame)))
      appendFieldValue(printed[std::string(f.row->key)], f);
    for (const std::string& key : keys) {
      std::string expected;
      fields >> expected;
      EXPECT_EQ(printed.at(key), expected) << key << " raw " << raw;
    }
  }
  EXPECT_EQ(rows, 256);
  EXPECT_EQ(keys.size(), 9u);
}

}  // namespace
}  // namespace quillon
