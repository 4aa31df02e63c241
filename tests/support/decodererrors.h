// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A CW decoder's errors, seeded, for the frame finder's tests and benchmark:
//
//   sent letters -> codes -> dits and dahs flipped or lost, letter gaps missed or added
//                         -> printed letters ('*' or "<.-..>" for a code with no letter)
//
// Rates count against what can go wrong: `elements` of the dits and dahs are flipped or
// lost (half each), `gaps` of the letter gaps are missed or added (half each: a missed gap
// joins two letters, an added one divides a letter). A damaged beacon word comes as decoders
// print one: a letter unknown ("T*GR"), two letters one unknown code ("T*R"), a dit or dah
// flipped ("TMGR", "ENGR"), a letter divided ("TTEGR") or two joined ("GGR").

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::test {

// A code as sent: dits and dahs, or "?" for one the decoder will print as unknown.
using Codes = std::vector<std::string>;

class DecoderErrors {
 public:
  DecoderErrors(std::uint64_t seed, double elements, double gaps)
      : random(seed), elements(elements), gaps(gaps) {}

  // The codes of a word of letters.
  static Codes codesOf(std::string_view letters);
  // A letter gap missed after codes[at]; one added within it after `cut` dits and dahs.
  static void missGap(Codes& codes, std::size_t at);
  static void addGap(Codes& codes, std::size_t at, std::size_t cut);
  // "TNGR" with one damage of the kinds above.
  Codes damagedBeacon();
  // What the decoder prints for one sent word.
  std::string print(Codes word);
  // `count` random hexadecimal letters.
  std::string hexLetters(std::size_t count);
  std::mt19937_64& generator() { return random; }
  // Letters printed so far that lost every dit and dah: no reading can bring them back.
  std::size_t lettersLost() const { return lost; }

 private:
  bool chance(double p) { return std::uniform_real_distribution<>(0, 1)(random) < p; }
  std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); }

  std::mt19937_64 random;
  double elements;
  double gaps;
  std::size_t lost = 0;
};

}  // namespace quillon::test
