// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/baseband.h"

#include <cmath>
#include <numbers>

namespace quillon::audio {

Baseband::Baseband(double sampleRate, std::size_t hop) : rate_(sampleRate), hop_(hop ? hop : 1) {
  // Weights of the triangle over two hops, normalised so a tone of amplitude a gives a
  // phasor of about a/2 times the hop (as one boxcar would).
  rising_.resize(hop_);
  falling_.resize(hop_);
  const double h = static_cast<double>(hop_);
  for (std::size_t i = 0; i < hop_; ++i) {
    rising_[i] = static_cast<float>((i + 0.5) / h);
    falling_[i] = static_cast<float>(1 - (i + 0.5) / h);
    gain_ += static_cast<double>(rising_[i]) * rising_[i] + static_cast<double>(falling_[i]) * falling_[i];
    // Neighbouring outputs share a hop: their noise is correlated.
    gain_ += 2.0 * rising_[i] * falling_[i];
  }
}

void Baseband::setToneHz(double hz) {
  hz_ = hz;
  const double w = 2 * std::numbers::pi * hz / rate_;
  step_ = {std::cos(w), -std::sin(w)};
}

void Baseband::feed(std::span<const float> samples, std::vector<std::complex<float>>& out) {
  for (const float x : samples) {
    const std::complex<double> m = static_cast<double>(x) * phasor_;
    phasor_ *= step_;
    // A sample lies in the rising half of the newer output and the falling half of the
    // older one.
    first_ += m * static_cast<double>(falling_[pos_]);
    second_ += m * static_cast<double>(rising_[pos_]);
    if (++pos_ == hop_) {
      pos_ = 0;
      out.emplace_back(static_cast<float>(first_.real()), static_cast<float>(first_.imag()));
      first_ = second_;
      second_ = {};
      phasor_ /= std::abs(phasor_);  // keep |phasor| at 1 against rounding
    }
  }
}

}  // namespace quillon::audio
