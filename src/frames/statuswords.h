// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two 8-letter status words, alone or typed together as 16 letters (the satellite
// word first). Letter 1 holds bits 31-28 of a word, letter 8 bits 3-0.
//
// Satellite status word:
//   31-29 packet interval | 28-27 frame no. | 26 FM TX | 25 amateur RX | 24 CW TX |
//   23 ASM | 22 camera | 21 APD main | 20 APD 3.3V B | 19 APD 3.3V A | 18 magnet |
//   17 USB2Serial | 16 antenna | 15-10 pictures | 9-7 service mode | 6-3 FM mode |
//   2-1 FM protocol | 0 FM
//
// PDA status word:
//   31-30 log file mode | 29..25 sun sensors 5..1 | 24-23 image format | 22 tether |
//   21-20 APD file mode | 19-17 APD sample period | 16 APD | 15 torquer | 14 TLE |
//   13-11 log file period | 10-7 unused | 6-5 camera | 4 USB2Serial | 3 on-board time |
//   2-1 PDA number | 0 WDT
//
// A field is analysed only when every letter holding one of its bits was copied; an
// invalid letter leaves its whole word unanalysed, and the other word of a combined
// frame still decodes.

#include "core/frame.h"

namespace quillon {

extern const FrameRule kSatelliteFrame;
extern const FrameRule kPdaFrame;
extern const FrameRule kSatellitePdaFrame;

class SatelliteStatus : public TableDecoder {
 public:
  static constexpr DecoderPart kPart{0, 8};
  SatelliteStatus() : TableDecoder(kPart.letters) {}
};

class PdaStatus : public TableDecoder {
 public:
  static constexpr DecoderPart kPart{0, 8};
  PdaStatus() : TableDecoder(kPart.letters) {}
};

}  // namespace quillon
