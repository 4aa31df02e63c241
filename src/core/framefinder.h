// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame finder: beacon frames in a CW decoder's text or in letters heard from audio.
//
//   text bytes --DecoderTextReader--+
//                                   +--> heard letters -> beacon word -> run of letters -> frame
//   HeardLetters (audio) -----------+
//
// A frame is the beacon word "TNGR", as a decoder may damage it (see beaconStart), and the
// word of letters after it: a decoder prints a frame as one word. The frame is handed out at
// the first blank or line's end after which the letters read as one (see readRun). A line's
// end may also break the word (a receive window wraps): after the beacon word as sent,
// letters that are no frame yet, each of which could be in one, go on with the first word of
// the next line if its letters could all be in a frame too. Where the frame could end at several places, the
// reading with the fewest repairs wins, then the longest.
//
// The finder never invents a frame: without a beacon word there is none, and the letters need
// a frame's length (repaired as readRun allows) and enough of them copied. Memory stays
// bounded whatever the input.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/decodertext.h"
#include "core/framereading.h"
#include "core/morse.h"
#include "time/clocksnapshot.h"

namespace quillon {

struct FoundFrame {
  std::string letters;                    // hex letters and x: one of the lengths asked for
  std::vector<RepairedLetter> repairs;    // the letters marked x, and those rebuilt, in order
  std::vector<float> confidence;          // each letter's, as heard (1 for text)
  Place place;                            // the beacon word's first letter
  Place last;                             // the frame's last heard letter
  std::optional<stm::CalendarTime> time;  // the reception time that starts that line
};

// The letters of a frame marked not copied, with why: "letters 5 (unknown code) and 9 (not
// hexadecimal)"; empty when there are none.
std::string notCopiedText(const FoundFrame& frame);

class FrameFinder : private SoundListener {
 public:
  using Sink = std::function<void(const FoundFrame&)>;

  // `lengths`: the frame lengths to look for (1 to 32 letters each), e.g. 22, 16 and 8.
  FrameFinder(std::vector<std::size_t> lengths, Sink sink);

  // Decoder text (UTF-8), in chunks of any size.
  void feed(std::string_view text);
  // A letter from the audio decoder; below kTrustedConfidence it is not copied.
  void hear(const HeardLetter& letter);
  // A long silence in audio: as a line's end in text.
  void pause() { onBreak(Gap::Pause); }
  // The end of the input: the last frame is handed out. Each input has a finder of its own.
  void finish();

 private:
  void onLetter(MorseBits bits, bool unrecognised, Place place) override;
  // A letter of either input: a letter a frame could have is a hex letter or one not known.
  void take(MorseBits bits, bool unrecognised, float confidence, const Place& place);
  void onBreak(Gap gap) override;
  void onLineTime(std::uint64_t line, const stm::CalendarTime& utc) override;

  void startRun(std::uint64_t beaconFirst, bool exact);
  // The doubt a frame's letters may have (see readRun): after the beacon word as sent nearly
  // half of them, after a damaged one a quarter, as chatter and noise damage it far more often.
  std::size_t mostDoubt(std::size_t length) const;
  void endRun(std::size_t keep);  // the run's first `keep` letters, read as a frame if they are one
  void handOut();                 // hands out `reading` as the frame of the run
  void clearRun();
  // The reading of the run's letters up to a word's end: the fewest repairs, then the most
  // letters. False when they are no frame (yet).
  bool readFrame();

  static constexpr std::size_t kRecent = 8;  // letters a beacon word may take
  struct TimedLine {
    std::uint64_t line = ~std::uint64_t{0};
    stm::CalendarTime utc;
  };

  std::vector<std::size_t> lengths;  // longest first
  std::size_t longestRun = 0;        // letters a run may have: the longest frame and its repairs
  Sink sink;
  DecoderTextReader reader;

  // The last letters for the beacon word: each code twice, so the last kRecent are in a row.
  std::array<MorseBits, 2 * kRecent> recentCodes{};
  std::array<Place, kRecent> recentPlaces;
  std::uint32_t recentStarts = 0;  // bit k: the k-th last letter started a word
  std::uint64_t lastCodes = 0;     // the last four codes, 16 bits each
  std::uint64_t heard = 0;         // letters so far
  std::uint64_t beaconFrom = 0;    // no beacon word starts before this letter
  std::size_t wordLetters = 0;     // letters of the word so far
  bool afterBreak = true;
  std::array<TimedLine, kRecent> lineTimes;

  bool inRun = false;
  bool beaconExact = false;
  std::uint64_t runFrom = 0;  // the number of run[0]
  std::vector<Sound> run;
  std::size_t wordFrom = 0;       // where the word on a later line began
  bool lineEnded = false;         // since the run's last letter
  bool mayGoOnLine = true;        // every letter of the run could be in a frame
  std::vector<std::size_t> ends;  // run lengths where a word ended
  FoundFrame frame;               // the beacon's place and time while a run is read
  RunReading reading;
};

}  // namespace quillon
