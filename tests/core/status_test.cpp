#include <gtest/gtest.h>

#include "field_helpers.h"
#include "status/pda_status.h"
#include "status/satellite_status.h"

namespace quillon {
namespace {

using namespace testing_support;
constexpr auto SAT = FrameKind::Satellite;
constexpr auto PDA = FrameKind::Pda;

struct WordCase {
  const char* word;
  std::map<std::string, std::string> expected;  // a subset of the fields, as printed
};

class SatelliteWords : public ::testing::TestWithParam<WordCase> {};
class PdaWords : public ::testing::TestWithParam<WordCase> {};

TEST_P(SatelliteWords, Decode) {
  const auto v = values(SAT, GetParam().word);
  for (const auto& [key, text] : GetParam().expected) EXPECT_EQ(v.at(key), text) << key;
}
TEST_P(PdaWords, Decode) {
  const auto v = values(PDA, GetParam().word);
  for (const auto& [key, text] : GetParam().expected) EXPECT_EQ(v.at(key), text) << key;
}

const std::map<std::string, std::string> kSatOnes = {{"fm", "transmitting"},
                                                     {"fmProtocol", "GMSK 1200bps SRLL"},
                                                     {"fmMode", "not used mode"},
                                                     {"serviceMode", "EMERGENCY MAINTENANCE MODE"},
                                                     {"numberOfPictures", "63"},
                                                     {"antenna", "deployed"},
                                                     {"usb2SerialPower", "turned on"},
                                                     {"magnetSensorPower", "turned on"},
                                                     {"apd33VAPower", "turned on"},
                                                     {"apd33VBPower", "turned on"},
                                                     {"apdMainPower", "turned on"},
                                                     {"cameraPower", "turned on"},
                                                     {"asmPower", "turned on"},
                                                     {"cwTxPower", "turned on"},
                                                     {"amateurServiceRxPower", "turned on"},
                                                     {"fmTxPower", "turned on"},
                                                     {"fmPacketFrameNumber", "3"},
                                                     {"fmPacketInterval", "120"}};

INSTANTIATE_TEST_SUITE_P(
    Words, SatelliteWords,
    ::testing::Values(
        WordCase{"FFFFFFFF", kSatOnes}, WordCase{"ffffffff", kSatOnes},
        WordCase{"0000000E",
                 {{"fmProtocol", "GMSK 1200bps SRLL"},
                  {"fmMode", "realtime 2 frames mode"},
                  {"fm", "not transmitting"}}},
        WordCase{"60000000", {{"fmPacketInterval", "5"}, {"fmPacketFrameNumber", "0"}}},
        WordCase{"1234x678",
                 {{"serviceMode", "not used"},
                  {"fmMode", "not used mode"},
                  {"fmPacketFrameNumber", "2"},
                  {"fmPacketInterval", "1"}}},
        // Every code of every table: FM mode 0-15, service mode 0-7, interval 0-7, protocol 0-3.
        WordCase{"00000040", {{"fmMode", "tether data mode"}, {"fm", "not transmitting"}}},
        WordCase{"0000004A",
                 {{"fmMode", "gyro data of separation mode"}, {"fmProtocol", "GMSK 9600bps Ax.25"}}},
        WordCase{"0000002C", {{"fmMode", "picture downlink mode"}, {"fmProtocol", "AFSK 1200bps SRLL"}}},
        WordCase{"00000030", {{"fmMode", "past data playback mode"}}},
        WordCase{"00000038", {{"fmMode", "past apd data playback mode"}}},
        WordCase{"00000018", {{"fmMode", "realtime 10Hz gyro data mode"}}},
        WordCase{"00000020", {{"fmMode", "realtime sun sensor data mode"}}},
        WordCase{"00000010", {{"fmMode", "realtime 1 frame mode"}}},
        WordCase{"00000080", {{"serviceMode", "digipeater uplink mode"}}},
        WordCase{"00000100", {{"serviceMode", "digipeater multicast mode"}}},
        WordCase{"20000000", {{"fmPacketInterval", "2"}}}, WordCase{"40000000", {{"fmPacketInterval", "3"}}},
        WordCase{"80000000", {{"fmPacketInterval", "10"}}},
        WordCase{"A0000000", {{"fmPacketInterval", "30"}}},
        WordCase{"C0000000", {{"fmPacketInterval", "60"}}},
        WordCase{"E8000000", {{"fmPacketFrameNumber", "1"}, {"fmPacketInterval", "120"}}}));

INSTANTIATE_TEST_SUITE_P(
    Words, PdaWords,
    ::testing::Values(
        WordCase{"D2B9E6f1",
                 {{"pdaNumber", "0"},
                  {"onBoardTime", "not synchronized"},
                  {"cameraStatus", "enable"},
                  {"logFileFreq", "30"},
                  {"tle", "uplinked"},
                  {"apdSampleFreq", "120"},
                  {"apdFileMode", "error @ APD File Mode"},
                  {"imageFormat", "UYVY"},
                  {"logFileMode", "error @ Log File Mode"}}},
        WordCase{"00000000",
                 {{"wdtStatus", "disable"},
                  {"onBoardTime", "not synchronized"},
                  {"tle", "not uplinked"},
                  {"sunSensor1", "inactive"},
                  {"pdaNumber", "0"},
                  {"logFileFreq", "1"},
                  {"apdSampleFreq", "5"},
                  {"apdFileMode", "no access"},
                  {"logFileMode", "no access"},
                  {"imageFormat", "Windows bitmap"}}},
        WordCase{"00000020", {{"cameraStatus", "enable"}}},
        WordCase{"00000040", {{"cameraStatus", "enable"}}},
        WordCase{"00000060", {{"cameraStatus", "enable"}}},
        WordCase{"00000080", {{"cameraStatus", "disable"}}},
        WordCase{"01000000", {{"imageFormat", "JPEG (HIGH)"}}},
        WordCase{"01800000", {{"imageFormat", "JPEG (LOW)"}}}, WordCase{"00000800", {{"logFileFreq", "2"}}},
        WordCase{"00001000", {{"logFileFreq", "5"}}}, WordCase{"00001800", {{"logFileFreq", "10"}}},
        WordCase{"00002800", {{"logFileFreq", "60"}}}, WordCase{"00003000", {{"logFileFreq", "120"}}},
        WordCase{"00020000", {{"apdSampleFreq", "10"}}}, WordCase{"00040000", {{"apdSampleFreq", "30"}}},
        WordCase{"00060000", {{"apdSampleFreq", "60"}}}, WordCase{"000A0000", {{"apdSampleFreq", "300"}}},
        WordCase{"000E0000", {{"apdSampleFreq", "1200"}}},
        WordCase{"40000000", {{"logFileMode", "writting"}}},
        WordCase{"00000780", {{"wdtStatus", "disable"}, {"logFileFreq", "1"}, {"cameraStatus", "disable"}}}));

struct UncopiedCase {
  FrameKind kind;
  const char* word;
  std::set<std::string> gone;
};

class UncopiedLetters : public ::testing::TestWithParam<UncopiedCase> {};

TEST_P(UncopiedLetters, RemoveExactlyTheFieldsWithABitInThem) {
  const auto& c = GetParam();
  EXPECT_EQ(analysedKeys(c.kind, c.word), minus(allKeys(c.kind), c.gone));
}

INSTANTIATE_TEST_SUITE_P(
    Letters, UncopiedLetters,
    ::testing::Values(
        UncopiedCase{SAT, "x2345678", {"fmPacketInterval", "fmPacketFrameNumber"}},
        UncopiedCase{
            SAT, "1x345678", {"fmPacketFrameNumber", "fmTxPower", "amateurServiceRxPower", "cwTxPower"}},
        UncopiedCase{SAT, "12x45678", {"asmPower", "cameraPower", "apdMainPower", "apd33VBPower"}},
        UncopiedCase{SAT, "123x5678", {"apd33VAPower", "magnetSensorPower", "usb2SerialPower", "antenna"}},
        UncopiedCase{SAT, "1234x678", {"numberOfPictures"}},
        UncopiedCase{SAT, "12345x78", {"numberOfPictures", "serviceMode"}},
        UncopiedCase{SAT, "123456x8", {"serviceMode", "fmMode"}},
        UncopiedCase{SAT, "1234567x", {"fmMode", "fmProtocol", "fm"}},
        UncopiedCase{SAT, "xxxxxxxx", allKeys(SAT)},
        UncopiedCase{PDA, "x0000000", {"logFileMode", "sunSensor5", "sunSensor4"}},
        UncopiedCase{PDA, "8x5C3E1F", {"imageFormat", "sunSensor1", "sunSensor2", "sunSensor3"}},
        UncopiedCase{PDA, "00x00000", {"imageFormat", "tether", "apdFileMode"}},
        UncopiedCase{PDA, "000x0000", {"apdSampleFreq", "apdStatus"}},
        UncopiedCase{PDA, "0000x000", {"torquerControl", "tle", "logFileFreq"}},
        UncopiedCase{PDA, "00000x00", {"logFileFreq"}},
        UncopiedCase{PDA, "000000x0", {"usb2SerialStatus", "cameraStatus"}},
        UncopiedCase{PDA, "0000000x", {"onBoardTime", "pdaNumber", "wdtStatus"}},
        UncopiedCase{PDA, "xxxxxxxx", allKeys(PDA)}));

// One invalid letter anywhere refuses the whole word, whatever the other letters are.
TEST(StatusWords, AnyInvalidLetterLeavesNothingAnalysed) {
  for (FrameKind kind : {SAT, PDA}) {
    for (const char* bad : {"X", "g", " ", "\xEF\xBC\xA1"}) {
      for (std::size_t p = 0; p < 8; ++p) {
        const std::string word =
            std::string("8A5C3E1F").substr(0, p) + bad + std::string("8A5C3E1F").substr(p + 1);
        EXPECT_TRUE(analysedKeys(kind, word).empty()) << word;
      }
    }
  }
}

TEST(StatusWords, UnanalysedFieldsAnswerTheirMarkers) {
  SatelliteStatus sat;
  PdaStatus pda;
  EXPECT_TRUE(sat.parse(U'x', U'x', U'x', U'x', U'x', U'x', U'x', U'x'));
  EXPECT_TRUE(pda.parse(U'x', U'x', U'x', U'x', U'x', U'x', U'x', U'x'));
  EXPECT_STREQ(sat.getFmMode(), "not analyzed");
  EXPECT_EQ(sat.getNumberOfPictures(), -2);
  EXPECT_EQ(sat.getFmPacketInterval(), -2);
  EXPECT_STREQ(pda.getLogFileMode(), "not analyzed");
  EXPECT_EQ(pda.getApdSampleFreq(), -2);
  EXPECT_EQ(pda.getPdaNumber(), -2);

  // A refused word changes nothing that an earlier good parse set.
  ASSERT_TRUE(sat.parse(U'6', U'0', U'0', U'0', U'0', U'0', U'0', U'0'));
  EXPECT_FALSE(sat.parse(U'0', U'0', U'0', U'0', U'0', U'0', U'0', U'X'));
  EXPECT_EQ(sat.getFmPacketInterval(), 5);
}

}  // namespace
}  // namespace quillon
