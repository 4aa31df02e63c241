// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A transmission read as one whole frame: the letter lattice of LetterDecoder, with the
// number of letters fixed and each place's letters given (the beacon word's own letters,
// then the frame's hexadecimal letters).
//
//   score rows of a transmission -> every reading with exactly the frame's letters, silence
//   free before and after (forward-backward over letters done x grid)
//   -> each place's most probable letter and its probability, and the mass of the frame
//      readings against the mass of every reading (how well a frame explains the sound)
//
// Letter by letter, noise that adds a dit to a letter gap merges two letters into one, and
// a dit lost in noise splits one: each reading is as likely as the true one by itself. A
// frame's letter count rules both out, unless one error is paired with another.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace quillon::audio {

// The lattice's grid: a candidate letter template, scored at each grid step it may start.
struct LatticeShape {
  std::vector<char32_t> letter;   // per candidate
  std::vector<int> length;        // per candidate: grid steps from its start to its last mark's end
  int minGap = 10;                // grid steps between letters, at least
  int oddGap = 17, wordGap = 24;  // gaps from oddGap to wordGap cost oddCost
  double oddCost = 3;
  double frameOddCost = 10;  // an odd gap between a frame's letters (twice: a word gap), as its
                             // letters are evenly spaced
};

using ScoreRows = std::deque<std::vector<float>>;  // [grid step][candidate]: log-likelihood ratio

// A place of a frame: the letters it may hold, and the silence it follows.
struct FramePlace {
  enum class After { LetterGap, WordGap };
  std::u32string letters;
  After after = After::LetterGap;  // a letter gap (a longer one costs), or a word gap or more
};

struct PlacedLetter {
  char32_t letter = 0;
  float confidence = 0;  // the probability that this place holds this letter
  int start = 0;         // grid step, from the first row read
  int candidate = 0;     // the template of the best reading at this place
};

struct FrameReadingOdds {
  std::vector<PlacedLetter> letters;
  double mass = 0;  // log of the sum over the frame's readings
};

// Reads rows [from, to) as the letters of `places`, each letter starting and ending within
// them. Empty when no such reading fits the rows.
// Readings far less likely than the best at a grid step (by e^-30) are not followed.
FrameReadingOdds readWholeFrame(const ScoreRows& rows, std::size_t from, std::size_t to,
                                const LatticeShape& shape, const std::vector<FramePlace>& places);

// Log of the sum over every reading of rows [from, to), with any number of letters (none
// too), each within them: what a frame's mass is weighed against.
double everyReading(const ScoreRows& rows, std::size_t from, std::size_t to, const LatticeShape& shape);

}  // namespace quillon::audio
