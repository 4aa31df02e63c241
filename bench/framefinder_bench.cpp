// SPDX-License-Identifier: GPL-3.0-or-later
// The frame finder's figures, on seeded decoder text (tests/support/decodererrors.h):
//
//   BM_FramesFound     30,000 frames (22, 16 and 8 letters) with 1% of dits and dahs
//                      flipped or lost, 1% of letter gaps missed or added, and 10% of beacon
//                      words damaged besides (BM_FramesFoundTwiceTheErrors: 2% and 2%):
//                        found%              found with their length, where they were sent
//                        intactFound%        of those whose beacon word came through as sent
//                        noLetterLostFound%  of those, when no letter lost all its dits and
//                                            dahs (such a letter leaves no trace to mend)
//                        notCopied%          letters of found frames marked x
//                        wrongUnmarked%      letters wrong and not marked x: the decoder's
//                                            own errors that no reading can see (a flip from
//                                            one hex letter to another)
//                        repaired            letters the finder joined or divided
//                        wrongRepaired       of those, letters wrong (a second error in them)
//                        falseFrames, wrongLength   frames where none was sent, or too long
//   BM_NoFalseFrames   frames found in 1 MB of chatter and decoder garbage (must be none),
//                      and the speed there
//   BM_DecoderText     speed on decoder text: the frames above with a little chatter
//
// Figures are counters: read them, they are not asserted.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/framefinder.h"
#include "core/morse.h"
#include "support/decodererrors.h"

