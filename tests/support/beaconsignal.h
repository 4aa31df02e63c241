// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Seeded Morse recordings with known letters, for the tests and the signal benchmark.
//
//   text -> keying (units, with jitter and the sender's own gaps) -> tone (drift
//   reflected inside the passband, steps, fading, soft edges) + white noise at the
//   SNR asked -> samples (or a sound file)
//
// SNR is the tone's key-down power over the noise power in 2,500 Hz.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::testsupport {

struct SignalSpec {
  double sampleRate = 8000;
  double wpm = 20;
  double toneHz = 800;
  double snrDb = 100;      // 100 or more: no noise at all
  double amplitude = 0.1;  // of the tone
  double driftHzPerS = 0;  // reflected at the passband's edges
  double stepHz = 0;       // one step of the tone ...
  double stepAtS = -1;     // ... at this time (none when negative)
  double passLowHz = 300, passHighHz = 2700;
  double jitter = 0;  // relative spread of every element and gap
  double letterGapUnits = 3, wordGapUnits = 7;
  double fadeDb = 0;  // slow fading: the tone's level swings over this range
  double fadePeriodS = 20;
  double leadS = 1, tailS = 1;  // noise before the first letter and after the last
  double edgeS = 0.004;         // raised-cosine rise and fall of each element
  std::uint64_t seed = 1;
};

struct KeyedLetter {
  char letter;
  double startS;  // the start of its first mark
};

struct Recording {
  std::vector<float> samples;
  std::vector<KeyedLetter> letters;
};

// Keys `text`: letters, blanks (word gaps) and '|' (a pause of 3 s). Letters Morse has
// no code for are skipped.
Recording makeRecording(const SignalSpec& signal, std::string_view text);

// Writes samples as a sound file of libsndfile's `format` (e.g. SF_FORMAT_WAV |
// SF_FORMAT_PCM_16); false on failure. Samples beyond +-1 are clipped by the format.
bool writeSoundFile(const std::string& path, const std::vector<float>& samples, int rate, int format,
                    int channels = 1);

}  // namespace quillon::testsupport
