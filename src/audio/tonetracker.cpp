// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/tonetracker.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace quillon::audio {

namespace {

constexpr double kFrameS = 0.032;
constexpr double kLowHz = 300, kHighHz = 2700;
constexpr double kMarginHz = 60;  // bins beyond the band, so a tone at its edge has neighbours
constexpr double kSettleS = 0.3;  // the slow average must hold this much before a lock
constexpr double kFastS = 0.04, kSlowS = 0.5;
constexpr double kLockRatio = 2.0;  // slow peak over the noise floor that means a tone
constexpr double kLoseRatio = 1.3;  // below this at the track for kLoseS, the tone is gone
constexpr double kLoseS = 1.5;
constexpr double kMeasureRatio = 3.0;  // fast peak over the noise that is worth measuring
constexpr double kReturnRatio = 6.0;   // the same after a pause
constexpr int kRefusedFrames = 3;      // clear peaks off the track this many frames: a turn
constexpr double kMoveS = 0.25;        // a stronger peak elsewhere this long moves the track
constexpr double kKeepS = 2.0;         // estimates kept for callers that lag
constexpr double kFollowHz = 200;      // a chosen tone's own steps and drift stay this near
constexpr double kSmoothS = 0.5;       // the mixer's tone is fitted over this much each side
constexpr double kCoastS = 0.6;        // unmeasured this long, the track holds still
constexpr double kReturnS = 0.1;       // and a tone that stands out this long elsewhere is taken

// FFTW plans are made under one lock: the planner is not thread-safe.
std::mutex& planLock() {
  static std::mutex m;
  return m;
}

// A size near `n` that FFTW transforms fast (2^a 3^b 5^c), even.
std::size_t smoothSize(double n) {
  std::size_t best = 2;
  for (std::size_t a = 2; a <= 8192; a *= 2) {
    for (std::size_t b = a; b <= 8192; b *= 3) {
      for (std::size_t c = b; c <= 8192; c *= 5) {
        if (std::abs(static_cast<double>(c) - n) < std::abs(static_cast<double>(best) - n)) best = c;
      }
    }
  }
  return best;
}

}  // namespace

struct ToneTracker::Fft {
  float* in = nullptr;
  fftwf_complex* out = nullptr;
  fftwf_plan plan = nullptr;
  explicit Fft(std::size_t n) {
    in = fftwf_alloc_real(n);
    out = fftwf_alloc_complex(n / 2 + 1);
    std::lock_guard lock(planLock());
    plan = fftwf_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
  }
  ~Fft() {
    {
      std::lock_guard lock(planLock());
      fftwf_destroy_plan(plan);
    }
    fftwf_free(in);
    fftwf_free(out);
  }
};

ToneTracker::ToneTracker(double sampleRate)
    : rate_(sampleRate), frame_(smoothSize(sampleRate * kFrameS)), hop_(frame_ / 2) {
  const double bin = rate_ / static_cast<double>(frame_);
  lo_ = static_cast<std::size_t>(std::ceil((kLowHz - kMarginHz) / bin));
  hi_ = std::min(static_cast<std::size_t>(std::floor((kHighHz + kMarginHz) / bin)) + 1, frame_ / 2);
  window_.resize(frame_);
  for (std::size_t i = 0; i < frame_; ++i) {
    window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / frame_));
    windowPower_ += static_cast<double>(window_[i]) * window_[i];
  }
  fft_ = std::make_unique<Fft>(frame_);
  fast_.assign(frame_ / 2 + 1, 0);
  slow_.assign(frame_ / 2 + 1, 0);
  input_.reserve(frame_);
}

ToneTracker::~ToneTracker() = default;

void ToneTracker::feed(std::span<const float> samples) {
  while (!samples.empty()) {
    const std::size_t take = std::min(samples.size(), frame_ - input_.size());
    input_.insert(input_.end(), samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(take));
    samples = samples.subspan(take);
    if (input_.size() == frame_) {
      analyse();
      input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(hop_));
    }
  }
}

