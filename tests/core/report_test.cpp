#include "hk/report.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

const stm::ClockReading kReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};

std::string report(FrameKind kind, const std::string& typed) {
  const auto text = buildReport(kind, typed, stm::ClockSnapshot(stm::fixedClock(kReading)));
  return text ? *text : "<refused>";
}

std::string header(const std::string& title, const std::string& data) {
  return title +
         "\r\nUTC : 2009/06/30 14:05:09:042\r\nLocalTime : 2009/06/30 23:05:09:042\r\nData = " + data +
         "\r\n\r\n";
}

const std::string kHouseKeepingWorked =
    "Voltage of 3.3V system is 3.309 [V]\r\n"
    "Voltage of 5V system is 5.025 [V]\r\n"
    "Voltage of battery is 4.034 [V]\r\n"
    "Voltage of main bus is 3.768 [V]\r\n"
    "\r\n"
    "Satellite mode is FLIGHT\r\n"
    "USB Power is turned off\r\n"
    "Rx mutual monitor is active\r\n"
    "Tx mutual monitor is inactive\r\n"
    "Antenna is folded\r\n"
    "DTMF flag is turned off\r\n"
    "Amatuer service mode : DIGI off\r\n"
    "\r\n"
    "Temperature of communication board is 69.371 ['C]\r\n"
    "Temperature of battery is22.990 ['C]\r\n"
    "Current of battery is -0.792 [A]\r\n"
    "S meter of 144MHz is 2.017 [V]\r\n"
    "S meter of 1.2GHz is 1.933 [V]\r\n"
    "\r\n"
    "APD 3.3V A power is turned off\r\n"
    "APD 3.3V B power is turned off\r\n"
    "APD main power is turned off\r\n"
    "DAQ power is turned on\r\n"
    "PDA is turned on\r\n"
    "TH-59 power is turned on\r\n"
    "CW power is turned on\r\n"
    "DJ-C5(TX) power is turned on\r\n"
    "\r\n";

const std::string kSatelliteWorked =
    "FM is not transmitting\r\n"
    "FM protocol is AFSK 1200bps Ax.25\r\n"
    "FM mode is not used mode\r\n"
    "Service mode is not used\r\n"
    "The number of pictures are 41\r\n"
    "Antenna is not deplyed\r\n"
    "USB2Serial power is turned off\r\n"
    "Magnet sensor power is turned off\r\n"
    "APD 3.3V A power is turned off\r\n"
    "APD 3.3V B power is turned on\r\n"
    "APD main power is turned off\r\n"
    "Camera power is turned on\r\n"
    "ASM power is turned on\r\n"
    "CW TX power is turned on\r\n"
    "Amateur service RX power is turned off\r\n"
    "FM TX power is turned off\r\n"
    "FM packet frame number is 1\r\n"
    "FM packet interval(sec) is 10\r\n";

const std::string kSatelliteZeros =
    "FM is not transmitting\r\n"
    "FM protocol is AFSK 1200bps Ax.25\r\n"
    "FM mode is realtime 3 frames mode\r\n"
    "Service mode is disable\r\n"
    "The number of pictures are 0\r\n"
    "Antenna is not deplyed\r\n"
    "USB2Serial power is turned off\r\n"
    "Magnet sensor power is turned off\r\n"
    "APD 3.3V A power is turned off\r\n"
    "APD 3.3V B power is turned off\r\n"
    "APD main power is turned off\r\n"
    "Camera power is turned off\r\n"
    "ASM power is turned off\r\n"
    "CW TX power is turned off\r\n"
    "Amateur service RX power is turned off\r\n"
    "FM TX power is turned off\r\n"
    "FM packet frame number is 0\r\n"
    "FM packet interval(sec) is 1\r\n";