namespace {

using quillon::FoundFrame;
using quillon::FrameFinder;
using quillon::test::Codes;
using quillon::test::DecoderErrors;

const std::vector<std::size_t> kLengths = {22, 16, 8};

struct SentFrame {
  std::string letters;
  std::size_t end = 0;  // byte after its letters
  bool beaconIntact = false;
  bool letterLost = false;  // a letter lost every dit and dah: no reading brings it back
};

// Decoder text of `count` frames: each beacon word damaged with probability `damaged`,
// frames apart by a blank or a line end, now and then a few words of chatter between them.
struct FrameText {
  std::string text;
  std::map<std::size_t, SentFrame> frames;  // by the byte its beacon word starts at
};

std::string chatterWord(DecoderErrors& errors);

FrameText frameText(std::uint64_t seed, double elements, double gaps, double damaged, std::size_t count) {
  DecoderErrors errors(seed, elements, gaps);
  auto& random = errors.generator();
  FrameText out;
  for (std::size_t i = 0; i < count; ++i) {
    SentFrame sent;
    sent.letters = errors.hexLetters(kLengths[random() % kLengths.size()]);
    const Codes beacon = std::uniform_real_distribution<>(0, 1)(random) < damaged
                             ? errors.damagedBeacon()
                             : DecoderErrors::codesOf("TNGR");
    const std::size_t begin = out.text.size();
    const std::string printedBeacon = errors.print(beacon);
    sent.beaconIntact = printedBeacon == "TNGR";
    const std::size_t lost = errors.lettersLost();
    out.text += printedBeacon + ' ' + errors.print(DecoderErrors::codesOf(sent.letters));
    sent.letterLost = errors.lettersLost() != lost;
    sent.end = out.text.size();
    out.frames[begin] = sent;
    out.text += random() % 2 != 0 ? ' ' : '\n';
    if (random() % 8 == 0) {
      for (int w = 0; w < 4; ++w) out.text += chatterWord(errors) + ' ';
      out.text += '\n';
    }
  }
  return out;
}

// --- Chatter and garbage ---------------------------------------------------------------

// A QSO's words, the beacon word among them ("TNGR BCN HRD").
const char* const kWords[] = {
    "CQ",    "DE",     "K",      "KN",   "BK",    "TU",     "73",  "88",   "GM",   "GA",   "GE",
    "FB",    "OM",     "UR",     "RST",  "599",   "5NN",    "579", "NAME", "QTH",  "HR",   "ES",
    "TNX",   "FER",    "QSO",    "AGN",  "PSE",   "QSL",    "VIA", "BURO", "RIG",  "ANT",  "WX",
    "PWR",   "HW",     "CPY",    "SRI",  "QRM",   "QSB",    "R",   "ENGR", "TEST", "UP",   "EE",
    "TNGR",  "BCN",    "HRD",    "SAT",  "PASS",  "AOS",    "LOS", "QRV",  "JOHN", "YUKI", "ANNA",
    "TOKYO", "BERLIN", "DIPOLE", "YAGI", "SUNNY", "CLOUDY", "GUD", "DX",   "AR",   "SK"};

std::string digits(DecoderErrors& errors, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('0' + errors.generator()() % 10);
  return text;
}

std::string chatterWord(DecoderErrors& errors) {
  auto& random = errors.generator();
  switch (random() % 8) {
    case 0: {  // a call sign
      std::string call = "JA";
      call[0] = static_cast<char>('A' + random() % 26);
      call[1] = static_cast<char>('A' + random() % 26);
      call += static_cast<char>('0' + random() % 10);
      for (std::size_t n = 1 + random() % 3; n > 0; --n) call += static_cast<char>('A' + random() % 26);
      return call;
    }
    case 1: return digits(errors, 3);        // a serial number
    case 2: return digits(errors, 4) + "Z";  // a time
    case 3: return digits(errors, 1 + random() % 3) + (random() % 2 != 0 ? "W" : "C");
    default: return kWords[random() % std::size(kWords)];
  }
}

// A decoder listening to noise: short codes mostly, long runs of E, T and I now and then.
std::string garbageWord(DecoderErrors& errors) {
  auto& random = errors.generator();
  Codes word;
  const bool dits = random() % 3 == 0;
  for (std::size_t n = 1 + random() % (dits ? 12 : 7); n > 0; --n) {
    std::string code;
    do code += random() % 2 != 0 ? '-' : '.';
    while (code.size() < 7 && random() % 100 < (dits ? 20 : 55));
    word.push_back(code);
  }
  return errors.print(word);
}

std::string chatterAndGarbage(std::uint64_t seed, std::size_t bytes) {
  DecoderErrors errors(seed, 0.01, 0.01);
  std::string text;
  while (text.size() < bytes) {
    const bool garbage = errors.generator()() % 2 != 0;
    for (std::size_t n = 0; n < 10; ++n) {
      text += garbage ? garbageWord(errors) : errors.print(DecoderErrors::codesOf(chatterWord(errors)));
      text += ' ';
    }
    text += '\n';
  }
  return text;
}

// --- Figures -------------------------------------------------------------------------------

void framesFound(benchmark::State& state, double errors) {
  const FrameText sent = frameText(1, errors, errors, 0.1, 30000);
  double found = 0, intact = 0, intactFound = 0, wrongLength = 0, falseFrames = 0, whole = 0, wholeFound = 0;
  double letters = 0, notCopied = 0, wrong = 0, repaired = 0, wrongRepaired = 0;
  for (auto _ : state) {
    std::vector<std::pair<std::size_t, FoundFrame>> frames;
    FrameFinder finder(kLengths, [&](const FoundFrame& f) { frames.emplace_back(f.place.byte, f); });
    finder.feed(sent.text);
    finder.finish();
    found = intact = intactFound = wrongLength = falseFrames = whole = wholeFound = 0;
    letters = notCopied = wrong = repaired = wrongRepaired = 0;
    std::map<std::size_t, bool> hit;
    for (const auto& [byte, f] : frames) {
      auto at = sent.frames.upper_bound(byte);
      if (at == sent.frames.begin() || byte >= std::prev(at)->second.end) {
        ++falseFrames;
        continue;
      }
      const SentFrame& s = std::prev(at)->second;
      if (f.letters.size() != s.letters.size()) {
        ++wrongLength;
        continue;
      }
      hit[std::prev(at)->first] = true;
      for (std::size_t k = 0; k < s.letters.size(); ++k) {
        const bool mended =
            std::any_of(f.repairs.begin(), f.repairs.end(), [&](const quillon::RepairedLetter& r) {
              return r.letter == k &&
                     (r.why == quillon::LetterRepair::Joined || r.why == quillon::LetterRepair::Divided);
            });
        ++letters;
        repaired += mended ? 1 : 0;
        notCopied += f.letters[k] == 'x' ? 1 : 0;
        wrong += f.letters[k] != 'x' && f.letters[k] != s.letters[k] ? 1 : 0;
        wrongRepaired += mended && f.letters[k] != s.letters[k] ? 1 : 0;
      }
    }
    for (const auto& [byte, s] : sent.frames) {
      intact += s.beaconIntact ? 1 : 0;
      found += hit.count(byte) != 0 ? 1 : 0;
      intactFound += s.beaconIntact && hit.count(byte) != 0 ? 1 : 0;
      whole += s.beaconIntact && !s.letterLost ? 1 : 0;
      wholeFound += s.beaconIntact && !s.letterLost && hit.count(byte) != 0 ? 1 : 0;
    }
  }
  state.counters["found%"] = 100 * found / static_cast<double>(sent.frames.size());
  state.counters["intactFound%"] = 100 * intactFound / intact;
  state.counters["noLetterLostFound%"] = 100 * wholeFound / whole;
  state.counters["intactBeacon%"] = 100 * intact / static_cast<double>(sent.frames.size());
  state.counters["wrongLength"] = wrongLength;
  state.counters["falseFrames"] = falseFrames;
  state.counters["notCopied%"] = 100 * notCopied / letters;
  state.counters["wrongUnmarked%"] = 100 * wrong / letters;
  state.counters["repaired"] = repaired;
  state.counters["wrongRepaired"] = wrongRepaired;
}

void BM_FramesFound(benchmark::State& state) { framesFound(state, 0.01); }
void BM_FramesFoundTwiceTheErrors(benchmark::State& state) { framesFound(state, 0.02); }

void BM_NoFalseFrames(benchmark::State& state) {
  const std::string text = chatterAndGarbage(2, 1 << 20);
  std::size_t frames = 0;
  for (auto _ : state) {
    frames = 0;
    FrameFinder finder(kLengths, [&](const FoundFrame&) { ++frames; });
    finder.feed(text);
    finder.finish();
  }
  state.counters["falseFrames"] = static_cast<double>(frames);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_DecoderText(benchmark::State& state) {
  const std::string text = frameText(3, 0.01, 0.01, 0.1, 40000).text;
  std::size_t frames = 0;
  for (auto _ : state) {
    FrameFinder finder(kLengths, [&](const FoundFrame&) { ++frames; });
    finder.feed(text);
    finder.finish();
  }
  benchmark::DoNotOptimize(frames);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_FramesFound)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramesFoundTwiceTheErrors)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoFalseFrames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecoderText)->Unit(benchmark::kMillisecond);

}  // namespace
