#include "hk/field_table.h"
#include "status/pda_status.h"
#include "status/satellite_status.h"

namespace quillon {

namespace {

using Sat = SatelliteStatus;
using Pda = PdaStatus;

const FieldRow<Sat> kSatellite[] = {
    {"fm", "FM is ", &Sat::isFmAnalyzed, &Sat::getFm},
    {"fmProtocol", "FM protocol is ", &Sat::isFmProtocolAnalyzed, &Sat::getFmProtocol},
    {"fmMode", "FM mode is ", &Sat::isFmModeAnalyzed, &Sat::getFmMode},
    {"serviceMode", "Service mode is ", &Sat::isServiceModeAnalyzed, &Sat::getServiceMode},
    {"numberOfPictures", "The number of pictures are ", &Sat::isNumberOfPicturesAnalyzed,
     &Sat::getNumberOfPictures},
    {"antenna", "Antenna is ", &Sat::isAntennaAnalyzed, &Sat::getAntenna},
    {"usb2SerialPower", "USB2Serial power is ", &Sat::isUsb2SerialPowerAnalyzed, &Sat::getUsb2SerialPower},
    {"magnetSensorPower", "Magnet sensor power is ", &Sat::isMagnetSensorPowerAnalyzed,
     &Sat::getMagnetSensorPower},
    {"apd33VAPower", "APD 3.3V A power is ", &Sat::isApd33VAPowerAnalyzed, &Sat::getApd33VAPower},
    {"apd33VBPower", "APD 3.3V B power is ", &Sat::isApd33VBPowerAnalyzed, &Sat::getApd33VBPower},
    {"apdMainPower", "APD main power is ", &Sat::isApdMainPowerAnalyzed, &Sat::getApdMainPower},
    {"cameraPower", "Camera power is ", &Sat::isCameraPowerAnalyzed, &Sat::getCameraPower},
    {"asmPower", "ASM power is ", &Sat::isAsmPowerAnalyzed, &Sat::getAsmPower},
    {"cwTxPower", "CW TX power is ", &Sat::isCwTxPowerAnalyzed, &Sat::getCwTxPower},
    {"amateurServiceRxPower", "Amateur service RX power is ", &Sat::isAmateurServiceRxPowerAnalyzed,
     &Sat::getAmateurServiceRxPower},
    {"fmTxPower", "FM TX power is ", &Sat::isFmTxPowerAnalyzed, &Sat::getFmTxPower},
    {"fmPacketFrameNumber", "FM packet frame number is ", &Sat::isFmPacketFrameNumberAnalyzed,
     &Sat::getFmPacketFrameNumber},
    {"fmPacketInterval", "FM packet interval(sec) is ", &Sat::isFmPacketIntervalAnalyzed,
     &Sat::getFmPacketInterval},
};

// Report order, not bit order: the log file mode follows the log file period.
const FieldRow<Pda> kPda[] = {
    {"wdtStatus", "WDT status is ", &Pda::isWdtStatusAnalyzed, &Pda::getWdtStatus},
    {"pdaNumber", "PDA number is ", &Pda::isPdaNumberAnalyzed, &Pda::getPdaNumber},
    {"onBoardTime", "On board time is ", &Pda::isOnBoardTimeAnalyzed, &Pda::getOnBoardTime},
    {"usb2SerialStatus", "USB2Serial status is ", &Pda::isUsb2SerialStatusAnalyzed,
     &Pda::getUsb2SerialStatus},
    {"cameraStatus", "Camera status is ", &Pda::isCameraStatusAnalyzed, &Pda::getCameraStatus},
    {"logFileFreq", "Log file freq(sec) is ", &Pda::isLogFileFreqAnalyzed, &Pda::getLogFileFreq},
    {"logFileMode", "Log file mode is ", &Pda::isLogFileModeAnalyzed, &Pda::getLogFileMode},
    {"tle", "TLE is ", &Pda::isTleAnalyzed, &Pda::getTle},
    {"torquerControl", "Torquer control is ", &Pda::isTorquerControlAnalyzed, &Pda::getTorquerControl},
    {"apdStatus", "APD status is ", &Pda::isApdStatusAnalyzed, &Pda::getApdStatus},
    {"apdSampleFreq", "APD sample freq(sec) is ", &Pda::isApdSampleFreqAnalyzed, &Pda::getApdSampleFreq},
    {"apdFileMode", "APD file mode is ", &Pda::isApdFileModeAnalyzed, &Pda::getApdFileMode},
    {"tether", "tether is ", &Pda::isTetherAnalyzed, &Pda::getTether},
    {"imageFormat", "Image format is ", &Pda::isImageFormatAnalyzed, &Pda::getImageFormat},
    {"sunSensor1", "Sun sensor 1 is ", &Pda::isSunSensor1Analyzed, &Pda::getSunSensor1},
    {"sunSensor2", "Sun sensor 2 is ", &Pda::isSunSensor2Analyzed, &Pda::getSunSensor2},
    {"sunSensor3", "Sun sensor 3 is ", &Pda::isSunSensor3Analyzed, &Pda::getSunSensor3},
    {"sunSensor4", "Sun sensor 4 is ", &Pda::isSunSensor4Analyzed, &Pda::getSunSensor4},
    {"sunSensor5", "Sun sensor 5 is ", &Pda::isSunSensor5Analyzed, &Pda::getSunSensor5},
};

}  // namespace

std::vector<Field> satelliteFields(std::u32string_view l) {
  SatelliteStatus status;
  status.parse(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7]);
  std::vector<Field> fields;
  readFields(fields, status, kSatellite);
  return fields;
}

std::vector<Field> pdaFields(std::u32string_view l) {
  PdaStatus status;
  status.parse(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7]);
  std::vector<Field> fields;
  readFields(fields, status, kPda);
  return fields;
}

}  // namespace quillon
