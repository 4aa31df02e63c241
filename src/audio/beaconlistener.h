// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Beacon frames heard in a stream of samples, for quillon-decode listen and the dialog:
//
//   samples -> CwDecoder -> transmissions read whole -> FrameFinder (core) -> HeardFrame
//                       \-> letters one by one -> takeHeard(), for a display
//
// The decoder settles each transmission's letter count by the frames' shape; this is where
// its letters meet the frame finder, which marks each letter heard with doubt as not copied.

#include <cstddef>
#include <deque>
#include <functional>
#include <span>
#include <vector>

#include "audio/cwdecoder.h"
#include "core/framefinder.h"

namespace quillon::audio {

struct HeardFrame {
  FoundFrame found;      // place.startS: where its beacon word starts [s]
  SignalMeasure signal;  // the mean over its letters
};

class BeaconListener {
 public:
  using Sink = std::function<void(const HeardFrame&)>;

  // Listens for frames of `lengths` letters in samples at `sampleRate` (8-48 kHz).
  BeaconListener(double sampleRate, std::vector<std::size_t> lengths, Sink sink);

  void feed(std::span<const float> samples);
  // The end of the stream: the last letters are decided and the last frame handed out.
  void finish();

  // The letters heard since the last call, in order.
  std::vector<AudioLetter> takeHeard();
  const CwDecoder& decoder() const { return decoding; }
  void followTone(double hz) { decoding.followTone(hz); }

 private:
  void take();

  CwDecoder decoding;
  FrameFinder finder;
  Sink sink;
  std::deque<AudioLetter> recent;  // the letters a frame's measures are taken over
  std::vector<AudioLetter> heard;  // not yet taken
};

}  // namespace quillon::audio
