// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Estimates the keying speed from where the tone's edges fall:
//
//   baseband -> short energy -> |rise or fall| (edges, mean removed) -> a bank of
//   leaky DFTs, one per candidate unit length (10-60 WPM and a little beyond) -> the
//   strongest line, its fundamental, interpolated
//
// Every element and gap lasts a whole number of units, so the edges sit on a lattice of
// one unit and their train has a spectral line at 1/unit and its harmonics. The line
// needs no threshold on the envelope and keeps its place at low SNR, where run lengths
// of a thresholded envelope fall apart. Letters also make lines of their own (a run of
// dahs repeats every four units, so 4/3 of a unit shows), so the strongest lines, and
// two and three times their periods, are put to a test: the best sequence of dits and
// dahs (a Viterbi over the last seconds) at each, and the one that explains the
// signal best wins.

#include <complex>
#include <cstddef>
#include <vector>

namespace quillon::audio {

class SpeedTracker {
 public:
  // `sampleRate` of the baseband fed.
  explicit SpeedTracker(double sampleRate);

  // One baseband sample and the noise power of a sample.
  void push(std::complex<float> z, float noise);

  // The unit length in samples; 0 before one is heard.
  double unitSamples() const { return unit_; }
  double wpm() const;
  // The unit's line over the median of the bank, when the last look at the history found
  // a transmission; 0 when it did not (silence, noise, a transmission's end).
  double strength() const { return strength_; }
  // How many looks at the history were taken so far (one every second).
  std::size_t looks() const { return looks_; }

 private:
  struct Slots {
    std::vector<float> u;                       // slot energy over noise, a point every `step` samples
    std::size_t width = 1, step = 1, unit = 1;  // samples in a slot; points in a unit
    double keyed = 0;                           // the share of slots that stand out of the noise
    double snr = 0;                             // their SNR (0: no tone)
  };
  void estimate();
  Slots slots(double period) const;
  double elementScore(const Slots& slots) const;

  double rate_;
  std::vector<double> periods_;             // candidate unit lengths [samples]
  std::vector<std::complex<double>> sums_;  // leaky DFT of the edge train

  std::vector<std::complex<double>> phasors_, steps_;
  std::vector<double> leaks_, scales_;
  double leak_;
  std::complex<float> recent_[4]{};  // the last baseband samples, for the short energy
  double energy_[4]{};               // the last short energies
  double meanEdge_ = 0, pairedEdge_ = 0;
  std::vector<std::complex<float>> history_;  // the last seconds of baseband (a ring)
  std::vector<float> noise_;
  std::vector<std::complex<float>> ordered_;  // the history in order, for the element test
  std::vector<float> orderedScale_;
  mutable std::vector<double> best_;  // the element test's best readings, kept for its memory
  std::size_t count_ = 0;
  double unit_ = 0, strength_ = 0;
  std::size_t looks_ = 0;
};

}  // namespace quillon::audio