const std::string kPdaWorked =
    "WDT status is enable\r\n"
    "PDA number is 3\r\n"
    "On board time is synchronized\r\n"
    "USB2Serial status is enable\r\n"
    "Camera status is disable\r\n"
    "Log file freq(sec) is 240\r\n"
    "Log file mode is reading\r\n"
    "TLE is not uplinked\r\n"
    "Torquer control is disable\r\n"
    "APD status is disable\r\n"
    "APD sample freq(sec) is 600\r\n"
    "APD file mode is writting\r\n"
    "tether is enable\r\n"
    "Image format is Windows bitmap\r\n"
    "Sun sensor 1 is active\r\n"
    "Sun sensor 2 is inactive\r\n"
    "Sun sensor 3 is active\r\n"
    "Sun sensor 4 is inactive\r\n"
    "Sun sensor 5 is inactive\r\n";

std::string without(std::string text, const std::vector<std::string>& lines) {
  for (const auto& line : lines) {
    const auto at = text.find(line);
    if (at == std::string::npos) return "<missing " + line + ">";
    text.erase(at, line.size());
  }
  return text;
}

struct GoldenCase {
  const char* name;
  FrameKind kind;
  std::string typed;
  std::string expected;
};

class GoldenReports : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenReports, MatchByteForByte) {
  EXPECT_EQ(report(GetParam().kind, GetParam().typed), GetParam().expected);
}

const std::string kHk = "Tanager CW House Keeping Status";
const std::string kSat = "Tanager Satellite Status";
const std::string kPda = "Tanager PDA Status";
const std::string kBoth = "Tanager Satellite & PDA Status";

