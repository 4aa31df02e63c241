#include "hk/housekeeping.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "field_helpers.h"

namespace quillon {
namespace {

using namespace testing_support;
constexpr auto HK = FrameKind::HouseKeeping;

const std::set<std::string> kModeLetter9 = {"satelliteMode", "usbPower", "rxMutualMonitor",
                                            "txMutualMonitor"};
const std::set<std::string> kModeLetter10 = {"antenna", "dtmfFlag", "amateurServiceMode"};
const std::set<std::string> kPowerLetter21 = {"apd33VAPower", "apd33VBPower", "apdMainPower", "daqPower"};
const std::set<std::string> kPowerLetter22 = {"pdaPower", "th59Power", "cwPower", "djC5TxPower"};
const std::set<std::string> kValues = {
    "voltage33V",         "voltage5V",      "batteryVoltage", "mainBusVoltage", "commBoardTemperature",
    "batteryTemperature", "batteryCurrent", "sMeter144MHz",   "sMeter1_2GHz"};
// Frame byte k carries this value field (byte 4 holds the mode flags).
const char* const kValueOfByte[10] = {
    "voltage33V",           "voltage5V",          "batteryVoltage", "mainBusVoltage", nullptr,
    "commBoardTemperature", "batteryTemperature", "batteryCurrent", "sMeter144MHz",   "sMeter1_2GHz"};

struct ExtremeCase {
  const char* frame;
  std::map<std::string, std::string> expected;
};

class HouseKeepingExtremes : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(HouseKeepingExtremes, DecodeToTheirLimits) {
  const auto v = values(HK, GetParam().frame);
  for (const auto& [key, text] : GetParam().expected) EXPECT_EQ(v.at(key), text) << key;
}

INSTANTIATE_TEST_SUITE_P(
    Frames, HouseKeepingExtremes,
    ::testing::Values(
        ExtremeCase{"0000000000000000000000",
                    {{"voltage33V", "0.000"},
                     {"mainBusVoltage", "0.000"},
                     {"commBoardTemperature", "-67.840"},
                     {"batteryCurrent", "1.486"},
                     {"sMeter1_2GHz", "0.000"},
                     {"satelliteMode", "FLIGHT"},
                     {"usbPower", "turned off"},
                     {"rxMutualMonitor", "inactive"},
                     {"antenna", "folded"},
                     {"amateurServiceMode", "DIGI off"},
                     {"apd33VAPower", "turned off"},
                     {"djC5TxPower", "turned off"}}},
        ExtremeCase{"FFFFFFFFFFFFFFFFFFFFFF",
                    {{"voltage5V", "6.160"},
                     {"mainBusVoltage", "9.240"},
                     {"batteryTemperature", "424.960"},
                     {"batteryCurrent", "-1.603"},
                     {"sMeter144MHz", "3.080"},
                     {"satelliteMode", "DEBUG"},
                     {"usbPower", "turned on"},
                     {"txMutualMonitor", "active"},
                     {"antenna", "deployed"},
                     {"dtmfFlag", "turned on"},
                     {"amateurServiceMode", "DIGI off"},
                     {"apd33VBPower", "turned on"},
                     {"cwPower", "turned on"}}},
        ExtremeCase{"0000000001000000000000", {{"amateurServiceMode", "DIGI on"}, {"antenna", "folded"}}},
        ExtremeCase{"0000000002000000000000", {{"amateurServiceMode", "MAILBOX on"}}},
        ExtremeCase{"0000000003000000000000", {{"amateurServiceMode", "DIGI off"}}},
        ExtremeCase{"0000000004000000000000", {{"dtmfFlag", "turned on"}, {"antenna", "folded"}}},
        ExtremeCase{"0000000040000000000000", {{"usbPower", "turned on"}, {"satelliteMode", "FLIGHT"}}},
        ExtremeCase{"00000000x0000000000000", {{"usbPower", "not analyzed"}, {"antenna", "folded"}}},
        ExtremeCase{"00000000xF000000000000",
                    {{"antenna", "deployed"}, {"dtmfFlag", "turned on"}, {"amateurServiceMode", "DIGI off"}}},
        ExtremeCase{"00000000000000000000x3",
                    {{"pdaPower", "turned off"},
                     {"th59Power", "turned off"},
                     {"cwPower", "turned on"},
                     {"djC5TxPower", "turned on"}}},
        ExtremeCase{"000000000000000000003x",
                    {{"daqPower", "turned on"},
                     {"apdMainPower", "turned on"},
                     {"apd33VAPower", "turned off"},
                     {"apd33VBPower", "turned off"}}}));

TEST(HouseKeeping, CaseOfLettersDoesNotMatter) {
  EXPECT_EQ(values(HK, "89d0a76820472fbca7a01f"), values(HK, "89D0A76820472FBCA7A01F"));
  EXPECT_EQ(values(HK, "ffffffffffffffffffffff"), values(HK, "FFFFFFFFFFFFFFFFFFFFFF"));
}

// For an 'x' at every position, exactly the fields that depend on that letter vanish.
TEST(HouseKeeping, EachUncopiedLetterRemovesExactlyItsFields) {
  const std::string frame = "89D0A76820472FBCA7A01F";
  const auto all = allKeys(HK);
  for (std::size_t p = 1; p <= 22; ++p) {
    std::string typed = frame;
    typed[p - 1] = 'x';
    std::set<std::string> gone;
    if (p <= 20 && kValueOfByte[(p - 1) / 2]) gone.insert(kValueOfByte[(p - 1) / 2]);
    if (p == 9) gone = kModeLetter9;
    if (p == 10) gone = kModeLetter10;
    if (p == 21) gone = kPowerLetter21;
    if (p == 22) gone = kPowerLetter22;
    EXPECT_EQ(analysedKeys(HK, typed), minus(all, gone)) << "x at letter " << p;
  }
}

// An invalid letter silences the whole decoder that reads it, and only that one.
TEST(HouseKeeping, EachInvalidLetterSilencesItsDecoders) {
  const std::string frame = "89D0A76820472FBCA7A01F";
  const auto all = allKeys(HK);
  for (const char* bad : {"X", " ", "g", "\xC3\xA9"}) {
    for (std::size_t p = 1; p <= 22; ++p) {
      std::string typed = frame.substr(0, p - 1) + bad + frame.substr(p);
      std::set<std::string> gone;
      if (p <= 20) gone = kValues;
      if (p == 9 || p == 10) {
        gone.insert(kModeLetter9.begin(), kModeLetter9.end());
        gone.insert(kModeLetter10.begin(), kModeLetter10.end());
      }
      if (p >= 21) {
        gone.insert(kPowerLetter21.begin(), kPowerLetter21.end());
        gone.insert(kPowerLetter22.begin(), kPowerLetter22.end());
      }
      EXPECT_EQ(analysedKeys(HK, typed), minus(all, gone)) << "'" << bad << "' at letter " << p;
    }
  }
}

// Every raw byte of every field prints the digits of the formula evaluated left to right
// in IEEE double (reference computed independently, one line per raw byte).
TEST(HouseKeeping, EveryRawByteOfEveryFieldPrintsTheReferenceDigits) {
  std::ifstream in(QUILLON_TEST_DATA "/engineering_values.txt");
  ASSERT_TRUE(in) << "reference table missing";
  const char* const keys[9] = {
      "voltage33V",         "voltage5V",      "batteryVoltage", "mainBusVoltage", "commBoardTemperature",
      "batteryTemperature", "batteryCurrent", "sMeter144MHz",   "sMeter1_2GHz"};
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int raw = 0;
    fields >> raw;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", raw);
    std::string frame;
    for (int k = 0; k < 11; ++k) frame += hex;  // the same byte in every slot
    const auto v = values(HK, frame);
    for (const char* key : keys) {
      std::string expected;
      fields >> expected;
      EXPECT_EQ(v.at(key), expected) << key << " raw " << raw;
    }
    ++rows;
  }
  EXPECT_EQ(rows, 256);
}

TEST(HouseKeeping, UnanalysedFieldsAnswerTheirMarkers) {
  HouseKeepingValues values;
  HouseKeepingStatus status;
  HouseKeepingPower power;
  EXPECT_FALSE(values.parse(U"89D0A76820472FBCA7AX"));
  EXPECT_FALSE(status.parse(U'8', U'X'));
  EXPECT_FALSE(power.parse(U'g', U'1'));
  EXPECT_EQ(values.getVoltage33V(), -2.0);
  EXPECT_EQ(values.getSMeter1_2GHz(), -2.0);
  EXPECT_STREQ(status.getAmateurServiceMode(), "not analyzed");
  EXPECT_STREQ(power.getDjC5TxPower(), "not analyzed");
  EXPECT_FALSE(values.parse(U"too short"));

  // A refused parse changes nothing that an earlier good parse set.
  ASSERT_TRUE(values.parse(U"89D0A76820472FBCA7A0"));
  EXPECT_FALSE(values.parse(U"0000000000000000000X"));
  EXPECT_TRUE(values.isVoltage33VAnalyzed());
  EXPECT_NEAR(values.getVoltage33V(), 137 * 6.16 / 255, 1e-12);
}

}  // namespace
}  // namespace quillon
