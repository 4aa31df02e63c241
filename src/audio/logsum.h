// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sums of probabilities kept as logarithms, for the letter lattices' forward-backward sums.
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

namespace quillon::audio {

inline constexpr double kLogZero = -std::numeric_limits<double>::infinity();

namespace logsum {
// log(1 + e^-d) for d in [0, kFar), from a table: the forward-backward sums take most of
// the decoder's time at low SNR, and posteriors need no more than four digits.
inline constexpr int kFar = 24;
inline constexpr int kSteps = 32;  // a step of 1/32
using SoftplusTable = std::array<double, kFar * kSteps + 2>;
inline const SoftplusTable& softplusTable() {
  static const SoftplusTable table = [] {
    SoftplusTable t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = std::log1p(std::exp(-static_cast<double>(i) / kSteps));
    return t;
  }();
  return table;
}
}  // namespace logsum

// log(e^a + e^b).
inline double logAdd(double a, double b) {
  if (a < b) std::swap(a, b);
  const double d = a - b;
  if (!(d < logsum::kFar)) return a;  // also when b is -infinity
  const double x = d * logsum::kSteps;
  const auto i = static_cast<std::size_t>(x);
  const auto& t = logsum::softplusTable();
  return a + t[i] + (x - static_cast<double>(i)) * (t[i + 1] - t[i]);
}

}  // namespace quillon::audio
