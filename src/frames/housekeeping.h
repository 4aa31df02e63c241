// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// House-keeping frame, 22 letters after the beacon word "TNGR" (one byte = two letters):
//
//   byte  0    1    2    3    4     5     6     7     8     9     10
//   V3.3 V5   Vbat Vbus MODE  Tcomm Tbat  Ibat  S144  S1.2G POWER
//
//   MODE  bit 7 satellite mode | 6 USB | 5 Rx monitor | 4 Tx monitor |
//         3 antenna | 2 DTMF | 1-0 amateur service mode
//   POWER bit 7 APD 3.3V A | 6 APD 3.3V B | 5 APD main | 4 DAQ | 3 PDA | 2 TH-59 |
//         1 CW | 0 DJ-C5(TX)
//
// Three decoders share the frame: HouseKeepingValues reads letters 1-20, HouseKeepingStatus
// letters 9-10 (MODE) and HouseKeepingPower letters 21-22 (POWER). An invalid letter
// silences the decoders that read it; the others still decode.

#include "core/frame.h"

namespace quillon {

extern const FrameRule kHouseKeepingFrame;

class HouseKeepingValues : public TableDecoder {
 public:
  static constexpr DecoderPart kPart{0, 20};
  HouseKeepingValues() : TableDecoder(kPart.letters) {}
};

// Its own byte 0 is MODE.
class HouseKeepingStatus : public TableDecoder {
 public:
  static constexpr DecoderPart kPart{8, 2};
  HouseKeepingStatus() : TableDecoder(kPart.letters) {}
};

// Its own byte 0 is POWER.
class HouseKeepingPower : public TableDecoder {
 public:
  static constexpr DecoderPart kPart{20, 2};
  HouseKeepingPower() : TableDecoder(kPart.letters) {}
};

}  // namespace quillon
