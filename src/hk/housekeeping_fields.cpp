#include "hk/field_table.h"
#include "hk/housekeeping.h"

namespace quillon {

namespace {

using V = HouseKeepingValues;
using S = HouseKeepingStatus;
using P = HouseKeepingPower;

const FieldRow<V> kVoltages[] = {
    {"voltage33V", "Voltage of 3.3V system is ", &V::isVoltage33VAnalyzed, &V::getVoltage33V, " [V]"},
    {"voltage5V", "Voltage of 5V system is ", &V::isVoltage5VAnalyzed, &V::getVoltage5V, " [V]"},
    {"batteryVoltage", "Voltage of battery is ", &V::isBatteryVoltageAnalyzed, &V::getBatteryVoltage, " [V]"},
    {"mainBusVoltage", "Voltage of main bus is ", &V::isMainBusVoltageAnalyzed, &V::getMainBusVoltage,
     " [V]"},
};

const FieldRow<S> kModes[] = {
    {"satelliteMode", "Satellite mode is ", &S::isSatelliteModeAnalyzed, &S::getSatelliteMode},
    {"usbPower", "USB Power is ", &S::isUsbPowerAnalyzed, &S::getUsbPower},
    {"rxMutualMonitor", "Rx mutual monitor is ", &S::isRxMutualMonitorAnalyzed, &S::getRxMutualMonitor},
    {"txMutualMonitor", "Tx mutual monitor is ", &S::isTxMutualMonitorAnalyzed, &S::getTxMutualMonitor},
    {"antenna", "Antenna is ", &S::isAntennaAnalyzed, &S::getAntenna},
    {"dtmfFlag", "DTMF flag is ", &S::isDtmfFlagAnalyzed, &S::getDtmfFlag},
    {"amateurServiceMode", "Amatuer service mode : ", &S::isAmateurServiceModeAnalyzed,
     &S::getAmateurServiceMode},
};

// The battery temperature label has no blank before the number: operators' logs carry it so.
const FieldRow<V> kSensors[] = {
    {"commBoardTemperature", "Temperature of communication board is ", &V::isCommBoardTemperatureAnalyzed,
     &V::getCommBoardTemperature, " ['C]"},
    {"batteryTemperature", "Temperature of battery is", &V::isBatteryTemperatureAnalyzed,
     &V::getBatteryTemperature, " ['C]"},
    {"batteryCurrent", "Current of battery is ", &V::isBatteryCurrentAnalyzed, &V::getBatteryCurrent, " [A]"},
    {"sMeter144MHz", "S meter of 144MHz is ", &V::isSMeter144MHzAnalyzed, &V::getSMeter144MHz, " [V]"},
    {"sMeter1_2GHz", "S meter of 1.2GHz is ", &V::isSMeter1_2GHzAnalyzed, &V::getSMeter1_2GHz, " [V]"},
};

// Bit 7 of the power byte first.
const FieldRow<P> kPower[] = {
    {"apd33VAPower", "APD 3.3V A power is ", &P::isApd33VAPowerAnalyzed, &P::getApd33VAPower},
    {"apd33VBPower", "APD 3.3V B power is ", &P::isApd33VBPowerAnalyzed, &P::getApd33VBPower},
    {"apdMainPower", "APD main power is ", &P::isApdMainPowerAnalyzed, &P::getApdMainPower},
    {"daqPower", "DAQ power is ", &P::isDaqPowerAnalyzed, &P::getDaqPower},
    {"pdaPower", "PDA is ", &P::isPdaPowerAnalyzed, &P::getPdaPower},
    {"th59Power", "TH-59 power is ", &P::isTh59PowerAnalyzed, &P::getTh59Power},
    {"cwPower", "CW power is ", &P::isCwPowerAnalyzed, &P::getCwPower},
    {"djC5TxPower", "DJ-C5(TX) power is ", &P::isDjC5TxPowerAnalyzed, &P::getDjC5TxPower},
};

}  // namespace

std::vector<FieldGroup> houseKeepingFields(std::u32string_view letters) {
  HouseKeepingValues values;
  HouseKeepingPower power;
  HouseKeepingStatus status;
  values.parse(letters.substr(0, 20));
  power.parse(letters[20], letters[21]);
  status.parse(letters[8], letters[9]);

  std::vector<FieldGroup> groups(4);
  readFields(groups[0].fields, values, kVoltages);
  readFields(groups[1].fields, status, kModes);
  readFields(groups[2].fields, values, kSensors);
  readFields(groups[3].fields, power, kPower);
  return groups;
}

}  // namespace quillon