void ToneTracker::analyse() {
  for (std::size_t i = 0; i < frame_; ++i) fft_->in[i] = input_[i] * window_[i];
  fftwf_execute(fft_->plan);
  const double hopS = static_cast<double>(hop_) / rate_;
  // The first frames fill the averages at once, so a tone at the start is found quickly.
  const double n = static_cast<double>(framesDone_ + 1);
  const auto fa = static_cast<float>(std::max(1 - std::exp(-hopS / kFastS), 1 / n));
  const auto sa = static_cast<float>(std::max(1 - std::exp(-hopS / kSlowS), 1 / n));
  for (std::size_t k = lo_; k < hi_; ++k) {
    const float re = fft_->out[k][0], im = fft_->out[k][1];
    const float p = re * re + im * im;
    fast_[k] += fa * (p - fast_[k]);
    slow_[k] += sa * (p - slow_[k]);
  }
  scratch_.assign(slow_.begin() + static_cast<std::ptrdiff_t>(lo_),
                  slow_.begin() + static_cast<std::ptrdiff_t>(hi_));
  auto mid = scratch_.begin() + static_cast<std::ptrdiff_t>(scratch_.size() / 2);
  std::nth_element(scratch_.begin(), mid, scratch_.end());
  noise_ = *mid;
  const double centre = (static_cast<double>(framesDone_ * hop_) + frame_ / 2.0) / rate_;
  ++framesDone_;
  track(centre);
}

