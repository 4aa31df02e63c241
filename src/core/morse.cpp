// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/morse.h"

namespace quillon {

std::string_view morseCode(char32_t letter) {
  if (letter >= U'a' && letter <= U'z') letter -= U'a' - U'A';
  for (const MorseLetter& m : kMorseLetters) {
    if (m.letter == letter) return m.code;
  }
  return {};
}

char32_t letterOfCode(std::string_view code) {
  for (const MorseLetter& m : kMorseLetters) {
    if (m.code == code) return m.letter;
  }
  return 0;
}

}  // namespace quillon
