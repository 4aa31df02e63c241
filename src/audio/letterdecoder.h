// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decides whole letters from soft evidence, over a window of the transmission:
//
//   baseband -> energy of a unit-long sum at three scales (matched filters for a unit of
//   0.92, 1 and 1.08 times the estimate) -> log-likelihood ratio of "tone" per unit slot
//   -> every letter of the alphabet, at every quarter-unit start, scored as the sum of
//   its marks' slots -> the best sequence of letters with at least two and a half units
//   between them (Viterbi), and each letter's probability (forward-backward)
//
// A letter is decided once the window has run some letters past it, so later evidence
// can still move a boundary; its confidence is the probability, summed over every way
// the window can be read, that a letter covering its middle is the same letter. Letter
// gaps (up to 4 units) and word gaps (6 units or more) cost nothing, so gaps of any length
// are heard; a gap between the two is weighed down, as a letter read one element short or
// long leaves one. An element that runs a few percent long or short is covered by the
// three scales.
//
// Given the frames' shapes, it also keeps each transmission's score rows and, when a
// pause or the next beacon word ends it, reads it again as one to three whole frames (see wholeframe.h): the
// letter count that is known rules out a merge or a split of letters the reading one by
// one cannot tell. Where no frame explains the sound nearly as well as any reading, the
// letters stay as decided one by one.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "audio/wholeframe.h"

namespace quillon::audio {

struct LetterDecision {
  char32_t letter = 0;
  float confidence = 0;
  double startSample = 0;  // baseband samples, counted from the first sample pushed
  double endSample = 0;    // the end of its last mark
  double unitSamples = 0;  // the unit of the template that matched
  double slotSnr = 0;      // tone energy over noise in one unit slot when it was decided
};

// The frames a transmission may be: the beacon word's letters, then `lengths` letters of
// `body`.
struct FrameShapes {
  std::u32string word, body;
  std::vector<std::size_t> lengths;
  double pauseSamples = 0;  // a silence this long ends a transmission
};

class LetterDecoder {
 public:
  // Letters to choose from; letters Morse has no code for are left out.
  explicit LetterDecoder(std::u32string_view alphabet);

  // Starts a timing epoch with a unit of `unit` samples. It reads again, at the new unit,
  // what is not decided yet (as far back as the ring of samples reaches).
  void restart(double unit);
  bool started() const { return unit_ > 0; }
  // The letter gap this sender keys [units] (3 to begin with).
  void setLetterGap(double units);
  double unit() const { return unit_; }

  // One baseband sample, with the noise power of a sample and whether a tone is heard.
  void push(std::complex<float> z, float noise, bool tone);

  // Appends the letters decided: those no later sample can change, or every one left
  // in the window when `final`.
  void decide(bool final, std::vector<LetterDecision>& out);
  // From now on, each transmission is read again when it ends, as a whole frame where one
  // fits it: takeTransmissions() gives its letters.
  void readFrames(FrameShapes shapes);
  // Appends the letters of the transmissions ended since the last call: a frame's, or the
  // letters decided one by one where no frame fits.
  void takeTransmissions(std::vector<LetterDecision>& out);

  // Whether enough new samples arrived since the last decide() to be worth one.
  bool due() const;

  // The unit slot's SNR now (0 when no tone is heard).
  double slotSnr() const { return rho_; }
  // Samples pushed so far.
  std::int64_t samples() const { return next_; }

 private:
  struct Candidate {
    char32_t letter;
    int scale;
    std::vector<double> slotEnds;  // after the letter's start [samples]
    int lengthGrid;                // quarter units from start to the end of its last mark
  };
  void buildCandidates();
  void scoreGrid(bool flush);
  float llr(std::int64_t sample, int scale);
  void updateSnr();
  void evidence(std::int64_t sample);
  void hold(const LetterDecision& d, std::int64_t startHeld, std::int64_t endHeld);
  // Reads the transmission (its rows before `until`) and hands out its letters.
  void endTransmission(std::int64_t until = INT64_MAX);
  void trimHeld();

  std::vector<std::string_view> codes_;
  std::vector<char32_t> letters_;
  std::vector<Candidate> cands_;
  double unit_ = 0, grid_ = 0, epoch_ = 0;  // epoch_: sample where grid 0 lies
  int maxLengthGrid_ = 0;
  int oddGap_ = 17, wordGap_ = 24;  // [grid]: gaps from oddGap_ to wordGap_ are weighed down
  double maxSlotEnd_ = 0;

  // Rings indexed by sample: the baseband, the slot energy over noise and the LLR cache.
  static constexpr std::size_t kRing = 16384;
  std::vector<std::complex<float>> z_;
  std::vector<float> noise_, u_[3], llr_[3], llrRho_[3];
  std::vector<std::uint8_t> tone_;
  std::complex<double> sums_[3];
  int windows_[3]{};
  std::int64_t next_ = 0;

  // Slot energies sampled once a grid step, for the SNR.
  std::deque<float> recentU_;
  std::int64_t lastSnrSample_ = 0;
  std::int64_t undecided_ = 0;  // the first sample no decided letter covers
  double rho_ = 0;

  std::int64_t gridStart_ = 0, scoredEnd_ = 0, lastDecideGrid_ = 0;
  std::deque<std::vector<float>> scores_;  // [grid - gridStart_][candidate]

  // The transmission being heard, for reading it as a frame: its letters as decided, and
  // the score rows from a little before its first letter, numbered on across epochs.
  struct Held {
    LetterDecision letter;
    std::int64_t startHeld, endHeld;  // its first and last row's numbers
  };
  FrameShapes shapes_;
  LatticeShape lattice_;
  std::vector<Held> transmission_;
  ScoreRows held_;
  std::deque<double> heldAt_;   // the sample where each held row's grid step lies
  std::int64_t heldStart_ = 0;  // the number of held_'s first row
  std::int64_t heldBase_ = 0;   // the number of this epoch's grid step 0
  std::vector<LetterDecision> ended_;
};

}  // namespace quillon::audio
