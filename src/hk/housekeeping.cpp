#include "hk/housekeeping.h"

#include <algorithm>

#include "hk/letters.h"

namespace quillon {

namespace {

constexpr const char* kNotAnalyzed = "not analyzed";

const char* onOff(bool on) { return on ? "turned on" : "turned off"; }

// Formulas are evaluated left to right as written, raw first multiplied by its factor:
// the digits of every report depend on it.
double voltage616(std::uint32_t raw) { return raw * 6.16 / 255; }
double voltage924(std::uint32_t raw) { return raw * 9.24 / 255; }
double sensor308(std::uint32_t raw) { return raw * 3.08 / 255; }
double temperature(std::uint32_t raw) { return (raw * 3.08 / 255 - 0.424) / 0.00625; }
double current(std::uint32_t raw) { return (raw * 3.08 / 255) * (-1.003) + 1.486; }

}  // namespace

// --- HouseKeepingValues: letters 1-20, frame bytes 0-9 -------------------------------

HouseKeepingValues::HouseKeepingValues() : notCopiedMark(kNotCopiedMark) { setAllAnalyzed(false); }

void HouseKeepingValues::setAllAnalyzed(bool v) { std::fill(std::begin(analyzed), std::end(analyzed), v); }

bool HouseKeepingValues::parse(std::u32string_view letters) {
  if (letters.size() < 20) return false;
  for (std::size_t n = 0; n < 20; ++n) {
    if (!isHexLetterOrMark(letters[n], notCopiedMark)) return false;
  }
  setAllAnalyzed(true);
  for (std::size_t k = 0; k < 10; ++k) {
    const char32_t high = letters[2 * k];
    const char32_t low = letters[2 * k + 1];
    if (high == notCopiedMark || low == notCopiedMark) analyzed[k] = false;
    const int h = high == notCopiedMark ? 0 : hexLetterValue(high);
    const int l = low == notCopiedMark ? 0 : hexLetterValue(low);
    rawByte[k] = static_cast<std::uint32_t>(16 * h + l);
  }
  return true;
}

double HouseKeepingValues::getVoltage33V() const { return analyzed[0] ? voltage616(rawByte[0]) : -2.0; }
double HouseKeepingValues::getVoltage5V() const { return analyzed[1] ? voltage616(rawByte[1]) : -2.0; }
double HouseKeepingValues::getBatteryVoltage() const { return analyzed[2] ? voltage616(rawByte[2]) : -2.0; }
double HouseKeepingValues::getMainBusVoltage() const { return analyzed[3] ? voltage924(rawByte[3]) : -2.0; }
double HouseKeepingValues::getCommBoardTemperature() const {
  return analyzed[5] ? temperature(rawByte[5]) : -2.0;
}
double HouseKeepingValues::getBatteryTemperature() const {
  return analyzed[6] ? temperature(rawByte[6]) : -2.0;
}
double HouseKeepingValues::getBatteryCurrent() const { return analyzed[7] ? current(rawByte[7]) : -2.0; }
double HouseKeepingValues::getSMeter144MHz() const { return analyzed[8] ? sensor308(rawByte[8]) : -2.0; }
double HouseKeepingValues::getSMeter1_2GHz() const { return analyzed[9] ? sensor308(rawByte[9]) : -2.0; }

// --- HouseKeepingStatus: letters 9-10, frame byte 4 -------------------------------------

HouseKeepingStatus::HouseKeepingStatus() : notCopiedMark(kNotCopiedMark) { setAllAnalyzed(false); }

void HouseKeepingStatus::setAllAnalyzed(bool v) {
  satelliteModeAnalyzed = usbPowerAnalyzed = rxMutualMonitorAnalyzed = txMutualMonitorAnalyzed = v;
  antennaAnalyzed = dtmfFlagAnalyzed = amateurServiceModeAnalyzed = v;
}

bool HouseKeepingStatus::parse(char32_t letter9, char32_t letter10) {
  if (!isHexLetterOrMark(letter9, notCopiedMark) || !isHexLetterOrMark(letter10, notCopiedMark)) {
    return false;
  }
  setAllAnalyzed(true);
  int high = hexLetterValue(letter9);
  int low = hexLetterValue(letter10);
  if (letter9 == notCopiedMark) {
    satelliteModeAnalyzed = usbPowerAnalyzed = rxMutualMonitorAnalyzed = txMutualMonitorAnalyzed = false;
    high = 0;
  }
  if (letter10 == notCopiedMark) {
    antennaAnalyzed = dtmfFlagAnalyzed = amateurServiceModeAnalyzed = false;
    low = 0;
  }
  const auto raw = static_cast<std::uint32_t>(16 * high + low);
  statusBits = 0;
  for (int i = 0; i < 8; ++i) {
    const int stored = i == 0 ? 6 : i == 1 ? 7 : 7 - i;
    statusBits |= ((raw >> i) & 1U) << stored;
  }
  return true;
}

const char* HouseKeepingStatus::getSatelliteMode() const {
  return !satelliteModeAnalyzed ? kNotAnalyzed : storedBit(0) ? "DEBUG" : "FLIGHT";
}
const char* HouseKeepingStatus::getUsbPower() const {
  return !usbPowerAnalyzed ? kNotAnalyzed : onOff(storedBit(1));
}
const char* HouseKeepingStatus::getRxMutualMonitor() const {
  return !rxMutualMonitorAnalyzed ? kNotAnalyzed : storedBit(2) ? "active" : "inactive";
}
const char* HouseKeepingStatus::getTxMutualMonitor() const {
  return !txMutualMonitorAnalyzed ? kNotAnalyzed : storedBit(3) ? "active" : "inactive";
}
const char* HouseKeepingStatus::getAntenna() const {
  return !antennaAnalyzed ? kNotAnalyzed : storedBit(4) ? "deployed" : "folded";
}
const char* HouseKeepingStatus::getDtmfFlag() const {
  return !dtmfFlagAnalyzed ? kNotAnalyzed : onOff(storedBit(5));
}
const char* HouseKeepingStatus::getAmateurServiceMode() const {
  if (!amateurServiceModeAnalyzed) return kNotAnalyzed;
  switch ((statusBits >> 6) & 3U) {
    case 1: return "DIGI on";
    case 2: return "MAILBOX on";
    default: return "DIGI off";
  }
}

// --- HouseKeepingPower: letters 21-22, frame byte 10 ------------------------------------

HouseKeepingPower::HouseKeepingPower() : notCopiedMark(kNotCopiedMark) { setAllAnalyzed(false); }

void HouseKeepingPower::setAllAnalyzed(bool v) { std::fill(std::begin(analyzed), std::end(analyzed), v); }

bool HouseKeepingPower::parse(char32_t letter21, char32_t letter22) {
  if (!isHexLetterOrMark(letter21, notCopiedMark) || !isHexLetterOrMark(letter22, notCopiedMark)) {
    return false;
  }
  setAllAnalyzed(true);
  int high = hexLetterValue(letter21);
  int low = hexLetterValue(letter22);
  if (letter21 == notCopiedMark) {
    std::fill(analyzed + 4, analyzed + 8, false);
    high = 0;
  }
  if (letter22 == notCopiedMark) {
    std::fill(analyzed, analyzed + 4, false);
    low = 0;
  }
  powerBits = static_cast<std::uint32_t>(16 * high + low);
  return true;
}

const char* HouseKeepingPower::bitText(int bit) const {
  return analyzed[bit] ? onOff(((powerBits >> bit) & 1U) != 0) : kNotAnalyzed;
}

}  // namespace quillon
