// SPDX-License-Identifier: GPL-3.0-or-later
// The kept log and the telemetry read back from it for the chart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
  ASSERT_EQ(appendLogLine(path, "{\"kind\":\"hk\", broken\n"), "");
  EXPECT_NE(appendLogLine("/dev/full", texts->record), "");

  std::ifstream log(path);
  std::istringstream more("\n{\"kind\":\"sat\",\"utc\":\"2009-06-30T23:05:10.000Z\"}\n[1]\n");
  Telemetry telemetry, other;
  telemetry.read(log);
  other.read(more);
  EXPECT_EQ(telemetry.note(), "1 record; 1 malformed line skipped (line 2)");
  EXPECT_EQ(other.note(), "1 record; 1 malformed line skipped (line 3)");
  telemetry.merge(other);
  EXPECT_EQ(telemetry.records() + telemetry.malformed(), 4U);
  const TelemetrySeries& mainBus = telemetry.series()[3];
  EXPECT_EQ(pointText(mainBus, mainBus.points.at(0)), "3.768 [V] at 2009/06/30 23:05:09:042 UTC");
  EXPECT_EQ(telemetry.series()[2].points.size(), 0U);  // battery voltage was not copied
}

TEST(TelemetryLog, TimesAndDecimation) {
  EXPECT_EQ(isoUtcMilliseconds("1970-01-02T00:00:01.500Z"), 86401500.0);
  for (const char* bad : {"1970-02-30T00:00:01.500Z", "1970-01-02 00:00:01.500Z", "1970-01-02T00:00:01.5Z",
                          "1970-01-02T00:60:01.500Z"})
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
