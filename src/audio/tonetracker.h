// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds the tone anywhere from 300 to 2,500 Hz and follows it while it drifts or steps:
//
//   samples -> Hann frames (32 ms, half overlap) -> FFT power -> fast and slow averages
//     slow average: noise floor (median over the band), acquisition and steps (global peak)
//     fast average: the peak next to the track -> Kalman filter of frequency and drift rate
//
// A Doppler-corrected pass steps by up to 150 Hz; an uncorrected one drifts by up to
// 70 Hz/s. The filter's drift rate follows a ramp without lag; a peak that stays stronger
// elsewhere for a quarter of a second moves the track there. Each frame's estimate is
// kept for a short while, so a caller that lags behind (the mixer does, on purpose) can
// ask for the tone at any recent time.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

namespace quillon::audio {

struct ToneEstimate {
  double timeS = 0;      // the frame's centre
  double hz = 0;         // the tone at timeS
  double hzPerS = 0;     // its drift rate
  bool locked = false;   // a tone stands out of the noise
  bool jumped = false;   // the track moved to another peak at this frame
  double jumpFromS = 0;  // when the tone probably left its old place (with `jumped`)
  double noise = 0;      // the noise floor (slow average's median bin power) at timeS
};

class ToneTracker {
 public:
  // `sampleRate` of the samples fed; they must carry 300-2,700 Hz.
  explicit ToneTracker(double sampleRate);
  ~ToneTracker();
  ToneTracker(const ToneTracker&) = delete;
  ToneTracker& operator=(const ToneTracker&) = delete;

  void feed(std::span<const float> samples);
  // The operator's choice of tone: the track starts again at `hz`, and from then on takes
  // a tone, a step or a return only within kFollowHz of where it is, whatever stands out
  // elsewhere. It follows that tone's drift.
  void follow(double hz);

  // The tone at `timeS`: a line fitted to the estimates of half a second each side (not
  // across a jump), unless a frame up to `timeS + lookaheadS` jumped to where the tone
  // already was, or found the tone only after it began. Hz 0 before any lock.
  double toneAt(double timeS, double lookaheadS) const;
  bool lockedAt(double timeS) const;

  // The noise power of a baseband sample that sums `summed` input samples of this rate:
  // as measured by the latest frame, or by the frame before `timeS`.
  double noisePerSample(double summed) const;
  double noisePerSampleAt(double timeS, double summed) const;
  double lastFrameS() const { return history_.empty() ? 0 : history_.back().timeS; }
  std::size_t frameSize() const { return frame_; }
  double binHz() const { return rate_ / static_cast<double>(frame_); }

 private:
  void analyse();
  void track(double timeS);
  // How many estimates lie at or before timeS; `cursor` keeps the caller's place.
  std::size_t atOrBefore(double timeS, std::uint64_t& cursor) const;
  const ToneEstimate* before(double timeS, std::uint64_t& cursor) const;

  double rate_;
  std::size_t frame_;
  std::size_t hop_;
  std::size_t lo_, hi_;  // the band's bins [lo_, hi_)
  std::vector<float> window_;
  std::vector<float> input_;  // samples of the frame being filled
  std::uint64_t framesDone_ = 0;
  struct Fft;
  std::unique_ptr<Fft> fft_;
  std::vector<float> fast_, slow_, scratch_;
  double noise_ = 0;        // slow average's median bin power
  double windowPower_ = 0;  // sum of squared window weights

  // Kalman state: frequency, drift rate, and their covariance.
  double hz_ = 0, rate2_ = 0, p00_ = 0, p01_ = 0, p11_ = 0;
  bool locked_ = false;
  bool followed_ = false;  // the operator chose the tone
  double lastMeasuredS_ = 0;
  int awayFrames_ = 0, weakFrames_ = 0, refused_ = 0;
  std::deque<ToneEstimate> history_, jumps_;
  std::uint64_t popped_ = 0;  // estimates dropped from history_'s front
  // Where each caller's last estimate lies in the history, counted from the first ever.
  mutable std::uint64_t toneCursor_ = 0, noiseCursor_ = 0, lockCursor_ = 0, fromCursor_ = 0, toCursor_ = 0;
  // The mixer's line, for the estimates from firstS to lastS.
  struct Fit {
    double firstS = -1, lastS = -1;
    std::ptrdiff_t count = 0;
    double originS = 0, hz = 0, hzPerS = 0;
    bool valid = false;
  };
  mutable Fit fit_;
};

}  // namespace quillon::audio
