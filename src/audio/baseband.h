// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Mixes the tone down to 0 Hz and decimates to a baseband of about 500 samples a second:
//
//   sample x[n] -> x[n] * exp(-j phase[n]) (an NCO at the tone) -> triangular low-pass
//   over two hops -> one complex sample a hop
//
// The triangle (two cascaded boxcars) puts nulls on every multiple of the output rate, so
// noise and other tones alias into the baseband weakly. The NCO's phase runs on across
// frequency changes, so a drifting tone stays a slowly turning phasor.

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace quillon::audio {

class Baseband {
 public:
  // `hop` input samples give one output sample.
  Baseband(double sampleRate, std::size_t hop);

  // The NCO frequency for the samples fed from now on.
  void setToneHz(double hz);
  double toneHz() const { return hz_; }

  // Feeds samples; each finished output sample is appended to `out`.
  void feed(std::span<const float> samples, std::vector<std::complex<float>>& out);

  std::size_t hop() const { return hop_; }
  // Noise power per output sample, per unit of input noise variance, in a sum of many
  // consecutive outputs (which share their hops' noise).
  double noiseGain() const { return gain_; }

 private:
  double rate_;
  std::size_t hop_;
  double hz_ = 0;
  std::complex<double> phasor_{1, 0};  // exp(-j phase) at the next sample
  std::complex<double> step_{1, 0};
  std::vector<float> rising_, falling_;      // the triangle's halves
  std::complex<double> first_{}, second_{};  // the two open halves' sums
  std::size_t pos_ = 0;
  double gain_ = 0;
};

}  // namespace quillon::audio
