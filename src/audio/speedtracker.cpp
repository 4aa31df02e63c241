// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speedtracker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/evidence.h"

namespace quillon::audio {

namespace {

constexpr double kMinWpm = 9, kMaxWpm = 66;
constexpr double kRatio = 1.025;     // between neighbouring candidates
constexpr double kMemoryUnits = 30;  // the bank's leak, in units of each candidate
constexpr double kMeanS = 0.75;      // the edge train's mean, removed
constexpr double kEstimateS = 1.0;
constexpr double kTestedS = 4.0;      // the element test looks this far back
constexpr std::size_t kLines = 3;     // the strongest lines put to the test
constexpr double kSlotThreshold = 3;  // noise alone seldom passes 1 + this
constexpr double kLeastExplained = 50;
constexpr double kLeastKeyed = 0.35;  // of the history's slots standing out of the noise  // tone energy over
                                      // the noise of a sample, in the history

// PARIS: a unit lasts 1.2 s / WPM.
double unitSeconds(double wpm) { return 1.2 / wpm; }

}  // namespace

SpeedTracker::SpeedTracker(double sampleRate) : rate_(sampleRate) {
  for (double p = unitSeconds(kMaxWpm) * rate_; p <= unitSeconds(kMinWpm) * rate_; p *= kRatio) {
    periods_.push_back(p);
    // Every candidate remembers the same number of units, so slow keying gathers as many
    // edges as fast keying; noise then grows alike in every candidate once scaled.
    leaks_.push_back(std::exp(-2 / (kMemoryUnits * p)));
    scales_.push_back(1 / std::sqrt(kMemoryUnits * p));
    const double w = 2 * std::numbers::pi * 2 / p;  // the bank steps two samples at a time
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
  // The bank runs at half the rate, on pairs of edge samples: a unit is ten samples or
  // more, so its lines stay far below the halved rate.
  pairedEdge_ += edge - meanEdge_;
  if (count_ % 2 == 0) {
    const double x = pairedEdge_;
    pairedEdge_ = 0;
    for (std::size_t i = 0; i < sums_.size(); ++i) {
      sums_[i] = sums_[i] * leaks_[i] + x * phasors_[i];
      phasors_[i] *= steps_[i];
    }
  }
  if (count_ % 256 == 0) {
    for (auto& p : phasors_) p /= std::abs(p);
  }
  if (count_ % static_cast<std::size_t>(std::max(1.0, kEstimateS * rate_)) == 0) estimate();
}

SpeedTracker::Slots SpeedTracker::slots(double period) const {
  // Unit-slot energies over the history, on a grid of a twelfth of a unit (every sample
  // for the fastest keying).
  Slots out;
  const std::size_t n = ordered_.size();
  out.width = static_cast<std::size_t>(std::max(1L, std::lround(period)));
  out.step = std::max<std::size_t>(1, out.width / 12);
  out.unit = std::max<std::size_t>(1, (out.width + out.step / 2) / out.step);
  const std::size_t points = n / out.step;
  out.u.resize(points);
  std::complex<float> sum{};
  // The slots that stand out of the noise, counted on the way: the share keyed and the SNR.
  std::size_t strong = 0;
  double strongSum = 0;
  for (std::size_t k = 0, i = 0; k < points; ++k) {
    for (const std::size_t end = i + out.step; i < end; ++i) {
      sum += ordered_[i];
      if (i >= out.width) sum -= ordered_[i - out.width];
    }
    const float u = std::norm(sum) * orderedScale_[i - 1] / static_cast<float>(out.width);
    out.u[k] = u;
    if (u > kStrongSlot) {
      ++strong;
      strongSum += u;
    }
  }
  out.keyed = static_cast<double>(strong) / static_cast<double>(std::max<std::size_t>(1, points));
  out.snr = strongSlotSnr(strongSum, strong, points);
  return out;
}

double SpeedTracker::elementScore(const Slots& s) const {
  // The best sequence of dits and dahs with at least a unit between them. Each slot
  // counts its tone energy over the noise less a threshold that noise alone seldom
  // passes: the energy a reading explains, in the same units at every period.
  std::vector<double>& best = best_;
  best.assign(s.u.size() + 1, 0);
  // A mark read where there is none must cost: at a half or a third of the unit, a dit
  // reads as a dah that reaches into the gap. The threshold grows with the slots' SNR.
  const double threshold = std::max(kSlotThreshold, s.snr / 4);
  auto slot = [&](std::size_t m) { return static_cast<double>(s.u[m]) - 1 - threshold; };
  const std::size_t unit = s.unit;
  for (std::size_t j = 1; j <= s.u.size(); ++j) {
    double b = best[j - 1];
    // A dit or a dah ending at point j - 1, with a unit of silence before it.
    if (j >= 2 * unit) b = std::max(b, best[j - 2 * unit] + slot(j - 1));
    if (j >= 4 * unit)
      b = std::max(b, best[j - 4 * unit] + slot(j - 1) + slot(j - 1 - unit) + slot(j - 1 - 2 * unit));
    best[j] = b;
  }
  return best.back();
}

void SpeedTracker::estimate() {
  ++looks_;
  // The history in time order, once for every candidate tested.
  const std::size_t kept = history_.size();
  const std::size_t first = count_ > kept ? count_ - kept : 0;
  ordered_.resize(count_ - first);
  orderedScale_.resize(count_ - first);
  for (std::size_t i = first; i < count_; ++i) {
    ordered_[i - first] = history_[i % kept];
    orderedScale_[i - first] = 1 / std::max(noise_[i % kept], 1e-30f);
  }
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
  if (lines.empty()) return;
  // The lines of a unit D sit at D/k, and the letters' own at 2D, 4D/3 and 2D/3: the
  // unit is one of a few simple multiples of a strong line.
  constexpr double kMultiples[] = {1, 2, 3, 0.5, 2.0 / 3, 1.5, 0.75};
  std::vector<std::pair<double, double>> tests;  // (period, line magnitude)
  for (std::size_t l = 0; l < std::min(kLines, lines.size()); ++l) {
    for (const double m : kMultiples) {
      const double p = lines[l].second * m;
      if (p < periods_.front() / kRatio || p > periods_.back() * kRatio) continue;
      const bool known = std::any_of(tests.begin(), tests.end(),
                                     [&](const auto& t) { return std::abs(t.first / p - 1) < 0.03; });
      if (!known) tests.emplace_back(p, lines[l].first);
    }
  }
  double bestScore = -1, bestPeriod = 0, bestMag = 0, keyed = 0;
  for (const auto& [p, magnitude] : tests) {
    const Slots s = slots(p);
    const double score = elementScore(s);
    if (score > bestScore) {
      bestScore = score;
      bestPeriod = p;
      bestMag = magnitude;
      keyed = s.keyed;
    }
  }
  // Fast keying's own line may stay weaker than its letters' lines for seconds, and then
  // the best of them is a half or two thirds of the speed: the faster units are tried too
  // (the line's strength stays the one that led here).
  const double lined = bestPeriod;
  for (const double m : {0.5, 2.0 / 3}) {
    const double p = lined * m;
    if (p < periods_.front() / kRatio) continue;
    const Slots s = slots(p);
    const double score = elementScore(s);
    if (score > bestScore) {
      bestScore = score;
      bestPeriod = p;
      keyed = s.keyed;
    }
  }
  // The lines are as sharp as the bank's memory allows: a few percent at slow speeds. A
  // unit a few percent off splits and joins letters of fast keying, so it is sought to 1 %
  // within 4 %.
  const double found = bestPeriod;
  for (const double f : {0.99, 1.01, 0.98, 1.02, 0.97, 1.03, 0.96, 1.04}) {
    const double score = elementScore(slots(found * f));
    if (score > bestScore) {
      bestScore = score;
      bestPeriod = found * f;
    }
  }
  // A history mostly of silence (a transmission's end, a pause) tells no speed: its few
  // marks fit many units.
  if (keyed < kLeastKeyed) {
    strength_ = 0;
    return;
  }
  // Lines in noise alone are no speed: the unit must explain some tone energy.
  strength_ = bestScore > kLeastExplained ? bestMag / median : 0;
  if (bestPeriod > 0 && bestScore > kLeastExplained) unit_ = bestPeriod;
}

}  // namespace quillon::audio
