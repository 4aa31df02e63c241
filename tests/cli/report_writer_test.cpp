#include "cli/report_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/letters.h"
#include "test_clock.h"

namespace quillon::cli {
namespace {

using nlohmann::json;
using test::kReading;

std::string crlfToLf(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") != 0) out += text[i];
  }
  return out;
}

struct FrameCase {
  FrameKind kind;
  std::string typed;
};

// The worked examples of every frame, not-copied letters, invalid letters and bytes.
const FrameCase kFrames[] = {
    {FrameKind::HouseKeeping, "89D0A76820472FBCA7A01F"},
    {FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F"},
    {FrameKind::HouseKeeping, "89D0A76820472FBCA7A01 "},
    {FrameKind::HouseKeeping, "89D0A76820472FBCA7A01\xff"},
    {FrameKind::Satellite, "00000000"},
    {FrameKind::Satellite, "1234x678"},
    {FrameKind::Pda, "8A5C3E1F"},
    {FrameKind::Pda, "D2B9E6f1"},
    {FrameKind::SatellitePda, "000000008A5C3E1F"},
    {FrameKind::SatellitePda, "xxxxxxxx8A5C3E1F"},
    {FrameKind::SatellitePda, "0000000G8A5C3E1F"},
    {FrameKind::SatellitePda,
     "0000000\xc3\xa9"
     "8A5C3E1F"},
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << frameRule(c.kind).name << " " << c.typed; }

class TextReportTest : public testing::TestWithParam<FrameCase> {};

TEST_P(TextReportTest, IsTheDialogsReport) {
  const auto& [kind, typed] = GetParam();
  const auto expected = buildReport(kind, typed, kReading, LineEnd::CrLf);
  ASSERT_TRUE(expected);
  for (const OutputForm form : {OutputForm::TextCrLf, OutputForm::Text}) {
    ReportWriter writer(kind, form, stm::fixedClock(kReading));
    std::string out = "earlier\n";
    ASSERT_TRUE(writer.append(typed, out));
    ASSERT_TRUE(writer.append(typed, out));  // the second report reuses the header
    const std::string once = form == OutputForm::TextCrLf ? *expected : crlfToLf(*expected);
    EXPECT_EQ(out, "earlier\n" + once + once);
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, TextReportTest, testing::ValuesIn(kFrames));

TEST(TextReport, HeaderCarriesTimesAndVisibleReplacement) {
  ReportWriter writer(FrameKind::Satellite, OutputForm::Text, stm::fixedClock(kReading));
  std::string out;
  ASSERT_TRUE(writer.append("0000000\x80", out));
  EXPECT_EQ(out.substr(0, out.find("\n\n") + 2),
            "Tanager Satellite Status\nUTC : 2026/12/06 18:25:28:123\n"
            "LocalTime : 2026/12/06 19:25:28:123\nData = 0000000\xef\xbf\xbd\n\n");
}

TEST(TextReport, EachReadingGetsItsOwnTimes) {
  int calls = 0;
  ReportWriter writer(FrameKind::Pda, OutputForm::Text, [&] {
    stm::ClockReading r = kReading;
    r.utc.millisecond = r.local.millisecond = 100 + calls++ / 2;  // two frames a millisecond
    return r;
  });
  std::string out;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.append("8A5C3E1F", out));
  const auto count = [&](std::string_view stamp) {
    int n = 0;
    for (auto at = out.find(stamp); at != std::string::npos; at = out.find(stamp, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("UTC : 2026/12/06 18:25:28:100\n"), 2);
  EXPECT_EQ(count("UTC : 2026/12/06 18:25:28:101\n"), 1);
  EXPECT_EQ(count("LocalTime : 2026/12/06 19:25:28:101\n"), 1);
}

TEST(Report, ClockOutsideTheDateLibrarysYearsStillGivesReports) {
  // The Julian Date cannot be computed for 2150; the reports need only the times.
  const stm::ClockReading future{{2150, 1, 2, 3, 4, 5, 6}, {2150, 1, 2, 3, 4, 5, 6}};
  for (const OutputForm form : {OutputForm::Text, OutputForm::Json}) {
    ReportWriter writer(FrameKind::Satellite, form, stm::fixedClock(future));
    std::string out;
    ASSERT_TRUE(writer.append("00000000", out));
    EXPECT_NE(
        out.find(form == OutputForm::Json ? "2150-01-02T03:04:05.006Z" : "UTC : 2150/01/02 03:04:05:006"),
        std::string::npos);
  }
}

TEST(Report, WrongLengthAppendsNothing) {
  for (const FrameKind kind : kAllFrames) {
    for (const OutputForm form : {OutputForm::Text, OutputForm::TextCrLf, OutputForm::Json}) {
      ReportWriter writer(kind, form, stm::fixedClock(kReading));
      const std::size_t n = frameRule(kind).letters;
      for (const std::string& typed : {std::string(), std::string(n - 1, '0'), std::string(n + 1, '0'),
                                       std::string(n - 1, '0') + "\xc3\xa9" + "0"}) {
        std::string out = "kept";
        EXPECT_FALSE(writer.append(typed, out)) << frameRule(kind).name << " " << typed.size();
        EXPECT_EQ(out, "kept");
      }
    }
  }
}

json jsonReport(FrameKind kind, std::string_view typed) {
  ReportWriter writer(kind, OutputForm::Json, stm::fixedClock(kReading));
  std::string out;
  EXPECT_TRUE(writer.append(typed, out));
  EXPECT_EQ(out.find('\n'), out.size() - 1) << "one line, ended by LF";
  return json::parse(out);
}

TEST(JsonReport, NotAnalyzedFieldsAreListedNotValued) {
  const json report = jsonReport(FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F");
  EXPECT_EQ(report["notAnalyzed"],
            json({"batteryVoltage", "commBoardTemperature", "batteryCurrent", "sMeter1_2GHz"}));
  for (const auto& key : report["notAnalyzed"]) EXPECT_FALSE(report["fields"].contains(key));
  EXPECT_EQ(report["fields"].size(), 20u);
}

TEST(JsonReport, CombinedFrameNestsBothWords) {
  const json report = jsonReport(FrameKind::SatellitePda, "xxxxxxxx8A5C3E1F");
  EXPECT_EQ(report["kind"], "satpda");
  EXPECT_EQ(report["utc"], "2026-12-06T18:25:28.123Z");
  EXPECT_EQ(report["local"], "2026-12-06T19:25:28.123+01:00");
  EXPECT_FALSE(report.contains("fields"));
  EXPECT_EQ(report["satellite"]["fields"], json::object());
  EXPECT_EQ(report["satellite"]["notAnalyzed"].size(), 18u);
  const json& pda = report["pda"]["fields"];
  EXPECT_EQ(pda.size(), 19u);
  EXPECT_EQ(pda["pdaNumber"], 3);
  EXPECT_TRUE(pda["logFileFreq"].is_number_integer());
  EXPECT_EQ(pda["logFileFreq"], 240);
  EXPECT_EQ(pda["apdSampleFreq"], 600);
  EXPECT_EQ(pda["apdFileMode"], "writting");
  EXPECT_EQ(report["pda"]["notAnalyzed"], json::array());
}

TEST(JsonReport, DataStaysValidAndVisible) {
  // Quotes, a backslash, a control character and invalid bytes: escaped or replaced,
  // one letter each, none dropped.
  const std::string typed =
      "\"\\\t\x1b\xff\xfe"
      "00";
  const json report = jsonReport(FrameKind::Pda, typed);
  EXPECT_EQ(report["data"],
            "\"\\\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"
            "00");
  EXPECT_EQ(report["fields"], json::object());
  EXPECT_EQ(report["notAnalyzed"].size(), 19u);
}

}  // namespace
}  // namespace quillon::cli
