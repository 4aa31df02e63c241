#pragma once
// Satellite status word, 8 letters; letter 1 holds bits 31-28, letter 8 bits 3-0.
//
//   31-29 interval | 28-27 frame no. | 26 FM TX | 25 amateur RX | 24 CW TX | 23 ASM |
//   22 camera | 21 APD main | 20 APD 3.3V B | 19 APD 3.3V A | 18 magnet | 17 USB2Serial |
//   16 antenna | 15-10 pictures | 9-7 service mode | 6-3 FM mode | 2-1 FM protocol | 0 FM
//
// A field is analysed only when every letter holding one of its bits was copied.

#include <cstdint>

namespace quillon {

class SatelliteStatus {
 public:
  SatelliteStatus();

  bool parse(char32_t letter1, char32_t letter2, char32_t letter3, char32_t letter4, char32_t letter5,
             char32_t letter6, char32_t letter7, char32_t letter8);
  void setAllAnalyzed(bool value);

  bool isFmAnalyzed() const { return fmAnalyzed; }
  bool isFmProtocolAnalyzed() const { return fmProtocolAnalyzed; }
  bool isFmModeAnalyzed() const { return fmModeAnalyzed; }
  bool isServiceModeAnalyzed() const { return serviceModeAnalyzed; }
  bool isNumberOfPicturesAnalyzed() const { return numberOfPicturesAnalyzed; }
  bool isAntennaAnalyzed() const { return antennaAnalyzed; }
  bool isUsb2SerialPowerAnalyzed() const { return usb2SerialPowerAnalyzed; }
  bool isMagnetSensorPowerAnalyzed() const { return magnetSensorPowerAnalyzed; }
  bool isApd33VAPowerAnalyzed() const { return apd33VAPowerAnalyzed; }
  bool isApd33VBPowerAnalyzed() const { return apd33VBPowerAnalyzed; }
  bool isApdMainPowerAnalyzed() const { return apdMainPowerAnalyzed; }
  bool isCameraPowerAnalyzed() const { return cameraPowerAnalyzed; }
  bool isAsmPowerAnalyzed() const { return asmPowerAnalyzed; }
  bool isCwTxPowerAnalyzed() const { return cwTxPowerAnalyzed; }
  bool isAmateurServiceRxPowerAnalyzed() const { return amateurServiceRxPowerAnalyzed; }
  bool isFmTxPowerAnalyzed() const { return fmTxPowerAnalyzed; }
  bool isFmPacketFrameNumberAnalyzed() const { return fmPacketFrameNumberAnalyzed; }
  bool isFmPacketIntervalAnalyzed() const { return fmPacketIntervalAnalyzed; }

  // Texts answer "not analyzed" and numbers -2 for a field that is not analysed.
  const char* getFm() const;
  const char* getFmProtocol() const;
  const char* getFmMode() const;
  const char* getServiceMode() const;
  int getNumberOfPictures() const;
  const char* getAntenna() const;
  const char* getUsb2SerialPower() const { return powerText(usb2SerialPowerAnalyzed, 17); }
  const char* getMagnetSensorPower() const { return powerText(magnetSensorPowerAnalyzed, 18); }
  const char* getApd33VAPower() const { return powerText(apd33VAPowerAnalyzed, 19); }
  const char* getApd33VBPower() const { return powerText(apd33VBPowerAnalyzed, 20); }
  const char* getApdMainPower() const { return powerText(apdMainPowerAnalyzed, 21); }
  const char* getCameraPower() const { return powerText(cameraPowerAnalyzed, 22); }
  const char* getAsmPower() const { return powerText(asmPowerAnalyzed, 23); }
  const char* getCwTxPower() const { return powerText(cwTxPowerAnalyzed, 24); }
  const char* getAmateurServiceRxPower() const { return powerText(amateurServiceRxPowerAnalyzed, 25); }
  const char* getFmTxPower() const { return powerText(fmTxPowerAnalyzed, 26); }
  int getFmPacketFrameNumber() const;
  int getFmPacketInterval() const;  // seconds

 private:
  std::uint32_t bits(int shift, std::uint32_t mask) const { return (statusWord >> shift) & mask; }
  const char* powerText(bool analyzed, int bit) const;
  void clearFlagsOfLetter(int letter);

  std::uint32_t statusWord = 0;
  char32_t notCopiedMark;
  bool fmAnalyzed;
  bool fmProtocolAnalyzed;
  bool fmModeAnalyzed;
  bool serviceModeAnalyzed;
  bool numberOfPicturesAnalyzed;
  bool antennaAnalyzed;
  bool usb2SerialPowerAnalyzed;
  bool magnetSensorPowerAnalyzed;
  bool apd33VAPowerAnalyzed;
  bool apd33VBPowerAnalyzed;
  bool apdMainPowerAnalyzed;
  bool cameraPowerAnalyzed;
  bool asmPowerAnalyzed;
  bool cwTxPowerAnalyzed;
  bool amateurServiceRxPowerAnalyzed;
  bool fmTxPowerAnalyzed;
  bool fmPacketFrameNumberAnalyzed;
  bool fmPacketIntervalAnalyzed;
};

}  // namespace quillon
