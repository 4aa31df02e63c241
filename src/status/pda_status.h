#pragma once
// PDA status word, 8 letters; letter 1 holds bits 31-28, letter 8 bits 3-0.
//
//   31-30 log file mode | 29..25 sun sensors 5..1 | 24-23 image format | 22 tether |
//   21-20 APD file mode | 19-17 APD sample period | 16 APD | 15 torquer | 14 TLE |
//   13-11 log file period | 10-7 unused | 6-5 camera | 4 USB2Serial | 3 on-board time |
//   2-1 PDA number | 0 WDT
//
// A field is analysed only when every letter holding one of its bits was copied.

#include <cstdint>

namespace quillon {

class PdaStatus {
 public:
  PdaStatus();

  bool parse(char32_t letter1, char32_t letter2, char32_t letter3, char32_t letter4, char32_t letter5,
             char32_t letter6, char32_t letter7, char32_t letter8);
  void setAllAnalyzed(bool value);

  bool isWdtStatusAnalyzed() const { return wdtStatusAnalyzed; }
  bool isPdaNumberAnalyzed() const { return pdaNumberAnalyzed; }
  bool isOnBoardTimeAnalyzed() const { return onBoardTimeAnalyzed; }
  bool isUsb2SerialStatusAnalyzed() const { return usb2SerialStatusAnalyzed; }
  bool isCameraStatusAnalyzed() const { return cameraStatusAnalyzed; }
  bool isLogFileFreqAnalyzed() const { return logFileFreqAnalyzed; }
  bool isTleAnalyzed() const { return tleAnalyzed; }
  bool isTorquerControlAnalyzed() const { return torquerControlAnalyzed; }
  bool isApdStatusAnalyzed() const { return apdStatusAnalyzed; }
  bool isApdSampleFreqAnalyzed() const { return apdSampleFreqAnalyzed; }
  bool isApdFileModeAnalyzed() const { return apdFileModeAnalyzed; }
  bool isTetherAnalyzed() const { return tetherAnalyzed; }
  bool isImageFormatAnalyzed() const { return imageFormatAnalyzed; }
  bool isSunSensor1Analyzed() const { return sunSensor1Analyzed; }
  bool isSunSensor2Analyzed() const { return sunSensor2Analyzed; }
  bool isSunSensor3Analyzed() const { return sunSensor3Analyzed; }
  bool isSunSensor4Analyzed() const { return sunSensor4Analyzed; }
  bool isSunSensor5Analyzed() const { return sunSensor5Analyzed; }
  bool isLogFileModeAnalyzed() const { return logFileModeAnalyzed; }

  // Texts answer "not analyzed" and numbers -2 for a field that is not analysed.
  const char* getWdtStatus() const { return enableText(wdtStatusAnalyzed, bits(0, 1)); }
  int getPdaNumber() const;
  const char* getOnBoardTime() const;
  const char* getUsb2SerialStatus() const { return enableText(usb2SerialStatusAnalyzed, bits(4, 1)); }
  const char* getCameraStatus() const { return enableText(cameraStatusAnalyzed, bits(5, 3)); }
  int getLogFileFreq() const;  // seconds
  const char* getTle() const;
  const char* getTorquerControl() const { return enableText(torquerControlAnalyzed, bits(15, 1)); }
  const char* getApdStatus() const { return enableText(apdStatusAnalyzed, bits(16, 1)); }
  int getApdSampleFreq() const;  // seconds
  const char* getApdFileMode() const;
  const char* getTether() const { return enableText(tetherAnalyzed, bits(22, 1)); }
  const char* getImageFormat() const;
  const char* getSunSensor1() const { return sunText(sunSensor1Analyzed, 25); }
  const char* getSunSensor2() const { return sunText(sunSensor2Analyzed, 26); }
  const char* getSunSensor3() const { return sunText(sunSensor3Analyzed, 27); }
  const char* getSunSensor4() const { return sunText(sunSensor4Analyzed, 28); }
  const char* getSunSensor5() const { return sunText(sunSensor5Analyzed, 29); }
  const char* getLogFileMode() const;

 private:
  std::uint32_t bits(int shift, std::uint32_t mask) const { return (statusWord >> shift) & mask; }
  static const char* enableText(bool analyzed, std::uint32_t code);
  const char* sunText(bool analyzed, int bit) const;
  void clearFlagsOfLetter(int letter);

  std::uint32_t statusWord = 0;
  char32_t notCopiedMark;
  bool wdtStatusAnalyzed;
  bool pdaNumberAnalyzed;
  bool onBoardTimeAnalyzed;
  bool usb2SerialStatusAnalyzed;
  bool cameraStatusAnalyzed;
  bool logFileFreqAnalyzed;
  bool tleAnalyzed;
  bool torquerControlAnalyzed;
  bool apdStatusAnalyzed;
  bool apdSampleFreqAnalyzed;
  bool apdFileModeAnalyzed;
  bool tetherAnalyzed;
  bool imageFormatAnalyzed;
  bool sunSensor1Analyzed;
  bool sunSensor2Analyzed;
  bool sunSensor3Analyzed;
  bool sunSensor4Analyzed;
  bool sunSensor5Analyzed;
  bool logFileModeAnalyzed;
};

}  // namespace quillon
