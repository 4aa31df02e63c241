#include "status/satellite_status.h"

#include "hk/letters.h"

namespace quillon {

namespace {

constexpr const char* kNotAnalyzed = "not analyzed";

constexpr const char* kFmProtocol[4] = {"AFSK 1200bps Ax.25", "GMSK 9600bps Ax.25", "AFSK 1200bps SRLL",
                                        "GMSK 1200bps SRLL"};

constexpr const char* kFmMode[16] = {"realtime 3 frames mode",
                                     "realtime 2 frames mode",
                                     "realtime 1 frame mode",
                                     "realtime 10Hz gyro data mode",
                                     "realtime sun sensor data mode",
                                     "picture downlink mode",
                                     "past data playback mode",
                                     "past apd data playback mode",
                                     "tether data mode",
                                     "gyro data of separation mode",
                                     "not used mode",
                                     "not used mode",
                                     "not used mode",
                                     "not used mode",
                                     "not used mode",
                                     "not used mode"};

constexpr const char* kServiceMode[8] = {
    "disable",  "digipeater uplink mode",    "digipeater multicast mode", "not used", "not used", "not used",
    "not used", "EMERGENCY MAINTENANCE MODE"};

constexpr int kPacketIntervalSeconds[8] = {1, 2, 3, 5, 10, 30, 60, 120};

}  // namespace

SatelliteStatus::SatelliteStatus() : notCopiedMark(kNotCopiedMark) { setAllAnalyzed(false); }

void SatelliteStatus::setAllAnalyzed(bool value) {
  fmAnalyzed = fmProtocolAnalyzed = fmModeAnalyzed = serviceModeAnalyzed = value;
  numberOfPicturesAnalyzed = antennaAnalyzed = usb2SerialPowerAnalyzed = value;
  magnetSensorPowerAnalyzed = apd33VAPowerAnalyzed = apd33VBPowerAnalyzed = value;
  apdMainPowerAnalyzed = cameraPowerAnalyzed = asmPowerAnalyzed = cwTxPowerAnalyzed = value;
  amateurServiceRxPowerAnalyzed = fmTxPowerAnalyzed = value;
  fmPacketFrameNumberAnalyzed = fmPacketIntervalAnalyzed = value;
}

// Every field with a bit in letter n (1 = bits 31-28 ... 8 = bits 3-0).
void SatelliteStatus::clearFlagsOfLetter(int letter) {
  switch (letter) {
    case 1: fmPacketIntervalAnalyzed = fmPacketFrameNumberAnalyzed = false; break;
    case 2:
      fmPacketFrameNumberAnalyzed = fmTxPowerAnalyzed = amateurServiceRxPowerAnalyzed = false;
      cwTxPowerAnalyzed = false;
      break;
    case 3:
      asmPowerAnalyzed = cameraPowerAnalyzed = apdMainPowerAnalyzed = apd33VBPowerAnalyzed = false;
      break;
    case 4:
      apd33VAPowerAnalyzed = magnetSensorPowerAnalyzed = usb2SerialPowerAnalyzed = false;
      antennaAnalyzed = false;
      break;
    case 5: numberOfPicturesAnalyzed = false; break;
    case 6: numberOfPicturesAnalyzed = serviceModeAnalyzed = false; break;
    case 7: serviceModeAnalyzed = fmModeAnalyzed = false; break;
    case 8: fmModeAnalyzed = fmProtocolAnalyzed = fmAnalyzed = false; break;
    default: break;
  }
}

bool SatelliteStatus::parse(char32_t letter1, char32_t letter2, char32_t letter3, char32_t letter4,
                            char32_t letter5, char32_t letter6, char32_t letter7, char32_t letter8) {
  const char32_t letters[8] = {letter1, letter2, letter3, letter4, letter5, letter6, letter7, letter8};
  std::uint32_t word = 0;
  unsigned notCopied = 0;
  if (!packStatusWord(letters, notCopiedMark, word, notCopied)) return false;
  setAllAnalyzed(true);
  for (int k = 0; k < 8; ++k) {
    if (notCopied & (1U << k)) clearFlagsOfLetter(k + 1);
  }
  statusWord = word;
  return true;
}

const char* SatelliteStatus::getFm() const {
  return !fmAnalyzed ? kNotAnalyzed : bits(0, 1) ? "transmitting" : "not transmitting";
}
const char* SatelliteStatus::getFmProtocol() const {
  return fmProtocolAnalyzed ? kFmProtocol[bits(1, 3)] : kNotAnalyzed;
}
const char* SatelliteStatus::getFmMode() const {
  return fmModeAnalyzed ? kFmMode[bits(3, 15)] : kNotAnalyzed;
}
const char* SatelliteStatus::getServiceMode() const {
  return serviceModeAnalyzed ? kServiceMode[bits(7, 7)] : kNotAnalyzed;
}
int SatelliteStatus::getNumberOfPictures() const {
  return numberOfPicturesAnalyzed ? static_cast<int>(bits(10, 63)) : -2;
}
const char* SatelliteStatus::getAntenna() const {
  return !antennaAnalyzed ? kNotAnalyzed : bits(16, 1) ? "deployed" : "not deplyed";
}
const char* SatelliteStatus::powerText(bool analyzed, int bit) const {
  return !analyzed ? kNotAnalyzed : bits(bit, 1) ? "turned on" : "turned off";
}
int SatelliteStatus::getFmPacketFrameNumber() const {
  return fmPacketFrameNumberAnalyzed ? static_cast<int>(bits(27, 3)) : -2;
}
int SatelliteStatus::getFmPacketInterval() const {
  return fmPacketIntervalAnalyzed ? kPacketIntervalSeconds[bits(29, 7)] : -2;
}

}  // namespace quillon