INSTANTIATE_TEST_SUITE_P(
    Worked, GoldenReports,
    ::testing::Values(
        GoldenCase{"hk", FrameKind::HouseKeeping, "89D0A76820472FBCA7A01F",
                   header(kHk, "89D0A76820472FBCA7A01F") + kHouseKeepingWorked},
        GoldenCase{"hk_uncopied", FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F",
                   header(kHk, "89D0xx6820x72FxxA7Ax1F") +
                       without(kHouseKeepingWorked, {"Voltage of battery is 4.034 [V]\r\n",
                                                     "Temperature of communication board is 69.371 ['C]\r\n",
                                                     "Current of battery is -0.792 [A]\r\n",
                                                     "S meter of 1.2GHz is 1.933 [V]\r\n"})},
        GoldenCase{"hk_all_x", FrameKind::HouseKeeping, std::string(22, 'x'),
                   header(kHk, std::string(22, 'x')) + "\r\n\r\n\r\n\r\n"},
        GoldenCase{"hk_capital_X", FrameKind::HouseKeeping, "89D0A7682047XFBCA7A01F",
                   header(kHk, "89D0A7682047XFBCA7A01F") + "\r\n" +
                       kHouseKeepingWorked.substr(kHouseKeepingWorked.find("Satellite mode"),
                                                  kHouseKeepingWorked.find("\r\n\r\nTemperature") -
                                                      kHouseKeepingWorked.find("Satellite mode") + 4) +
                       "\r\n" + kHouseKeepingWorked.substr(kHouseKeepingWorked.find("APD 3.3V A"))},
        GoldenCase{"hk_trailing_blank", FrameKind::HouseKeeping, "89D0A76820472FBCA7A01 ",
                   header(kHk, "89D0A76820472FBCA7A01 ") +
                       kHouseKeepingWorked.substr(0, kHouseKeepingWorked.find("APD 3.3V A")) + "\r\n"},
        GoldenCase{"sat", FrameKind::Satellite, "89D0A768",
                   header(kSat, "89D0A768") + kSatelliteWorked + "\r\n"},
        GoldenCase{"sat_zeros", FrameKind::Satellite, "00000000",
                   header(kSat, "00000000") + kSatelliteZeros + "\r\n"},
        GoldenCase{"sat_all_x", FrameKind::Satellite, "xxxxxxxx", header(kSat, "xxxxxxxx") + "\r\n"},
        GoldenCase{"sat_lower_case", FrameKind::Satellite, "89d0a768",
                   header(kSat, "89d0a768") + kSatelliteWorked + "\r\n"},
        GoldenCase{
            "sat_pictures_uncopied", FrameKind::Satellite, "1234x678",
            header(kSat, "1234x678") +
                "FM is not transmitting\r\nFM protocol is AFSK 1200bps Ax.25\r\nFM mode is not used mode\r\n"
                "Service mode is not used\r\nAntenna is not deplyed\r\nUSB2Serial power is turned off\r\n"
                "Magnet sensor power is turned on\r\nAPD 3.3V A power is turned off\r\n"
                "APD 3.3V B power is turned on\r\nAPD main power is turned on\r\nCamera power is turned "
                "off\r\n"
                "ASM power is turned off\r\nCW TX power is turned off\r\nAmateur service RX power is turned "
                "on\r\n"
                "FM TX power is turned off\r\nFM packet frame number is 2\r\nFM packet interval(sec) is "
                "1\r\n\r\n"},
        GoldenCase{"pda", FrameKind::Pda, "8A5C3E1F", header(kPda, "8A5C3E1F") + kPdaWorked + "\r\n"},
        GoldenCase{
            "pda_uncopied", FrameKind::Pda, "8x5C3E1F",
            header(kPda, "8x5C3E1F") +
                without(kPdaWorked, {"Image format is Windows bitmap\r\n", "Sun sensor 1 is active\r\n",
                                     "Sun sensor 2 is inactive\r\n", "Sun sensor 3 is active\r\n"}) +
                "\r\n"},
        GoldenCase{"pda_log_period_uncopied", FrameKind::Pda, "8A5CxE1F",
                   header(kPda, "8A5CxE1F") +
                       without(kPdaWorked, {"Log file freq(sec) is 240\r\n", "TLE is not uplinked\r\n",
                                            "Torquer control is disable\r\n"}) +
                       "\r\n"},
        GoldenCase{"pda_all_x", FrameKind::Pda, "xxxxxxxx", header(kPda, "xxxxxxxx") + "\r\n"},
        GoldenCase{"both", FrameKind::SatellitePda, "000000008A5C3E1F",
                   header(kBoth, "000000008A5C3E1F") + kSatelliteZeros + "\r\n" + kPdaWorked + "\r\n"},
        GoldenCase{"both_satellite_uncopied", FrameKind::SatellitePda, "xxxxxxxx8A5C3E1F",
                   header(kBoth, "xxxxxxxx8A5C3E1F") + "\r\n" + kPdaWorked + "\r\n"},
        GoldenCase{"both_pda_uncopied", FrameKind::SatellitePda, "89D0A768xxxxxxxx",
                   header(kBoth, "89D0A768xxxxxxxx") + kSatelliteWorked + "\r\n\r\n"},
        GoldenCase{"both_invalid_satellite", FrameKind::SatellitePda, "0000000G8a5c3e1f",
                   header(kBoth, "0000000G8a5c3e1f") + "\r\n" + kPdaWorked + "\r\n"},
        GoldenCase{"both_all_x", FrameKind::SatellitePda, std::string(16, 'x'),
                   header(kBoth, std::string(16, 'x')) + "\r\n\r\n"},
        GoldenCase{"unicode_data_kept_as_typed", FrameKind::Satellite,
                   "\xE3\x82\xAD"
                   "0000000",
                   header(kSat,
                          "\xE3\x82\xAD"
                          "0000000") +
                       "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LengthCase {
  FrameKind kind;
  std::string typed;
};

class WrongLengths : public ::testing::TestWithParam<LengthCase> {};

TEST_P(WrongLengths, AreRefusedWithoutAReport) {
  EXPECT_FALSE(hasFrameLength(GetParam().kind, GetParam().typed));
  EXPECT_EQ(report(GetParam().kind, GetParam().typed), "<refused>");
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, WrongLengths,
    ::testing::Values(LengthCase{FrameKind::HouseKeeping, ""},
                      LengthCase{FrameKind::HouseKeeping, std::string(21, '0')},
                      LengthCase{FrameKind::HouseKeeping, std::string(23, '0')},
                      // 21 characters but 22 bytes: counted as the operator sees them.
                      LengthCase{FrameKind::HouseKeeping, std::string(20, '0') + "\xC3\xA9"},
                      LengthCase{FrameKind::Satellite, "0000000"},
                      LengthCase{FrameKind::Satellite, "000000000"}, LengthCase{FrameKind::Pda, ""},
                      LengthCase{FrameKind::SatellitePda, std::string(15, 'x')},
                      LengthCase{FrameKind::SatellitePda, std::string(17, 'x')}));

TEST(FrameRules, MessagesAndNamesOfEveryFrame) {
  struct Expected {
    FrameKind kind;
    std::size_t letters;
    const char* name;
    const char* wrong;
    const char* over;
  };
  const Expected all[] = {
      {FrameKind::HouseKeeping, 22, "hk", "Please input 22 Letters", "Over 22 letters!"},
      {FrameKind::Satellite, 8, "sat", "Please input 8 Letters", "Over 8 letters!"},
      {FrameKind::Pda, 8, "pda", "Please input 8 Letters", "Over 8 letters!"},
      {FrameKind::SatellitePda, 16, "satpda", "Please input 16 Letters", "Over 16 letters!"},
  };
  for (const auto& e : all) {
    const FrameRule& rule = frameRule(e.kind);
    EXPECT_EQ(rule.letters, e.letters);
    EXPECT_EQ(rule.wrongLength, e.wrong);
    EXPECT_EQ(rule.overLength, e.over);
    ASSERT_NE(frameRuleNamed(e.name), nullptr);
    EXPECT_EQ(frameRuleNamed(e.name)->kind, e.kind);
  }
  EXPECT_EQ(kWrongLengthCaption, "Invalidate");
  EXPECT_EQ(frameRuleNamed("HK"), nullptr);
}

TEST(FrameRules, GuardCutsOnlyPastTheLimitAndNeverSplitsACharacter) {
  EXPECT_EQ(cutToFrameLength(FrameKind::Satellite, "12345678"), std::nullopt);
  EXPECT_EQ(cutToFrameLength(FrameKind::Satellite, "123456789"), "12345678");
  EXPECT_EQ(cutToFrameLength(FrameKind::Satellite,
                             "1234567\xF0\x9F\x98\x80"
                             "9"),
            "1234567\xF0\x9F\x98\x80");
  EXPECT_EQ(cutToFrameLength(FrameKind::HouseKeeping, std::string(30, 'A')), std::string(22, 'A'));
  EXPECT_EQ(cutToFrameLength(FrameKind::HouseKeeping, std::string(21, 'A') + "\xC3\xA9"), std::nullopt);
}

TEST(Reports, TwoReportsOfTheSameFrameDifferOnlyInTheirTimes) {
  int tick = 0;
  auto stepping = [&tick] {
    ++tick;
    return stm::ClockReading{{2009, 6, 30, 23, 5, 9, tick}, {2009, 6, 30, 14, 5, 9, tick}};
  };
  const auto first = buildReport(FrameKind::Pda, "8A5C3E1F", stm::ClockSnapshot(stepping));
  const auto second = buildReport(FrameKind::Pda, "8A5C3E1F", stm::ClockSnapshot(stepping));
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_NE(second->find("14:05:09:002"), std::string::npos);
  EXPECT_EQ(first->substr(first->find("Data")), second->substr(second->find("Data")));
}

TEST(Reports, OutOfRangeClockStillGivesHeaderTimes) {
  const stm::ClockReading future{{2101, 1, 1, 9, 0, 0, 5}, {2101, 1, 1, 0, 0, 0, 5}};
  const auto text =
      buildReport(FrameKind::Satellite, "xxxxxxxx", stm::ClockSnapshot::Read(stm::fixedClock(future)));
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "Tanager Satellite Status\r\nUTC : 2101/01/01 00:00:00:005\r\nLocalTime : 2101/01/01 "
            "09:00:00:005\r\nData = xxxxxxxx\r\n\r\n\r\n");
}

TEST(Reports, DecodeFrameRefusesAWrongNumberOfLetters) {
  EXPECT_THROW(decodeFrame(FrameKind::HouseKeeping, U"123"), std::invalid_argument);
  EXPECT_THROW(decodeFrame(FrameKind::SatellitePda, U"12345678"), std::invalid_argument);
}

}  // namespace
}  // namespace quillon
