// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/letters.h"

namespace quillon {
namespace {

const stm::ClockReading kReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};

struct Golden {
  std::string name;
  FrameKind kind;
  std::string typed;
  std::string report;  // LF line ends
};

std::string unescape(std::string text) {
  for (std::size_t at = 0; (at = text.find("\\x", at)) != std::string::npos; ++at) {
    text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
  }
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
      goldens.push_back({name, frameRuleNamed(kind)->kind, unescape(typed), ""});
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
  EXPECT_EQ(buildReport(g.kind, g.typed, kReading, LineEnd::Lf), g.report);
  EXPECT_EQ(buildReport(g.kind, g.typed, kReading, LineEnd::CrLf), crlf);
}

INSTANTIATE_TEST_SUITE_P(Data, GoldenReports, ::testing::ValuesIn(readGoldens()),
                         [](const auto& info) { return info.param.name; });

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
    for (const Field& f : decodeFrame(FrameKind::HouseKeeping, toLetters(frame))) {
      appendFieldValue(printed[std::string(f.row->key)], f);
    }
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
