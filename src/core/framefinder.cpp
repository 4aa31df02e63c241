// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/framefinder.h"

#include <algorithm>

namespace quillon {

namespace {

// The beacon word's letters T N G R, as four codes of 16 bits.
const std::uint64_t kBeaconCodes = std::uint64_t{morseBits("-")} << 48 |
                                   std::uint64_t{morseBits("-.")} << 32 |
                                   std::uint64_t{morseBits("--.")} << 16 | morseBits(".-.");

}  // namespace

std::string notCopiedText(const FoundFrame& frame) {
  std::vector<std::string> marked;
  for (const RepairedLetter& r : frame.repairs) {
    const char* why = r.why == LetterRepair::UnknownCode   ? "unknown code"
                      : r.why == LetterRepair::NotHex      ? "not hexadecimal"
                      : r.why == LetterRepair::NotTrusted  ? "heard with doubt"
                      : r.why == LetterRepair::TwoReadings ? "two readings"
                                                           : nullptr;  // mended, and copied
    if (why) marked.push_back(std::to_string(r.letter + 1) + " (" + why + ")");
  }
  std::string text;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    text += i == 0 ? (marked.size() == 1 ? "letter " : "letters ") : i + 1 == marked.size() ? " and " : ", ";
    text += marked[i];
  }
  return text;
}

FrameFinder::FrameFinder(std::vector<std::size_t> lengthsToFind, Sink sink)
    : lengths(std::move(lengthsToFind)), sink(std::move(sink)) {
  std::sort(lengths.begin(), lengths.end(), std::greater<>());
  lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
  std::erase_if(lengths, [](std::size_t n) { return n == 0 || n > 32; });
  longestRun = lengths.empty() ? 0 : lengths.front() + kMaxRepairs;
  run.reserve(longestRun);
}

void FrameFinder::feed(std::string_view text) { reader.feed(text, *this); }

void FrameFinder::hear(const HeardLetter& letter) {
  if (letter.gapBefore != Gap::Letter) onBreak(letter.gapBefore);
  const MorseBits bits = letter.letter != 0 ? morseBits(morseCode(letter.letter)) : 0;
  take(bits, bits == 0, letter.confidence, {0, 0, letter.startS});
}

void FrameFinder::finish() {
  reader.finish(*this);
  if (inRun) endRun(run.size());
}

void FrameFinder::onLetter(MorseBits bits, bool unrecognised, Place place) {
  take(bits, unrecognised, 1, place);
}

void FrameFinder::take(MorseBits bits, bool unrecognised, float confidence, const Place& place) {
  const bool trusted = confidence >= kTrustedConfidence;
  // "TNGR" as sent, then a letter: a beacon word that the decoder ran into its letters.
  if (wordLetters == 4 && lastCodes == kBeaconCodes && heard >= beaconFrom + 4) startRun(heard - 4, true);
  const bool wordStart = afterBreak;
  afterBreak = false;
  if (inRun && wordStart && !run.empty()) {
    // A word on the same line comes after the frame; one on the next line may go on with it.
    if (lineEnded) {
      wordFrom = run.size();
      lineEnded = false;
    } else {
      endRun(run.size());
    }
  }
  if (inRun) {
    const int hex = hexValue(bits);
    const bool couldBeInFrame = hex >= 0 || bits == 0 || unrecognised || !trusted;
    if (wordFrom > 0 && !couldBeInFrame) {
      endRun(wordFrom);
    } else if (run.size() == longestRun) {
      endRun(run.size());
    } else {
      run.push_back({bits, static_cast<std::int8_t>(hex), unrecognised, trusted, confidence, wordStart, place});
      mayGoOnLine = mayGoOnLine && couldBeInFrame;
    }
  }
  const std::size_t at = heard % kRecent;
  recentCodes[at] = recentCodes[at + kRecent] = bits;
  if (wordStart) recentPlaces[at] = place;  // a beacon word starts a word
  recentStarts = recentStarts << 1 | (wordStart ? 1U : 0U);
  lastCodes = lastCodes << 16 | bits;
  wordLetters = wordStart ? 1 : wordLetters + 1;
  ++heard;
}

void FrameFinder::onBreak(Gap gap) {
  if (!afterBreak) {
    afterBreak = true;
    // A beacon word starts a word among the last few letters.
    const std::size_t n = std::min<std::uint64_t>(kRecent, heard - beaconFrom);
    const std::uint32_t starts = recentStarts & ((1U << n) - 1);
    if (starts != 0) {
      std::uint32_t oldestFirst = 0;
      for (std::size_t k = 0; k < n; ++k) oldestFirst |= ((starts >> (n - 1 - k)) & 1U) << k;
      const std::size_t from = (heard - n) % kRecent;
      const BeaconMatch beacon = beaconStart(std::span(recentCodes).subspan(from, n), oldestFirst);
      if (beacon.first >= 0)
        return startRun(heard - n + static_cast<std::uint64_t>(beacon.first), beacon.exact);
    }
    if (!run.empty()) {  // letters only while a run is read
      ends.push_back(run.size());
      if (readFrame()) return handOut();
    }
  }
  // Letters that are no frame yet may go on after a line's end: all could be in a frame, and
  // the beacon word came as sent.
  if (!run.empty() && (!mayGoOnLine || !beaconExact)) return clearRun();
  if (gap == Gap::Pause && !run.empty()) lineEnded = true;
}

void FrameFinder::onLineTime(std::uint64_t line, const stm::CalendarTime& utc) {
  lineTimes[line % kRecent] = {line, utc};
}

std::size_t FrameFinder::mostDoubt(std::size_t length) const {
  return beaconExact ? (length - std::min<std::size_t>(length, 2)) / 2 : length / 4;
}

void FrameFinder::startRun(std::uint64_t beaconFirst, bool exact) {
  if (inRun) endRun(beaconFirst > runFrom ? beaconFirst - runFrom : 0);
  inRun = true;
  beaconExact = exact;
  runFrom = beaconFrom = heard;
  frame.place = recentPlaces[beaconFirst % kRecent];
  const TimedLine& t = lineTimes[frame.place.line % kRecent];
  frame.time = t.line == frame.place.line ? std::optional(t.utc) : std::nullopt;
}

void FrameFinder::endRun(std::size_t keep) {
  run.resize(std::min(keep, run.size()));
  while (!ends.empty() && ends.back() > run.size()) ends.pop_back();
  if (readFrame()) return handOut();
  clearRun();
}

bool FrameFinder::readFrame() {
  for (std::size_t repairs = 0; repairs <= kMaxRepairs; ++repairs) {
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
      for (std::size_t length : lengths) {
        if (*end + repairs != length && length + repairs != *end) continue;
        if (readRun(std::span(run).first(*end), length, mostDoubt(length), reading)) {
          frame.last = run[*end - 1].place;
          return true;
        }
      }
    }
  }
  return false;
}

void FrameFinder::handOut() {
  clearRun();
  frame.letters = reading.letters;
  frame.repairs = reading.repairs;
  frame.confidence = reading.confidence;
  sink(frame);
}

void FrameFinder::clearRun() {
  inRun = false;
  wordFrom = 0;
  lineEnded = false;
  mayGoOnLine = true;
  run.clear();
  ends.clear();
}

}  // namespace quillon
