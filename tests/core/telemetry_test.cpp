// SPDX-License-Identifier: GPL-3.0-or-later
// The live letter hint, the log record and the telemetry read back from logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/hint.h"
#include "core/telemetry_log.h"

namespace quillon {
namespace {
// clang-format off

struct HintCase {
  const char *name, *typed, *line;
  FrameKind kind;
  bool warns;
};

class HintTest : public testing::TestWithParam<HintCase> {};

TEST_P(HintTest, Line) {
  const LetterHint hint = letterHint(GetParam().kind, GetParam().typed);
  EXPECT_EQ(std::pair(hint.line, hint.warns), std::pair(std::string(GetParam().line), GetParam().warns));
}

INSTANTIATE_TEST_SUITE_P(Typed, HintTest, testing::Values(
        HintCase{"Empty", "", "8 letters", FrameKind::Pda, false},
        HintCase{"Typing", "89D0x", "5 of 22 letters, 1 not copied", FrameKind::HouseKeeping, false},
        HintCase{"CombinedOrder", "0000", "4 of 16 letters: satellite 8, then PDA 8", FrameKind::SatellitePda, false},
        HintCase{"Full", "89D0A76820472FBCA7A01F", "22 of 22 letters", FrameKind::HouseKeeping, false},
        HintCase{"NotCopied", "89D0xx6820x72FxxA7Ax1F", "22 of 22 letters, 6 not copied: voltage of battery, temperature of communication board and 2 more fields will be missing", FrameKind::HouseKeeping, true},
        HintCase{"ModeLetter", "89D0A7682x472FBCA7A01F", "22 of 22 letters, 1 not copied: antenna, DTMF flag and amatuer service mode will be missing", FrameKind::HouseKeeping, true},
        HintCase{"CameraLetter", "8A5C3Ex1", "8 of 8 letters, 1 not copied: USB2Serial status and camera status will be missing", FrameKind::Pda, true},
        HintCase{"OverLong", "12345678x", "9 of 8 letters", FrameKind::Satellite, false},
        HintCase{"CapitalX", "89D0X768", "8 of 8 letters; letter 5 'X' is not a hex letter (a letter not copied is a lower-case 'x'): every field will be missing", FrameKind::Satellite, true},
        HintCase{"Blank", "89D0A76820472FBCA7A0 F", "22 of 22 letters; letter 21 is a blank, not a hex letter: APD 3.3V A power, APD 3.3V B power and 6 more fields will be missing", FrameKind::HouseKeeping, true},
        HintCase{"BeaconWord", "TNGR 89D0A76820472FBCA", "22 of 22 letters; leave out the beacon word TNGR: voltage of 3.3V system, voltage of 5V system and 7 more fields will be missing", FrameKind::HouseKeeping, true}),
    [](const testing::TestParamInfo<HintCase>& info) { return std::string(info.param.name); });

TEST(FieldsRemovedBy, FollowTheTables) {
  // Letter 9 holds MODE bits 7-4: a mark costs those four flags; an invalid letter there
  // silences both decoders that read it, the values and the mode flags.
  EXPECT_EQ(fieldsRemovedBy(FrameKind::HouseKeeping, 8, false).size(), 4U);
  EXPECT_EQ(fieldsRemovedBy(FrameKind::HouseKeeping, 8, true).size(), 16U);
  EXPECT_EQ(fieldsRemovedBy(FrameKind::SatellitePda, 9, true).size(), 19U);
  EXPECT_EQ(letterHint(FrameKind::HouseKeeping, "89D0A76820472FBCA7A01G").detail, "22 of 22 letters\nletter 22 'G' is not "
            "a hex letter: APD 3.3V A power, APD 3.3V B power, APD main power, DAQ power, PDA, TH-59 power, CW power and DJ-C5(TX) power will be missing");
}
// clang-format on

TEST(TelemetryLog, RecordsGoToTheLogAndBackIntoSeries) {
  const stm::ClockReading reading{{2009, 7, 1, 8, 5, 9, 42}, {2009, 6, 30, 23, 5, 9, 42}};
  const auto texts = checkTexts(FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F", reading, LineEnd::Lf);
  EXPECT_EQ(texts->report, *buildReport(FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F", reading, LineEnd::Lf));
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
  for (const char* bad : {"1970-02-30T00:00:01.500Z", "1970-01-02 00:00:01.500Z", "1970-01-02T00:00:01.5Z"})
    EXPECT_FALSE(isoUtcMilliseconds(bad)) << bad;
  std::vector<TelemetryPoint> points(1000);
  for (int i = 0; i < 1000; ++i) points[i] = {i * 1000.0, i == 500 ? 99.0 : i % 7};
  const auto shown = decimate(points, 10);
  EXPECT_LE(shown.size(), 20U);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [](auto a, auto b) { return a.utcMs < b.utcMs; }));
  EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](auto p) { return p.value == 99.0; }));
}

}  // namespace
}  // namespace quillon
