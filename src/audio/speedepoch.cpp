// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/speedepoch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/framefinder.h"

namespace quillon::audio {

namespace {

constexpr std::size_t kLooks = 5;     // the first epoch waits for this many at most,
constexpr std::size_t kAgreeing = 3;  // or this many agreeing; later, this many move it
constexpr double kLookChange = 0.06;  // looks agree within this, and move it this far
constexpr double kFitUnits = 30;      // sure letters this long in all tell the unit, ...
constexpr double kFitChange = 0.02;   // ... and a unit this far from the epoch's moves it

double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

bool agree(const std::vector<double>& units, double around) {
  return std::all_of(units.begin(), units.end(),
                     [&](double u) { return std::abs(u / around - 1) <= kLookChange; });
}

}  // namespace

double SpeedEpoch::start(double unit, double lookUnit) {
  unit_ = unit;
  lookUnit_ = lookUnit;
  fitWeight_ = fitLog_ = 0;
  return unit;
}

std::optional<double> SpeedEpoch::look(double unit) {
  looks_.push_back(unit);
  if (looks_.size() > kLooks) looks_.pop_front();
  if (looks_.size() < kAgreeing) return std::nullopt;
  if (!started()) {
    // Early looks see little of the transmission; the ring of samples still holds what
    // they would have decided.
    const std::vector<double> all(looks_.begin(), looks_.end());
    const double m = median(all);
    if (!agree(all, m) && looks_.size() < kLooks) return std::nullopt;
    return start(m, m);
  }
  const std::vector<double> last(looks_.end() - static_cast<std::ptrdiff_t>(kAgreeing), looks_.end());
  const double m = median(last);
  if (!agree(last, m) || std::abs(m / lookUnit_ - 1) <= kLookChange) return std::nullopt;
  return start(m, m);
}

std::optional<double> SpeedEpoch::letters(std::span<const LetterDecision> decided) {
  if (!started()) return std::nullopt;
  for (const LetterDecision& d : decided) {
    if (d.confidence < kTrustedConfidence || d.unitSamples <= 0) continue;
    const double units = (d.endSample - d.startSample) / d.unitSamples;
    fitWeight_ += units;
    fitLog_ += units * std::log(d.unitSamples / unit_);
  }
  if (fitWeight_ < kFitUnits) return std::nullopt;
  const double ratio = std::exp(fitLog_ / fitWeight_);
  fitWeight_ = fitLog_ = 0;
  if (std::abs(ratio - 1) <= kFitChange) return std::nullopt;
  return start(unit_ * ratio, lookUnit_);
}

std::optional<double> SpeedEpoch::startNow() {
  if (started() || looks_.empty()) return std::nullopt;
  const double m = median({looks_.begin(), looks_.end()});
  return start(m, m);
}

}  // namespace quillon::audio
