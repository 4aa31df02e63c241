#include "status/pda_status.h"

#include "hk/letters.h"

namespace quillon {

namespace {

constexpr const char* kNotAnalyzed = "not analyzed";

constexpr int kLogFileSeconds[8] = {1, 2, 5, 10, 30, 60, 120, 240};
constexpr int kApdSampleSeconds[8] = {5, 10, 30, 60, 120, 300, 600, 1200};
constexpr const char* kApdFileMode[4] = {"no access", "writting", "reading", "error @ APD File Mode"};
constexpr const char* kLogFileMode[4] = {"no access", "writting", "reading", "error @ Log File Mode"};
constexpr const char* kImageFormat[4] = {"Windows bitmap", "UYVY", "JPEG (HIGH)", "JPEG (LOW)"};

}  // namespace

PdaStatus::PdaStatus() : notCopiedMark(kNotCopiedMark) { setAllAnalyzed(false); }

void PdaStatus::setAllAnalyzed(bool value) {
  wdtStatusAnalyzed = pdaNumberAnalyzed = onBoardTimeAnalyzed = usb2SerialStatusAnalyzed = value;
  cameraStatusAnalyzed = logFileFreqAnalyzed = tleAnalyzed = torquerControlAnalyzed = value;
  apdStatusAnalyzed = apdSampleFreqAnalyzed = apdFileModeAnalyzed = tetherAnalyzed = value;
  imageFormatAnalyzed = sunSensor1Analyzed = sunSensor2Analyzed = sunSensor3Analyzed = value;
  sunSensor4Analyzed = sunSensor5Analyzed = logFileModeAnalyzed = value;
}

// Every field with a bit in letter n (1 = bits 31-28 ... 8 = bits 3-0).
void PdaStatus::clearFlagsOfLetter(int letter) {
  switch (letter) {
    case 1: logFileModeAnalyzed = sunSensor5Analyzed = sunSensor4Analyzed = false; break;
    case 2: sunSensor3Analyzed = sunSensor2Analyzed = sunSensor1Analyzed = imageFormatAnalyzed = false; break;
    case 3: imageFormatAnalyzed = tetherAnalyzed = apdFileModeAnalyzed = false; break;
    case 4: apdSampleFreqAnalyzed = apdStatusAnalyzed = false; break;
    case 5: torquerControlAnalyzed = tleAnalyzed = logFileFreqAnalyzed = false; break;
    case 6: logFileFreqAnalyzed = false; break;
    case 7: cameraStatusAnalyzed = usb2SerialStatusAnalyzed = false; break;
    case 8: onBoardTimeAnalyzed = pdaNumberAnalyzed = wdtStatusAnalyzed = false; break;
    default: break;
  }
}

bool PdaStatus::parse(char32_t letter1, char32_t letter2, char32_t letter3, char32_t letter4,
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

const char* PdaStatus::enableText(bool analyzed, std::uint32_t code) {
  return !analyzed ? kNotAnalyzed : code != 0 ? "enable" : "disable";
}
const char* PdaStatus::sunText(bool analyzed, int bit) const {
  return !analyzed ? kNotAnalyzed : bits(bit, 1) ? "active" : "inactive";
}
int PdaStatus::getPdaNumber() const { return pdaNumberAnalyzed ? static_cast<int>(bits(1, 3)) : -2; }
const char* PdaStatus::getOnBoardTime() const {
  return !onBoardTimeAnalyzed ? kNotAnalyzed : bits(3, 1) ? "synchronized" : "not synchronized";
}
int PdaStatus::getLogFileFreq() const { return logFileFreqAnalyzed ? kLogFileSeconds[bits(11, 7)] : -2; }
const char* PdaStatus::getTle() const {
  return !tleAnalyzed ? kNotAnalyzed : bits(14, 1) ? "uplinked" : "not uplinked";
}
int PdaStatus::getApdSampleFreq() const {
  return apdSampleFreqAnalyzed ? kApdSampleSeconds[bits(17, 7)] : -2;
}
const char* PdaStatus::getApdFileMode() const {
  return apdFileModeAnalyzed ? kApdFileMode[bits(20, 3)] : kNotAnalyzed;
}
const char* PdaStatus::getImageFormat() const {
  return imageFormatAnalyzed ? kImageFormat[bits(23, 3)] : kNotAnalyzed;
}
const char* PdaStatus::getLogFileMode() const {
  return logFileModeAnalyzed ? kLogFileMode[bits(30, 3)] : kNotAnalyzed;
}

}  // namespace quillon
