// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Morse from audio: samples in, letters with a confidence out, as they are decided.
//
//   samples (any rate 8-48 kHz, chunks of any size)
//     -> sanitise (NaN and infinities are silence) -> sum to about 8 kHz -> DC blocker
//     -> ToneTracker (runs 1 s ahead of the mixer, so a tone's start and a step are
//        mixed at the right frequency)
//     -> Baseband (NCO at the tracked tone, ~500 samples/s)
//     -> FineTuner (the residual offset, from half a second each side)
//     -> SpeedTracker (runs 3 s ahead of the letters, so the first letters of a
//        transmission are decided at its speed)
//     -> SpeedEpoch (the unit the letters are read at, from the looks at the speed and
//        from the letters decided)
//     -> LetterDecoder (whole letters, soft evidence) -> AudioLetter, one by one
//                     \-> each transmission read again as whole frames -> AudioLetter
//
// Memory is bounded whatever the length of the stream: every stage keeps a fixed window.
// It hears letters of the alphabet it is given; of frames it knows only their shape (the
// beacon word, then so many hexadecimal letters), which settles the letter count.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/speedepoch.h"
#include "core/morse.h"

namespace quillon::audio {

class Baseband;
class FineTuner;
class LetterDecoder;
class SpeedTracker;
class ToneTracker;
struct LetterDecision;

inline constexpr double kMinSampleRate = 8000, kMaxSampleRate = 48000;

// The beacon's letters: hexadecimal digits and the beacon word's T, N, G, R.
inline constexpr std::u32string_view kBeaconAlphabet = U"0123456789ABCDEFTNGR";
inline constexpr std::u32string_view kHexLetters = kBeaconAlphabet.substr(0, 16);

struct DecoderOptions {
  double sampleRate = 8000;
  std::u32string alphabet;  // letters to choose from; empty: the whole Morse table
  // Frames of the beacon word and this many hexadecimal letters: each transmission is read
  // again as a whole frame when it ends (see takeTransmissions()).
  std::vector<std::size_t> frameLengths;
};

// The signal as measured around one letter.
struct SignalMeasure {
  double wpm = 0;
  double toneHz = 0;
  double snrDb = 0;  // key-down tone power over the noise in 2,500 Hz
};

struct AudioLetter {
  HeardLetter heard;
  SignalMeasure signal;
};

class CwDecoder {
 public:
  // Throws std::invalid_argument for a rate outside 8-48 kHz.
  explicit CwDecoder(const DecoderOptions& options);
  ~CwDecoder();
  CwDecoder(const CwDecoder&) = delete;
  CwDecoder& operator=(const CwDecoder&) = delete;

  void feed(std::span<const float> samples);
  // The end of the stream: decides every letter still pending. Feeding after it starts
  // nothing new; call it once.
  void finish();
  // Follows the tone nearest `hz` from now on, though another stands out more (an operator
  // picking the beacon out of a crowded passband).
  void followTone(double hz);

  // The letters decided since the last call, in order, one by one as they are heard.
  std::vector<AudioLetter> takeLetters();
  // The letters of the transmissions ended since the last call, in order: read as a whole
  // frame where one fits the sound, else as decided one by one. Empty without frameLengths.
  std::vector<AudioLetter> takeTransmissions();

  double secondsFed() const;
  std::uint64_t nonFiniteSamples() const { return nonFinite_; }
  // Whether a tone stood out of the noise at any time.
  bool toneHeard() const { return toneHeard_; }

 private:
  void delayForMixer(float v);
  void mix(float v);
  void mixHop();
  void pushBaseband(std::complex<float> z);
  // Where the last letter put out ended [s]: the gap before the next one tells whether a
  // word or a transmission starts.
  struct LetterRun {
    double lastEndS = -1;
    std::vector<AudioLetter> out;
    // A doubtful letter a word gap or more after the one before, held until the next shows
    // whether it stood alone: a noise burst near a transmission passes for a one-letter word
    // (an E or a T), which is left out.
    std::optional<AudioLetter> lone;
    double loneEndS = 0;
  };
  // `heard`: the letters one by one as heard, which learn the sender's letter gap and leave
  // out a doubtful one-letter word.
  void toLetters(const std::vector<LetterDecision>& decided, LetterRun& run, bool heard);
  void takeFromDecoder();
  // The word gap is taken to start two units past the letter gap heard lately [units].
  double wordGapUnits() const;

  DecoderOptions options_;
  std::size_t sum_;  // input samples summed into one
  double rate_;      // of the summed samples
  float partial_ = 0;
  std::size_t partialCount_ = 0;
  double dc_ = 0, dcAlpha_;
  std::uint64_t fed_ = 0, nonFinite_ = 0, mixed_ = 0;

  std::unique_ptr<ToneTracker> tone_;
  std::unique_ptr<Baseband> baseband_;
  std::unique_ptr<FineTuner> fine_;
  std::vector<float> ncoHz_;  // the NCO's frequency for the samples in the fine tuner (a ring)
  std::uint64_t rawCount_ = 0;
  double bbRate_ = 0;
  std::unique_ptr<SpeedTracker> speed_;
  std::unique_ptr<LetterDecoder> letters_;

  std::vector<float> delay_;  // summed samples waiting for the mixer (a ring)
  std::size_t delayHead_ = 0;
  std::uint64_t written_ = 0;
  std::vector<float> hop_, blocked_;
  std::uint64_t summed_ = 0;
  std::vector<std::complex<float>> zs_;

  struct Pending {  // a baseband sample waiting for the letter decoder
    std::complex<float> z;
    float noise;
    float toneHz;
    bool tone;
  };
  std::vector<Pending> pending_;  // a ring
  std::uint64_t pendingIn_ = 0, pendingOut_ = 0;
  std::vector<float> toneAt_;  // tone per decoder sample (a ring), for the measures
  SpeedEpoch epoch_;
  std::size_t looks_ = 0;  // the speed's looks seen
  bool toneHeard_ = false, finished_ = false;

  double letterGapUnits_ = 3;  // the letter gap heard lately
  LetterRun heard_, transmissions_;
};

}  // namespace quillon::audio
