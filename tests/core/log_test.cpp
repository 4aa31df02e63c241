// SPDX-License-Identifier: GPL-3.0-or-later
// The kept log, the telemetry read back from it for the chart, and the chart's ticks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "../filesizelimit.h"
#include "core/check.h"
#include "frames/framelist.h"
#include "log/chartaxes.h"
#include "log/logwriter.h"
#include "log/telemetry.h"

namespace quillon {
namespace {

TEST(TelemetryLog, RecordsGoToTheLogAndBackIntoSeries) {
  const stm::ClockReading reading{{2009, 7, 1, 8, 5, 9, 42}, {2009, 6, 30, 23, 5, 9, 42}};
  const auto texts = checkTexts(*frameNamed("hk"), "89D0xx6820x72FxxA7Ax1F", reading, LineEnd::Lf);
  const std::string path = testing::TempDir() + "quillon_log/" + std::string(kLogFileName);
  std::filesystem::remove(path);
  ASSERT_EQ(appendLogLine(path, texts->record), "");
  {
    FileSizeLimit nearlyFull(std::filesystem::file_size(path) + 100);  // a torn line 2
    EXPECT_EQ(appendLogLine(path, texts->record), "only 100 of " + std::to_string(texts->record.size()) + " bytes written");
  }
  ASSERT_EQ(appendLogLine(path, texts->record), "");
  std::ofstream(path, std::ios::app) << "{\"kind\":\"hk\"";  // line 4 lost its line end
  ASSERT_EQ(appendLogLine(path, texts->record), "");

  Telemetry telemetry, other, stopped;
  EXPECT_EQ(telemetry.readFile(path), "");
  EXPECT_EQ(telemetry.note(), "3 records; 2 malformed lines skipped (lines 2, 4)");
  stopped.readFile(path, [n = 0]() mutable { return ++n > 3; });
  EXPECT_EQ(stopped.records() + stopped.malformed(), 3U);
  // Values a field's bits cannot give are no record, nor is any value of their line:
  // voltage33V is 0 to 6.16 V, batteryCurrent -1.60324 to 1.486 A.
  const std::string hk = R"({"kind":"hk","utc":"2009-06-30T23:05:10.000Z","fields":)";
  const std::string lines[] = {"", R"({"kind":"sat","utc":"2009-06-30T23:05:10.000Z"})", "[1]",
                               hk + R"({"voltage33V":0.0,"batteryCurrent":1.486}})", hk + R"({"voltage33V":1e308}})",
                               hk + R"({"voltage33V":-0.001,"batteryCurrent":1.0}})",
                               hk + R"({"batteryCurrent":1.4860000000000002}})", R"({"kind":"zz","data":"12"})",
                               R"({"data":"12"})"};
  for (const std::string& line : lines) other.addLine(line);
  EXPECT_EQ(other.note(), "2 records; 6 malformed lines skipped (lines 3, 5, 6, 7, 8, ...)");
  telemetry.merge(other);
  EXPECT_EQ(telemetry.records() + telemetry.malformed(), 13U);
  const TelemetrySeries& mainBus = telemetry.series()[3];
  EXPECT_EQ(pointText(mainBus, mainBus.points.at(0)), "3.768 [V] at 2009/06/30 23:05:09:042 UTC");
  // Battery voltage was not copied; battery current comes from line 4 of the other alone.
  EXPECT_EQ(std::pair(telemetry.series()[2].points.size(), telemetry.series()[6].points.size()), std::pair(0UL, 1UL));
}

TEST(TelemetryLog, TimesAndDecimation) {
  EXPECT_EQ(isoUtcMilliseconds("1970-01-02T00:00:01.500Z"), 86401500.0);
  for (const char* bad : {"1970-02-30T00:00:01.500Z", "1970-01-02 00:00:01.500Z", "1970-01-02T00:00:01.5Z",
                          "1970-01-02T00:60:01.500Z", "1899-12-31T23:59:59.999Z", "2101-01-01T00:00:00.000Z"})
    EXPECT_FALSE(isoUtcMilliseconds(bad)) << bad;
  // Three buckets over t = 10..16: {10, 11, 12}, {13, 14, 15}, {16}. Each keeps its lowest and
  // its highest point, in time order.
  const std::vector<TelemetryPoint> points = {{10, 0}, {11, 1}, {12, 9}, {13, 7}, {14, 3}, {15, 8}, {16, 4}};
  std::vector<double> kept;
  for (const TelemetryPoint& p : decimate(points, 3)) kept.push_back(p.utcMs);
  EXPECT_EQ(kept, (std::vector<double>{10, 12, 14, 15, 16}));
  EXPECT_EQ(decimate(std::span(points).first(6), 3).size(), 6U) << "two points a bucket or fewer: all drawn";
}

const TelemetrySeries& seriesOf(const Telemetry& telemetry, std::string_view key) {
  for (const TelemetrySeries& series : telemetry.series()) {
    if (series.row->key == key) return series;
  }
  throw std::out_of_range(std::string(key));
}

TEST(TelemetryLog, EveryNumericFieldChartsOnceOnTheAxisOfItsUnit) {
  std::vector<std::tuple<std::string, std::string, std::size_t>> all;  // name, unit, frames
  const Telemetry fresh;
  for (const TelemetrySeries& s : fresh.series()) all.emplace_back(s.name(), s.unit, s.frames.size());
  const decltype(all) expected = {{"voltage of 3.3V system [V]", "[V]", 1},
                                  {"voltage of 5V system [V]", "[V]", 1},
                                  {"voltage of battery [V]", "[V]", 1},
                                  {"voltage of main bus [V]", "[V]", 1},
                                  {"temperature of communication board ['C]", "['C]", 1},
                                  {"temperature of battery ['C]", "['C]", 1},
                                  {"current of battery [A]", "[A]", 1},
                                  {"S meter of 144MHz [V]", "[V]", 1},
                                  {"S meter of 1.2GHz [V]", "[V]", 1},
                                  {"the number of pictures", "count", 2},
                                  {"FM packet frame number", "count", 2},
                                  {"FM packet interval(sec)", "[sec]", 2},
                                  {"PDA number", "count", 2},
                                  {"log file freq(sec)", "[sec]", 2},
                                  {"APD sample freq(sec)", "[sec]", 2}};
  EXPECT_EQ(all, expected);

  // A word's fields are one series whether the record held the word alone or both words;
  // a count is one of its table's values, nowhere else than in its word.
  const stm::ClockReading reading{{2009, 7, 1, 8, 5, 9, 42}, {2009, 6, 30, 23, 5, 9, 42}};
  Telemetry telemetry;
  telemetry.addLine(checkTexts(*frameNamed("sat"), "8A5C3E1F", reading, LineEnd::Lf)->record);
  telemetry.addLine(checkTexts(*frameNamed("satpda"), "8A5C3E1Fxxxxxxxx", reading, LineEnd::Lf)->record);
  const std::string head = R"({"kind":"satpda","utc":"2009-06-30T23:05:10.000Z",)";
  for (const char* line :
       {R"("satellite":{"fields":{"numberOfPictures":63}},"fields":{"pdaNumber":1}})",
        R"("pda":{"fields":{"logFileFreq":240,"pdaNumber":3}},"pdaNumber":2})",
        R"("satellite":{"fields":{"fmPacketInterval":4}}})", R"("pda":{"fields":{"pdaNumber":2.5}}})",
        R"("satellite":{"fields":{"numberOfPictures":64}}})"})
    telemetry.addLine(head + line);
  EXPECT_EQ(telemetry.note(), "4 records; 3 malformed lines skipped (lines 5, 6, 7)");
  const auto values = [&](std::string_view key) {
    std::vector<double> out;
    for (const TelemetryPoint& p : seriesOf(telemetry, key).points) out.push_back(p.value);
    return out;
  };
  EXPECT_EQ(values("numberOfPictures"), (std::vector<double>{15, 15, 63}));
  EXPECT_EQ(values("fmPacketInterval"), (std::vector<double>{10, 10}));
  EXPECT_EQ(values("pdaNumber"), (std::vector<double>{3}));
  EXPECT_EQ(values("logFileFreq"), (std::vector<double>{240}));
  EXPECT_EQ(pointText(seriesOf(telemetry, "logFileFreq"), {0, 240}), "240 at 1970/01/01 00:00:00:000 UTC");
}

TEST(TelemetryLog, SourcesReplaceAFileReadAgainAndCountACheckOnce) {
  const stm::ClockReading reading{{2009, 7, 1, 8, 5, 9, 42}, {2009, 6, 30, 23, 5, 9, 42}};
  const std::string hk =
      checkTexts(*frameNamed("hk"), "89D0A76820472FBCA7A01F", reading, LineEnd::Lf)->record;
  const std::string blank = checkTexts(*frameNamed("hk"), std::string(22, 'x'), reading, LineEnd::Lf)->record;
  const std::string path = testing::TempDir() + "sources.jsonl";
  std::ofstream(path) << hk;
  TelemetrySources sources;
  const auto read = [&] {
    Telemetry telemetry;
    telemetry.readFile(path);
    sources.setFile(path, telemetry);
  };
  read();
  read();
  sources.addCheck(blank);  // a check, logged in the file read again below
  sources.addCheck(hk);     // a file read already holds it
  EXPECT_EQ(sources.note(), "sources.jsonl: 1 record\nnew checks: 1 record, none with a value to plot");
  EXPECT_EQ(seriesOf(sources.all(), "voltage33V").points.size(), 1U);
  EXPECT_EQ(noPointsReason(seriesOf(sources.all(), "numberOfPictures")),
            "no Satellite Status or Sat. + PDA Status record yet");
  std::ofstream(path, std::ios::app) << blank;
  read();
  sources.setFile("/elsewhere/empty.jsonl", Telemetry(), "Permission denied");
  EXPECT_EQ(sources.note(), "sources.jsonl: 2 records\nempty.jsonl: not read (Permission denied)");
  EXPECT_EQ(sources.all().records(), 2U);
  EXPECT_EQ(noPointsReason(seriesOf(sources.all(), "batteryVoltage")),
            "not analyzed in any of its 2 records");
  Telemetry none;
  none.addLine("");
  none.addLine(blank);
  EXPECT_EQ(std::pair(none.note(), noPointsReason(seriesOf(none, "voltage33V"))),
            std::pair(std::string("1 record, none with a value to plot"),
                      std::string("not analyzed in its one record")));
  EXPECT_EQ(Telemetry().note(), "no records");
}

TEST(ChartAxes, RoundValueTicksHoldTheValues) {
  struct Case {
    double low, high;
    int steps;
    bool whole;
    ValueScale scale;
  };
  for (const Case& c :
       std::vector<Case>{{3.67, 4.08, 8, false, {3.6, 4.1, 0.1, 1}},
                         {3.3, 3.3, 5, false, {3.26, 3.34, 0.02, 2}},  // one value: widened around it
                         {0, 0, 5, false, {-1, 1, 0.5, 1}},
                         {15, 15, 5, true, {14, 16, 1, 0}},
                         {0, 3, 8, true, {0, 3, 1, 0}},         // counts never tick between whole numbers
                         {0.5, 10.5, 5, false, {0, 15, 5, 0}},  // 2 would take 6 steps from 0 to 12
                         {-0.8, -0.78, 8, false, {-0.8, -0.78, 0.005, 3}},
                         {55.8, 100.4, 8, false, {50, 110, 10, 0}}}) {
    const ValueScale s = roundScale(c.low, c.high, c.steps, c.whole);
    const auto near = [](double a, double b) { return std::abs(a - b) < 1e-9; };
    EXPECT_TRUE(near(s.low, c.scale.low) && near(s.high, c.scale.high) && near(s.step, c.scale.step) &&
                s.decimals == c.scale.decimals)
        << c.low << ".." << c.high << ": " << s.low << ".." << s.high << " step " << s.step << " "
        << s.decimals;
  }
  const ValueScale zoomed = roundStepWithin(3.28605, 3.33395, 8, false);
  EXPECT_EQ(std::tuple(zoomed.low, zoomed.high, zoomed.step, zoomed.decimals),
            std::tuple(3.28605, 3.33395, 0.01, 2));
}

TEST(ChartAxes, TimeTicksOnRoundTimesNeverCrowdTheirLabels) {
  const auto ms = [](const char* iso) { return *isoUtcMilliseconds(iso); };
  // Each case: the span, the axis's width, whether seconds show, and the ticks between.
  // clang-format off
  const std::vector<std::tuple<const char*, const char*, double, bool, std::vector<std::string>>> cases = {
      {"2009-06-29T14:00:00.000Z", "2009-06-30T14:05:09.000Z", 460, false, {"2009/06/30 00:00:00", "2009/06/30 06:00:00"}},
      {"2009-06-29T14:00:00.000Z", "2009-06-30T14:05:09.000Z", 250, false, {}},
      {"2009-06-29T14:00:10.500Z", "2009-06-29T14:02:10.500Z", 700, true,
       {"2009/06/29 14:00:30", "2009/06/29 14:01:00", "2009/06/29 14:01:30"}},
      {"2009-06-03T14:00:00.000Z", "2009-07-03T14:00:00.000Z", 700, false,
       {"2009/06/11 00:00:00", "2009/06/16 00:00:00", "2009/06/21 00:00:00", "2009/06/26 00:00:00"}},
      {"2009-06-03T14:00:00.000Z", "2009-08-20T14:00:00.000Z", 700, false,
       {"2009/06/16 00:00:00", "2009/07/01 00:00:00", "2009/07/16 00:00:00", "2009/08/01 00:00:00"}},
      {"2009-06-29T14:00:00.000Z", "2009-06-29T14:00:10.000Z", 700, true,
       {"2009/06/29 14:00:02", "2009/06/29 14:00:04", "2009/06/29 14:00:06", "2009/06/29 14:00:08"}},
      {"1969-06-03T14:00:00.000Z", "1979-08-20T14:00:00.000Z", 700, false,
       {"1972/01/01 00:00:00", "1974/01/01 00:00:00", "1976/01/01 00:00:00", "1978/01/01 00:00:00"}}};
  // clang-format on
  for (const auto& [first, last, width, seconds, expected] : cases) {
    const TimeTicks ticks = timeTicks(ms(first), ms(last), width, 85);
    std::vector<std::string> between;
    for (std::size_t i = 1; i + 1 < ticks.at.size(); ++i) between.push_back(utcTimeText(ticks.at[i], 2));
    EXPECT_EQ(std::pair(between, ticks.seconds), std::pair(expected, seconds)) << first << " " << width;
  }
  // Over any span and width: the start and the end, labels a label apart, and no more of
  // them than the axis's equal shares can hold.
  for (const double span : {2e3, 7e4, 9e6, 3e8, 5e9, 2e11, 6e12}) {
    for (double width = 100; width < 2500; width += 13) {
      const TimeTicks ticks = timeTicks(1.2e12, 1.2e12 + span, width, 85);
      ASSERT_GE(ticks.at.size(), 2U);
      EXPECT_EQ(std::pair(ticks.at.front(), ticks.at.back()), std::pair(1.2e12, 1.2e12 + span));
      EXPECT_TRUE(ticks.at.size() == 2 || (static_cast<double>(ticks.at.size()) + 1) * 85 <= width)
          << span << " " << width;
      for (std::size_t i = 1; i < ticks.at.size(); ++i)
        ASSERT_GE((ticks.at[i] - ticks.at[i - 1]) / span * width, 85) << span << " " << width << " " << i;
    }
  }
  EXPECT_EQ(timeTickText(ms("2009-06-30T14:05:09.042Z"), false), "2009/06/30\n14:05");
  EXPECT_EQ(timeTickText(ms("2009-06-30T14:05:09.042Z"), true), "2009/06/30\n14:05:09");
}

}  // namespace
}  // namespace quillon
