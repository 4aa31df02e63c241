// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames/statuswords.h"

namespace quillon {

namespace {

constexpr std::string_view kOnOff[] = {"turned off", "turned on"};
constexpr std::string_view kEnable[] = {"disable", "enable"};
constexpr std::string_view kActive[] = {"inactive", "active"};

// --- Satellite status word -----------------------------------------------------------

constexpr std::string_view kFm[] = {"not transmitting", "transmitting"};
constexpr std::string_view kFmProtocol[] = {"AFSK 1200bps Ax.25", "GMSK 9600bps Ax.25", "AFSK 1200bps SRLL",
                                            "GMSK 1200bps SRLL"};
constexpr std::string_view kFmMode[] = {
    "realtime 3 frames mode",        "realtime 2 frames mode",       "realtime 1 frame mode",
    "realtime 10Hz gyro data mode",  "realtime sun sensor data mode", "picture downlink mode",
    "past data playback mode",       "past apd data playback mode",  "tether data mode",
    "gyro data of separation mode",  "not used mode",                "not used mode",
    "not used mode",                 "not used mode",                "not used mode",
    "not used mode"};
constexpr std::string_view kServiceMode[] = {
    "disable",  "digipeater uplink mode", "digipeater multicast mode", "not used",
    "not used", "not used",               "not used",                  "EMERGENCY MAINTENANCE MODE"};
// "deplyed" as the satellite's operators log it.
constexpr std::string_view kSatelliteAntenna[] = {"not deplyed", "deployed"};
constexpr int kPacketIntervalSeconds[] = {1, 2, 3, 5, 10, 30, 60, 120};

constexpr FieldRow kSatellite[] = {
    state("fm", "FM is ", wordBits(0), kFm),
    state("fmProtocol", "FM protocol is ", wordBits(1, 2), kFmProtocol),
    state("fmMode", "FM mode is ", wordBits(3, 4), kFmMode),
    state("serviceMode", "Service mode is ", wordBits(7, 3), kServiceMode),
    count("numberOfPictures", "The number of pictures are ", wordBits(10, 6)),
    state("antenna", "Antenna is ", wordBits(16), kSatelliteAntenna),
    state("usb2SerialPower", "USB2Serial power is ", wordBits(17), kOnOff),
    state("magnetSensorPower", "Magnet sensor power is ", wordBits(18), kOnOff),
    state("apd33VAPower", "APD 3.3V A power is ", wordBits(19), kOnOff),
    state("apd33VBPower", "APD 3.3V B power is ", wordBits(20), kOnOff),
    state("apdMainPower", "APD main power is ", wordBits(21), kOnOff),
    state("cameraPower", "Camera power is ", wordBits(22), kOnOff),
    state("asmPower", "ASM power is ", wordBits(23), kOnOff),
    state("cwTxPower", "CW TX power is ", wordBits(24), kOnOff),
    state("amateurServiceRxPower", "Amateur service RX power is ", wordBits(25), kOnOff),
    state("fmTxPower", "FM TX power is ", wordBits(26), kOnOff),
    count("fmPacketFrameNumber", "FM packet frame number is ", wordBits(27, 2)),
    count("fmPacketInterval", "FM packet interval(sec) is ", wordBits(29, 3), kPacketIntervalSeconds),
};

// --- PDA status word -----------------------------------------------------------------

constexpr std::string_view kOnBoardTime[] = {"not synchronized", "synchronized"};
constexpr std::string_view kCamera[] = {"disable", "enable", "enable", "enable"};  // any mode is enabled
constexpr std::string_view kTle[] = {"not uplinked", "uplinked"};
// "writting" as the satellite's operators log it.
constexpr std::string_view kApdFileMode[] = {"no access", "writting", "reading", "error @ APD File Mode"};
constexpr std::string_view kLogFileMode[] = {"no access", "writting", "reading", "error @ Log File Mode"};
constexpr std::string_view kImageFormat[] = {"Windows bitmap", "UYVY", "JPEG (HIGH)", "JPEG (LOW)"};
constexpr int kLogFileSeconds[] = {1, 2, 5, 10, 30, 60, 120, 240};
constexpr int kApdSampleSeconds[] = {5, 10, 30, 60, 120, 300, 600, 1200};

// Report order, not bit order: the log file mode follows the log file period.
constexpr FieldRow kPda[] = {
    state("wdtStatus", "WDT status is ", wordBits(0), kEnable),
    count("pdaNumber", "PDA number is ", wordBits(1, 2)),
    state("onBoardTime", "On board time is ", wordBits(3), kOnBoardTime),
    state("usb2SerialStatus", "USB2Serial status is ", wordBits(4), kEnable),
    state("cameraStatus", "Camera status is ", wordBits(5, 2), kCamera),
    count("logFileFreq", "Log file freq(sec) is ", wordBits(11, 3), kLogFileSeconds),
    state("logFileMode", "Log file mode is ", wordBits(30, 2), kLogFileMode),
    state("tle", "TLE is ", wordBits(14), kTle),
    state("torquerControl", "Torquer control is ", wordBits(15), kEnable),
    state("apdStatus", "APD status is ", wordBits(16), kEnable),
    count("apdSampleFreq", "APD sample freq(sec) is ", wordBits(17, 3), kApdSampleSeconds),
    state("apdFileMode", "APD file mode is ", wordBits(20, 2), kApdFileMode),
    state("tether", "tether is ", wordBits(22), kEnable),
    state("imageFormat", "Image format is ", wordBits(23, 2), kImageFormat),
    state("sunSensor1", "Sun sensor 1 is ", wordBits(25), kActive),
    state("sunSensor2", "Sun sensor 2 is ", wordBits(26), kActive),
    state("sunSensor3", "Sun sensor 3 is ", wordBits(27), kActive),
    state("sunSensor4", "Sun sensor 4 is ", wordBits(28), kActive),
    state("sunSensor5", "Sun sensor 5 is ", wordBits(29), kActive),
};

constexpr DecoderPart kSatellitePart[] = {SatelliteStatus::kPart};
constexpr DecoderPart kPdaPart[] = {PdaStatus::kPart};
// The satellite word first.
constexpr DecoderPart kBothParts[] = {SatelliteStatus::kPart, {8, PdaStatus::kPart.letters}};

constexpr Block kSatelliteWord{"satellite", "satellite status word"};
constexpr Block kPdaWord{"pda", "PDA status word"};

constexpr FieldGroup kSatelliteGroups[] = {{0, kSatellite}};
constexpr FieldGroup kPdaGroups[] = {{0, kPda}};
constexpr FieldGroup kBothGroups[] = {{0, kSatellite, &kSatelliteWord}, {1, kPda, &kPdaWord}};

}  // namespace

constexpr FrameRule kSatelliteFrame{"sat", "Satellite Status", "Tanager Satellite Status", 8, kSatellitePart,
                                    kSatelliteGroups};
constexpr FrameRule kPdaFrame{"pda", "PDA Status", "Tanager PDA Status", 8, kPdaPart, kPdaGroups};
constexpr FrameRule kSatellitePdaFrame{"satpda", "Sat. + PDA Status", "Tanager Satellite & PDA Status", 16,
                                       kBothParts, kBothGroups};
static_assert(frameIsSound(kSatelliteFrame));
static_assert(frameIsSound(kPdaFrame));
static_assert(frameIsSound(kSatellitePdaFrame));

}  // namespace quillon
