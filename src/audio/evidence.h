// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The evidence of one unit slot: the energy of the baseband summed over the slot, over
// what noise alone gives on average (u), weighed as the log-likelihood ratio of "tone"
// against "no tone" for a tone of slot SNR rho and unknown phase:
//
//   noise alone: u ~ exponential(1)      tone: u ~ non-central, mean 1 + rho
//   LLR(u) = -rho + log I0(2 sqrt(rho u))

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace quillon::audio {

// log I0(x), within 1e-3 everywhere.
inline float logBessel0(float x) {
  if (x < 2.5f) {
    const float q = x * x / 4;
    return std::log1p(q * (1 + q / 4 * (1 + q / 9 * (1 + q / 16 * (1 + q / 25)))));
  }
  return x - 0.5f * std::log(2 * std::numbers::pi_v<float> * x) + std::log1p(1 / (8 * x));
}

// Slots are weighed as if no cleaner than kMaxSampleSnr for each baseband sample they
// sum: a clean recording's evidence stays in a range where floats add up exactly enough,
// and slots of different lengths keep their proportion.
inline constexpr float kMaxSampleSnr = 1000.0f;

inline float toneLlr(float u, float rho, float samples) {
  if (rho <= 0) return 0.0f;
  const float most = kMaxSampleSnr * samples;
  if (rho > most) {
    u *= most / rho;
    rho = most;
  }
  return -rho + logBessel0(2 * std::sqrt(rho * u));
}

// Noise alone exceeds this 1.8 % of the time.
inline constexpr float kStrongSlot = 4.0f;

// The slot SNR from slot energies over the last seconds: the mean of those that stand
// clearly out of the noise (`strong` of `all`, summing `strongSum`). Too few of them (under
// one in twelve) and no tone is heard: 0.
inline double strongSlotSnr(double strongSum, std::size_t strong, std::size_t all) {
  if (all < 16 || strong * 12 < all) return 0;
  return std::max(strongSum / static_cast<double>(strong) - 1, 0.5);
}

template <class Range>
double slotSnr(const Range& us) {
  double sum = 0;
  std::size_t strong = 0, all = 0;
  for (const float u : us) {
    ++all;
    if (u > kStrongSlot) {
      sum += u;
      ++strong;
    }
  }
  return strongSlotSnr(sum, strong, all);
}

}  // namespace quillon::audio
