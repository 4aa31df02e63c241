// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/housekeeping.h"

namespace quillon {

namespace {

// Formulas are evaluated left to right as written, raw first multiplied by its factor:
// the digits of every report depend on it.
double volts616(std::uint32_t raw) { return raw * 6.16 / 255; }
double volts924(std::uint32_t raw) { return raw * 9.24 / 255; }
double volts308(std::uint32_t raw) { return raw * 3.08 / 255; }
double celsius(std::uint32_t raw) { return (raw * 3.08 / 255 - 0.424) / 0.00625; }
double amperes(std::uint32_t raw) { return (raw * 3.08 / 255) * (-1.003) + 1.486; }

constexpr std::string_view kOnOff[] = {"turned off", "turned on"};
constexpr std::string_view kActive[] = {"inactive", "active"};
constexpr std::string_view kFlightDebug[] = {"FLIGHT", "DEBUG"};
constexpr std::string_view kAntenna[] = {"folded", "deployed"};
constexpr std::string_view kAmateurService[] = {"DIGI off", "DIGI on", "MAILBOX on", "DIGI off"};

enum Part { Values, Status, Power };
constexpr DecoderPart kParts[] = {HouseKeepingValues::kPart, HouseKeepingStatus::kPart, HouseKeepingPower::kPart};

constexpr FieldRow kVoltages[] = {
    engineering("voltage33V", "Voltage of 3.3V system is ", byteBits(0), volts616, " [V]"),
    engineering("voltage5V", "Voltage of 5V system is ", byteBits(1), volts616, " [V]"),
    engineering("batteryVoltage", "Voltage of battery is ", byteBits(2), volts616, " [V]"),
    engineering("mainBusVoltage", "Voltage of main bus is ", byteBits(3), volts924, " [V]"),
};

// "Amatuer" as the satellite's operators log it.
constexpr FieldRow kModes[] = {
    state("satelliteMode", "Satellite mode is ", byteBits(0, 7, 1), kFlightDebug),
    state("usbPower", "USB Power is ", byteBits(0, 6, 1), kOnOff),
    state("rxMutualMonitor", "Rx mutual monitor is ", byteBits(0, 5, 1), kActive),
    state("txMutualMonitor", "Tx mutual monitor is ", byteBits(0, 4, 1), kActive),
    state("antenna", "Antenna is ", byteBits(0, 3, 1), kAntenna),
    state("dtmfFlag", "DTMF flag is ", byteBits(0, 2, 1), kOnOff),
    state("amateurServiceMode", "Amatuer service mode : ", byteBits(0, 0, 2), kAmateurService),
};

// The battery temperature label has no blank before the number: operators' logs carry it so.
constexpr FieldRow kSensors[] = {
    engineering("commBoardTemperature", "Temperature of communication board is ", byteBits(5), celsius, " ['C]"),
    engineering("batteryTemperature", "Temperature of battery is", byteBits(6), celsius, " ['C]"),
    engineering("batteryCurrent", "Current of battery is ", byteBits(7), amperes, " [A]"),
    engineering("sMeter144MHz", "S meter of 144MHz is ", byteBits(8), volts308, " [V]"),
    engineering("sMeter1_2GHz", "S meter of 1.2GHz is ", byteBits(9), volts308, " [V]"),
};

constexpr FieldRow kPower[] = {
    state("apd33VAPower", "APD 3.3V A power is ", byteBits(0, 7, 1), kOnOff),
    state("apd33VBPower", "APD 3.3V B power is ", byteBits(0, 6, 1), kOnOff),
    state("apdMainPower", "APD main power is ", byteBits(0, 5, 1), kOnOff),
    state("daqPower", "DAQ power is ", byteBits(0, 4, 1), kOnOff),
    state("pdaPower", "PDA is ", byteBits(0, 3, 1), kOnOff),
    state("th59Power", "TH-59 power is ", byteBits(0, 2, 1), kOnOff),
    state("cwPower", "CW power is ", byteBits(0, 1, 1), kOnOff),
    state("djC5TxPower", "DJ-C5(TX) power is ", byteBits(0, 0, 1), kOnOff),
};

constexpr FieldGroup kGroups[] = {
    {Values, kVoltages},
    {Status, kModes},
    {Values, kSensors},
    {Power, kPower},
};

}  // namespace

constexpr FrameRule kHouseKeepingFrame{"hk", "House Keeping", "Tanager CW House Keeping Status", 22, kParts, kGroups};
static_assert(frameIsSound(kHouseKeepingFrame));

}  // namespace quillon