void ToneTracker::track(double timeS) {
  const double bin = rate_ / static_cast<double>(frame_);
  const double dt = static_cast<double>(hop_) / rate_;
  ToneEstimate e;
  e.timeS = timeS;
  const double floor = std::max(noise_, 1e-30);
  // Acquisition and steps: the strongest bin of the slow average, near a chosen tone.
  std::size_t from = lo_, to = hi_;
  if (followed_) {
    from =
        std::clamp(static_cast<std::size_t>(std::max(0.0, std::ceil((hz_ - kFollowHz) / bin))), lo_, hi_ - 1);
    to = std::clamp(static_cast<std::size_t>(std::max(0.0, std::floor((hz_ + kFollowHz) / bin))) + 1,
                    from + 1, hi_);
  }
  std::size_t global = from;
  for (std::size_t k = from; k < to; ++k) {
    if (slow_[k] > slow_[global]) global = k;
  }
  const bool settled = static_cast<double>(framesDone_) * dt >= kSettleS;
  const double globalHz = static_cast<double>(global) * bin;
  const bool globalTone = settled && slow_[global] > kLockRatio * floor && globalHz >= kLowHz - bin / 2 &&
                          globalHz <= kHighHz + bin / 2;
  auto interpolate = [&](const std::vector<float>& s, std::size_t k) {
    if (k <= lo_ || k + 1 >= hi_) return static_cast<double>(k) * bin;
    const double a = std::log(s[k - 1] + 1e-30), b = std::log(s[k] + 1e-30), c = std::log(s[k + 1] + 1e-30);
    const double d = a - 2 * b + c;
    const double off = d < 0 ? std::clamp(0.5 * (a - c) / d, -0.5, 0.5) : 0;
    return (static_cast<double>(k) + off) * bin;
  };
  // A step (a Doppler correction) moves the tone, not its drift: the rate is kept.
  auto reset = [&](double hz) {
    hz_ = hz;
    p00_ = bin * bin;
    p01_ = 0;
    p11_ = std::max(p11_, 30.0 * 30.0);
  };
  if (!locked_) {
    if (globalTone) {
      locked_ = true;
      rate2_ = 0;
      p11_ = 100.0 * 100.0;
      reset(interpolate(slow_, global));
      e.jumped = true;
      e.jumpFromS = timeS - kSlowS;
    }
  } else {
    // Predict: the tone moves on at its drift rate; the rate itself may change slowly.
    // Unheard for long (a pause between transmissions), the track stays where it was:
    // a rate carried on for seconds would take it far from where the tone comes back.
    const bool coasting = timeS - lastMeasuredS_ > kCoastS;
    if (!coasting) hz_ += rate2_ * dt;
    const double q = 10.0 * 10.0 * dt;  // drift-rate change (Hz/s)^2 per second
    p00_ += dt * (2 * p01_ + dt * p11_) + 0.5 * 0.5;
    p01_ += dt * p11_;
    p11_ += q;
    const auto near = static_cast<std::size_t>(
        std::clamp(std::lround(hz_ / bin), static_cast<long>(lo_), static_cast<long>(hi_) - 1));
    std::size_t peak = near;
    for (std::size_t k = near > lo_ + 2 ? near - 2 : lo_; k <= near + 2 && k < hi_; ++k) {
      if (fast_[k] > fast_[peak]) peak = k;
    }
    const double strength = fast_[peak] / floor;
    const double measured = interpolate(fast_, peak);
    const double r = (0.3 * bin) * (0.3 * bin) * kMeasureRatio / strength + 1.0;
    const double s = p00_ + r;
    // The fast average shows the tone as it was about kFastS ago.
    const double innovation = measured - (hz_ - rate2_ * kFastS);
    // A noise peak beside the track is no measurement: the tone is where the filter
    // expects it, within three of its standard deviations.
    // After a pause the tone must stand out more: noise peaks near the track would move it.
    const double needed = coasting ? kReturnRatio : kMeasureRatio;
    const bool gated = std::abs(innovation) > std::max(3 * std::sqrt(s), bin / 2);
    // A clear peak the filter keeps refusing is the tone turning faster than it expects (a
    // drift that reverses): take it, with the drift to be learnt again.
    refused_ = strength > kReturnRatio && gated ? refused_ + 1 : 0;
    if (refused_ >= kRefusedFrames) {
      e.jumped = true;
      e.jumpFromS = timeS - refused_ * dt;
      rate2_ = 0;
      p11_ = 100.0 * 100.0;
      reset(measured);
      lastMeasuredS_ = timeS;
      refused_ = 0;
    } else if (strength > needed && !gated) {
      const double k0 = p00_ / s, k1 = p01_ / s;
      if (coasting && std::abs(k0 * innovation) > bin / 2) {
        // The tone came back a little off: mix the pause and its start at the new place.
        e.jumped = true;
        e.jumpFromS = lastMeasuredS_;
      }
      lastMeasuredS_ = timeS;
      hz_ += k0 * innovation;
      rate2_ += k1 * innovation;
      const double q00 = p00_, q01 = p01_;
      p00_ -= k0 * q00;
      p01_ -= k0 * q01;
      p11_ -= k1 * q01;
    }
    rate2_ = std::clamp(rate2_, -300.0, 300.0);
    hz_ = std::clamp(hz_, kLowHz - 50, kHighHz + 50);
    // A stronger peak that stays away from the track is where the tone went. The slow
    // average shows a drifting tone where it was about kSlowS ago: it is compared there.
    const double lagged = coasting ? hz_ : hz_ - rate2_ * kSlowS;
    const auto lagBin = static_cast<std::size_t>(
        std::clamp(std::lround(lagged / bin), static_cast<long>(lo_), static_cast<long>(hi_) - 1));
    const double here = std::max(slow_[lagBin], slow_[near]);
    // Or, after a pause, the tone that comes back.
    const bool away =
        globalTone && std::abs(interpolate(slow_, global) - lagged) > (coasting ? 1.0 : 2.5) * bin &&
        slow_[global] > (coasting ? 3.0 : 1.5) * here && slow_[global] > (coasting ? 3.0 : 0) * floor;
    awayFrames_ = away ? awayFrames_ + 1 : 0;
    if (awayFrames_ * dt >= (coasting ? kReturnS : kMoveS)) {
      e.jumped = true;
      if (coasting) {
        // The tone came back elsewhere: it was there since the old one was last heard,
        // and a drift rate carried over a pause means nothing.
        e.jumpFromS = lastMeasuredS_;
        rate2_ = 0;
        p11_ = 100.0 * 100.0;
        reset(interpolate(slow_, global));
      } else {
        e.jumpFromS = timeS - kMoveS - kSlowS / 2;
        reset(interpolate(slow_, global));
      }
      lastMeasuredS_ = timeS;
      awayFrames_ = 0;
    }
    weakFrames_ = here < kLoseRatio * floor ? weakFrames_ + 1 : 0;
    if (weakFrames_ * dt >= kLoseS) locked_ = false;
  }
  e.hz = hz_;
  e.hzPerS = rate2_;
  e.locked = locked_;
  e.noise = noise_;
  history_.push_back(e);
  while (history_.size() > 2 && history_.front().timeS < timeS - kKeepS) {
    history_.pop_front();
    ++popped_;
  }
  if (e.jumped) jumps_.push_back(e);
  while (!jumps_.empty() && jumps_.front().timeS < timeS - kKeepS) jumps_.pop_front();
}

void ToneTracker::follow(double hz) {
  followed_ = true;
  hz_ = std::clamp(hz, kLowHz, kHighHz);
  rate2_ = 0;
  locked_ = false;  // found again at once if a tone stands out there
  awayFrames_ = weakFrames_ = refused_ = 0;
}

