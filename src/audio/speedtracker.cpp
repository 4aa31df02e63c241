// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speedtracker.h"


#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>
#include <cstdlib>

namespace quillon::audio {

namespace {

constexpr double kMinWpm = 9, kMaxWpm = 66;
constexpr double kRatio = 1.025;   // between neighbouring candidates
constexpr double kMemoryUnits = 40;  // the bank's leak, in units of each candidate
constexpr double kMeanS = 0.75;      // the edge train's mean, removed
constexpr double kEstimateS = 0.5;
constexpr double kTestedS = 4.0;   // the element test looks this far back
constexpr std::size_t kLines = 3;  // the strongest lines put to the test
constexpr double kMinStrength = 2.5;
constexpr double kSlotThreshold = 3;  // a line this far over the bank's median is heard

// PARIS: a unit lasts 1.2 s / WPM.
double unitSeconds(double wpm) { return 1.2 / wpm; }

}  // namespace

SpeedTracker::SpeedTracker(double sampleRate) : rate_(sampleRate) {
  for (double p = unitSeconds(kMaxWpm) * rate_; p <= unitSeconds(kMinWpm) * rate_; p *= kRatio) {
    periods_.push_back(p);
    // Every candidate remembers the same number of units, so slow keying gathers as many
    // edges as fast keying; noise then grows alike in every candidate once scaled.
    leaks_.push_back(std::exp(-1 / (kMemoryUnits * p)));
    scales_.push_back(1 / std::sqrt(kMemoryUnits * p));
    const double w = 2 * std::numbers::pi / p;
    steps_.emplace_back(std::cos(w), -std::sin(w));
  }
  sums_.assign(periods_.size(), {});
  phasors_.assign(periods_.size(), {1, 0});
  leak_ = std::exp(-1 / (kMeanS * rate_));
  history_.assign(static_cast<std::size_t>(kTestedS * rate_), {});
  noise_.assign(history_.size(), 1);
}

double SpeedTracker::wpm() const { return unit_ > 0 ? 1.2 * rate_ / unit_ : 0; }

void SpeedTracker::push(std::complex<float> z, float noise) {
  if (!(noise > 0)) z = {};  // no noise level yet: nothing to weigh the sample against
  history_[count_ % history_.size()] = z;
  noise_[count_ % history_.size()] = noise;
  // Short energy over 3 samples (6 ms: a third of a unit at 60 WPM); an edge is its
  // change over 3 samples.
  recent_[count_ % 4] = z;
  const std::complex<float> s = recent_[count_ % 4] + recent_[(count_ + 3) % 4] + recent_[(count_ + 2) % 4];
  energy_[count_ % 4] = std::norm(s);
  const double edge = std::abs(energy_[count_ % 4] - energy_[(count_ + 1) % 4]);
  ++count_;
  if (count_ < 4) return;
  // Remove the train's mean, which would leak into the long candidates.
  meanEdge_ += (edge - meanEdge_) * (1 - leak_);
  const double x = edge - meanEdge_;
  for (std::size_t i = 0; i < sums_.size(); ++i) {
    sums_[i] = sums_[i] * leaks_[i] + x * phasors_[i];
    phasors_[i] *= steps_[i];
  }
  if (count_ % 256 == 0) {
    for (auto& p : phasors_) p /= std::abs(p);
  }
  if (count_ % static_cast<std::size_t>(std::max(1.0, kEstimateS * rate_)) == 0) estimate();
}

double SpeedTracker::elementScore(double period) const {
  // Unit-slot evidence over the history, then the best sequence of dits and dahs with at
  // least a unit between them, on a grid of quarter units.
  const std::size_t n = history_.size();
  const std::size_t first = count_ > n ? count_ - n : 0;
  const auto w = static_cast<std::size_t>(std::max(1L, std::lround(period)));
  std::vector<float> u(count_ - first, 0);
  std::complex<double> sum{};
  for (std::size_t i = first; i < count_; ++i) {
    sum += std::complex<double>(history_[i % n]);
    if (i >= first + w) sum -= std::complex<double>(history_[(i - w) % n]);
    u[i - first] = static_cast<float>(std::norm(sum) / (std::max(noise_[i % n], 1e-30f) * static_cast<double>(w)));
  }
  // Each slot counts its tone energy over the noise, less a threshold that noise alone
  // seldom passes: the energy a reading explains, in the same units at every period, so
  // a third of the unit (which reads a dit as a dah) explains less than the unit.
  auto slot = [&](std::size_t end) { return static_cast<double>(u[end]) - 1 - kSlotThreshold; };
  const std::size_t gap = w;
  std::vector<double> best(u.size() + 1, 0);
  for (std::size_t j = 1; j <= u.size(); ++j) {
    double b = best[j - 1];
    // A dit or a dah ending at sample j - 1, with a unit of silence before it.
    if (j >= w + gap) b = std::max(b, best[j - w - gap] + slot(j - 1));
    if (j >= 3 * w + gap) b = std::max(b, best[j - 3 * w - gap] + slot(j - 1) + slot(j - 1 - w) + slot(j - 1 - 2 * w));
    best[j] = b;
  }
  return best[u.size()];
}

void SpeedTracker::estimate() {
  const std::size_t n = sums_.size();
  std::vector<double> mag(n);
  for (std::size_t i = 0; i < n; ++i) mag[i] = std::abs(sums_[i]) * scales_[i];
  std::vector<double> sorted = mag;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(n / 2), sorted.end());
  const double median = std::max(sorted[n / 2], 1e-30);
  // The strongest local maxima, interpolated.
  std::vector<std::pair<double, double>> lines;  // (magnitude, period)
  for (std::size_t i = 0; i < n; ++i) {
    const double a = i > 0 ? mag[i - 1] : 0, b = mag[i], c = i + 1 < n ? mag[i + 1] : 0;
    if (b < a || b < c) continue;
    const double d = a - 2 * b + c;
    const double offset = d < 0 ? std::clamp(0.5 * (a - c) / d, -0.5, 0.5) : 0;
    lines.emplace_back(b, periods_[i] * std::pow(kRatio, offset));
  }
  std::sort(lines.begin(), lines.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
  if (lines.empty() || lines.front().first < kMinStrength * median) {
    strength_ = lines.empty() ? 0 : lines.front().first / median;
    return;
  }
  // The lines of a unit D sit at D/k, and the letters' own at 2D, 4D/3 and 2D/3: the
  // unit is one of a few simple multiples of a strong line.
  constexpr double kMultiples[] = {1, 2, 3, 0.5, 2.0 / 3, 1.5, 0.75};
  std::vector<std::pair<double, double>> tests;  // (period, line magnitude)
  for (std::size_t l = 0; l < std::min(kLines, lines.size()); ++l) {
    for (const double m : kMultiples) {
      const double p = lines[l].second * m;
      if (p < periods_.front() / kRatio || p > periods_.back() * kRatio) continue;
      const bool known = std::any_of(tests.begin(), tests.end(), [&](const auto& t) {
        return std::abs(t.first / p - 1) < 0.03;
      });
      if (!known) tests.emplace_back(p, lines[l].first);
    }
  }
  double bestScore = -1, bestPeriod = 0, bestMag = 0;
  for (const auto& [p, magnitude] : tests) {
    const double score = elementScore(p);
    if (std::getenv("QDBG2")) std::fprintf(stderr, "t=%.2f p=%.1f mag %.0f score %.1f\n", count_ / rate_, p, magnitude, score);
    if (score > bestScore) {
      bestScore = score;
      bestPeriod = p;
      bestMag = magnitude;
    }
  }
  // The lines are as sharp as the bank's memory allows: a few percent at slow speeds.
  for (const double f : {0.98, 1.02, 0.96, 1.04}) {
    const double score = elementScore(bestPeriod * f);
    if (score > bestScore) {
      bestScore = score;
      bestPeriod *= f;
    }
  }
  strength_ = bestMag / median;
  if (bestPeriod > 0) unit_ = bestPeriod;
}

}  // namespace quillon::audio
