// SPDX-License-Identifier: GPL-3.0-or-later
// The kept log and the telemetry read back from it for the chart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../filesizelimit.h"
#include "core/check.h"
#include "frames/framelist.h"
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
                               hk + R"({"batteryCurrent":1.4860000000000002}})"};
  for (const std::string& line : lines) other.addLine(line);
  EXPECT_EQ(other.note(), "2 records; 4 malformed lines skipped (lines 3, 5, 6, 7)");
  telemetry.merge(other);
  EXPECT_EQ(telemetry.records() + telemetry.malformed(), 11U);
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
  const std::vector<TelemetryPoint> points = {{10, 5}, {11, 1}, {12, 9}, {13, 7}, {14, 3}, {15, 8}, {16, 4}};
  std::vector<double> kept;
  for (const TelemetryPoint& p : decimate(points, 3)) kept.push_back(p.utcMs);
  EXPECT_EQ(kept, (std::vector<double>{11, 12, 14, 15, 16}));
  EXPECT_EQ(decimate(std::span(points).first(6), 3).size(), 6U) << "two points a bucket or fewer: all drawn";
}

}  // namespace
}  // namespace quillon