std::size_t ToneTracker::atOrBefore(double timeS, std::uint64_t& cursor) const {
  // The history is in time order. Each caller asks at times that move forward a little, so
  // its last answer, or the next, is the place to look.
  const auto fits = [&](std::uint64_t id) {
    if (id < popped_ || id - popped_ >= history_.size()) return false;
    const std::size_t i = static_cast<std::size_t>(id - popped_);
    return history_[i].timeS <= timeS && (i + 1 == history_.size() || history_[i + 1].timeS > timeS);
  };
  if (!fits(cursor) && fits(cursor + 1)) ++cursor;
  if (fits(cursor)) return static_cast<std::size_t>(cursor - popped_) + 1;
  const auto it = std::upper_bound(history_.begin(), history_.end(), timeS,
                                   [](double t, const ToneEstimate& e) { return t < e.timeS; });
  const auto count = static_cast<std::size_t>(it - history_.begin());
  if (count > 0) cursor = popped_ + count - 1;
  return count;
}

const ToneEstimate* ToneTracker::before(double timeS, std::uint64_t& cursor) const {
  const std::size_t count = atOrBefore(timeS, cursor);
  return count ? &history_[count - 1] : nullptr;
}

double ToneTracker::toneAt(double timeS, double lookaheadS) const {
  // A later estimate knows better when the track jumped to where the tone already was at
  // timeS, or when the tone was found only after it began.
  for (const ToneEstimate& e : jumps_) {
    if (e.timeS > timeS && e.timeS <= timeS + lookaheadS && e.jumpFromS <= timeS) return e.hz;
  }
  const ToneEstimate* b = before(timeS, toneCursor_);
  if (b && b->locked) {
    // A line fitted to the estimates around timeS, between the jumps on either side: the
    // mixer's tone must not jitter with every frame's noise, or a mark's phase wanders.
    double from = timeS - kSmoothS, to = timeS + kSmoothS;
    for (const ToneEstimate& e : jumps_) {
      if (e.timeS <= timeS)
        from = std::max(from, e.timeS);
      else
        to = std::min(to, e.timeS - 1e-9);
    }
    // The mixer asks at every hop, and the estimates in the window change only once a
    // frame: the line is fitted again only when they do.
    const auto first = history_.begin() +
                       static_cast<std::ptrdiff_t>(atOrBefore(std::nextafter(from, -HUGE_VAL), fromCursor_));
    const auto last =
        std::max(first, history_.begin() + static_cast<std::ptrdiff_t>(atOrBefore(to, toCursor_)));
    if (first != last) {
      const Fit key{first->timeS, (last - 1)->timeS, last - first};
      if (!(fit_.firstS == key.firstS && fit_.lastS == key.lastS && fit_.count == key.count)) {
        fit_ = key;
        fit_.originS = timeS;
        double n = 0, st = 0, sh = 0, stt = 0, sth = 0;
        for (auto it = first; it != last; ++it) {
          if (!it->locked) continue;
          const double x = it->timeS - timeS;
          n += 1, st += x, sh += it->hz, stt += x * x, sth += x * it->hz;
        }
        const double det = n * stt - st * st;
        fit_.valid = n >= 8 && det > 0;
        if (fit_.valid) {
          fit_.hz = (sh * stt - st * sth) / det;
          fit_.hzPerS = (n * sth - st * sh) / det;
        }
      }
      if (fit_.valid) return fit_.hz + fit_.hzPerS * (timeS - fit_.originS);
    }
    return b->hz + b->hzPerS * (timeS - b->timeS);
  }
  const auto it = std::upper_bound(history_.begin(), history_.end(), timeS,
                                   [](double t, const ToneEstimate& e) { return t < e.timeS; });
  for (auto e = it; e != history_.end() && e->timeS <= timeS + lookaheadS; ++e) {
    if (e->locked) return e->hz;
  }
  return b ? b->hz : 0;
}

bool ToneTracker::lockedAt(double timeS) const {
  const ToneEstimate* b = before(timeS, lockCursor_);
  return b ? b->locked : !history_.empty() && history_.front().locked;
}

double ToneTracker::noisePerSample(double summed) const {
  // White noise of variance v gives E|X_k|^2 = v * sum(w^2) per bin; a sum of `summed`
  // samples mixed to baseband has variance summed * v. The slow average's median is
  // close to its mean.
  return summed * noise_ / windowPower_;
}

double ToneTracker::noisePerSampleAt(double timeS, double summed) const {
  const ToneEstimate* b = before(timeS, noiseCursor_);
  return summed * (b ? b->noise : noise_) / windowPower_;
}

}  // namespace quillon::audio
