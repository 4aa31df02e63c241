#pragma once
// House-keeping frame, 22 letters after the beacon word "TNGR" (one byte = two letters):
//
//   byte  0    1    2    3    4     5     6     7     8     9     10
//   V3.3 V5   Vbat Vbus MODE  Tcomm Tbat  Ibat  S144  S1.2G POWER
//
// HouseKeepingValues decodes letters 1-20, HouseKeepingStatus letters 9-10 (MODE),
// HouseKeepingPower letters 21-22 (POWER). A field whose letters hold an 'x' is not
// analysed; a decoder that meets an invalid letter analyses nothing.

#include <cstdint>
#include <string_view>

namespace quillon {

class HouseKeepingValues {
 public:
  HouseKeepingValues();

  // Letters 1-20 in frame order; needs at least 20 letters.
  bool parse(std::u32string_view letters);
  void setAllAnalyzed(bool v);

  bool isVoltage33VAnalyzed() const { return analyzed[0]; }
  bool isVoltage5VAnalyzed() const { return analyzed[1]; }
  bool isBatteryVoltageAnalyzed() const { return analyzed[2]; }
  bool isMainBusVoltageAnalyzed() const { return analyzed[3]; }
  bool isCommBoardTemperatureAnalyzed() const { return analyzed[5]; }
  bool isBatteryTemperatureAnalyzed() const { return analyzed[6]; }
  bool isBatteryCurrentAnalyzed() const { return analyzed[7]; }
  bool isSMeter144MHzAnalyzed() const { return analyzed[8]; }
  bool isSMeter1_2GHzAnalyzed() const { return analyzed[9]; }

  // Engineering values; -2.0 when the field is not analysed.
  double getVoltage33V() const;            // V
  double getVoltage5V() const;             // V
  double getBatteryVoltage() const;        // V
  double getMainBusVoltage() const;        // V
  double getCommBoardTemperature() const;  // degrees Celsius
  double getBatteryTemperature() const;    // degrees Celsius
  double getBatteryCurrent() const;        // A
  double getSMeter144MHz() const;          // V
  double getSMeter1_2GHz() const;          // V

 private:
  std::uint32_t rawByte[10] = {};
  char32_t notCopiedMark;
  bool analyzed[10];  // entry k belongs to frame byte k; byte 4 (mode flags) has no query
};

class HouseKeepingStatus {
 public:
  HouseKeepingStatus();

  bool parse(char32_t letter9, char32_t letter10);
  void setAllAnalyzed(bool v);

  bool isSatelliteModeAnalyzed() const { return satelliteModeAnalyzed; }
  bool isUsbPowerAnalyzed() const { return usbPowerAnalyzed; }
  bool isRxMutualMonitorAnalyzed() const { return rxMutualMonitorAnalyzed; }
  bool isTxMutualMonitorAnalyzed() const { return txMutualMonitorAnalyzed; }
  bool isAntennaAnalyzed() const { return antennaAnalyzed; }
  bool isDtmfFlagAnalyzed() const { return dtmfFlagAnalyzed; }
  bool isAmateurServiceModeAnalyzed() const { return amateurServiceModeAnalyzed; }

  // State texts; "not analyzed" when the field is not analysed.
  const char* getSatelliteMode() const;
  const char* getUsbPower() const;
  const char* getRxMutualMonitor() const;
  const char* getTxMutualMonitor() const;
  const char* getAntenna() const;
  const char* getDtmfFlag() const;
  const char* getAmateurServiceMode() const;

 private:
  bool storedBit(int n) const { return ((statusBits >> n) & 1U) != 0; }

  // Frame byte 4 re-ordered: frame bits 7..2 in stored bits 0..5, frame bits 1-0 in 7-6.
  std::uint32_t statusBits = 0;
  char32_t notCopiedMark;
  bool satelliteModeAnalyzed;
  bool usbPowerAnalyzed;
  bool rxMutualMonitorAnalyzed;
  bool txMutualMonitorAnalyzed;
  bool antennaAnalyzed;
  bool dtmfFlagAnalyzed;
  bool amateurServiceModeAnalyzed;
};

class HouseKeepingPower {
 public:
  HouseKeepingPower();

  bool parse(char32_t letter21, char32_t letter22);
  void setAllAnalyzed(bool v);

  bool isApd33VAPowerAnalyzed() const { return analyzed[7]; }
  bool isApd33VBPowerAnalyzed() const { return analyzed[6]; }
  bool isApdMainPowerAnalyzed() const { return analyzed[5]; }
  bool isDaqPowerAnalyzed() const { return analyzed[4]; }
  bool isPdaPowerAnalyzed() const { return analyzed[3]; }
  bool isTh59PowerAnalyzed() const { return analyzed[2]; }
  bool isCwPowerAnalyzed() const { return analyzed[1]; }
  bool isDjC5TxPowerAnalyzed() const { return analyzed[0]; }

  // "turned on" / "turned off"; "not analyzed" when the field is not analysed.
  const char* getApd33VAPower() const { return bitText(7); }
  const char* getApd33VBPower() const { return bitText(6); }
  const char* getApdMainPower() const { return bitText(5); }
  const char* getDaqPower() const { return bitText(4); }
  const char* getPdaPower() const { return bitText(3); }
  const char* getTh59Power() const { return bitText(2); }
  const char* getCwPower() const { return bitText(1); }
  const char* getDjC5TxPower() const { return bitText(0); }

 private:
  const char* bitText(int bit) const;

  std::uint32_t powerBits = 0;  // frame byte 10 as sent
  char32_t notCopiedMark;
  bool analyzed[8];  // entry b belongs to bit b
};

}  // namespace quillon
