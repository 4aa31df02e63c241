// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/finetuner.h"

#include <cmath>
#include <numbers>

namespace quillon::audio {

FineTuner::FineTuner(std::size_t lag, std::size_t half)
    : lag_(lag ? lag : 1), half_(half), z_(2 * half + lag_ + 1), products_(2 * half + 1) {}

bool FineTuner::push(std::complex<float> z, std::complex<float>& out) {
  const std::size_t n = count_++;
  z_[n % z_.size()] = z;
  const std::complex<double> p =
      n >= lag_ ? std::complex<double>(z) * std::conj(std::complex<double>(z_[(n - lag_) % z_.size()]))
                : std::complex<double>{};
  // The window holds the products of the last 2 * half + 1 samples.
  const std::size_t w = products_.size();
  sum_ += p - (n >= w ? products_[n % w] : std::complex<double>{});
  products_[n % w] = p;
  if (n % 4096 == 0) {  // against rounding in the running sum
    sum_ = {};
    for (const auto& q : products_) sum_ += q;
  }
  if (n < half_) return false;
  const std::size_t m = n - half_;
  if (std::norm(sum_) > 0) offset_ = std::arg(sum_) / static_cast<double>(lag_);
  phase_ = std::remainder(phase_ + offset_, 2 * std::numbers::pi);
  out = z_[m % z_.size()] * std::polar(1.0f, static_cast<float>(-phase_));
  return true;
}

}  // namespace quillon::audio
