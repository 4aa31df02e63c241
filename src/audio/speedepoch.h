// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The unit the letters are read at, one epoch at a time. Two witnesses move it:
//
//   looks at the speed (SpeedTracker, once a second)
//     first epoch: the median of the looks once they agree, or once kLooks are in
//     later: the last three looks, agreeing, moved well away from where the looks stood
//            when they last moved it (a speed change)
//   letters decided (LetterDecoder, each read at a template of 0.92, 1 or 1.08 units)
//     later: the sure letters' own unit, once enough of them are in, where it differs
//
// Looks at low SNR scatter, and lean several percent fast; a letter's template stretches
// to the keying it hears, so the letters correct the lean, and looks that scatter leave
// the epoch alone. A new epoch reads again what is not decided yet.

#include <deque>
#include <optional>
#include <span>

#include "audio/letterdecoder.h"

namespace quillon::audio {

class SpeedEpoch {
 public:
  // A look that found a transmission: its unit [samples]. Gives the unit of a new epoch
  // when it starts one.
  std::optional<double> look(double unit);
  // Letters decided at the epoch's unit. Gives the unit of a new epoch when they fit one
  // better.
  std::optional<double> letters(std::span<const LetterDecision> decided);
  // At the end of a recording too short for the looks to agree: the median of those in,
  // if any.
  std::optional<double> startNow();

  bool started() const { return unit_ > 0; }

 private:
  double start(double unit, double lookUnit);

  std::deque<double> looks_;  // the last kLooks
  double unit_ = 0;           // the epoch's
  double lookUnit_ = 0;       // the looks' unit when they last moved it
  // The sure letters decided this epoch: their length in units, and the log of their
  // template's unit over the epoch's, summed weighed by it.
  double fitWeight_ = 0, fitLog_ = 0;
};

}  // namespace quillon::audio
