// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/decodererrors.h"

#include "core/morse.h"

namespace quillon::test {

Codes DecoderErrors::codesOf(std::string_view letters) {
  Codes codes;
  for (char c : letters) codes.emplace_back(morseCode(static_cast<unsigned char>(c)));
  return codes;
}

void DecoderErrors::missGap(Codes& codes, std::size_t at) {
  codes[at] += codes[at + 1];
  codes.erase(codes.begin() + static_cast<long>(at) + 1);
}

void DecoderErrors::addGap(Codes& codes, std::size_t at, std::size_t cut) {
  if (cut == 0 || cut >= codes[at].size()) return;
  codes.insert(codes.begin() + static_cast<long>(at) + 1, codes[at].substr(cut));
  codes[at].resize(cut);
}

Codes DecoderErrors::damagedBeacon() {
  Codes w = codesOf("TNGR");
  const std::size_t at = pick(4);
  switch (pick(5)) {
    case 0: w[at] = "?"; break;
    case 1: missGap(w, 1), w[1] = "?"; break;
    case 2: {
      char& element = w[at][pick(w[at].size())];
      element = element == '.' ? '-' : '.';
      break;
    }
    case 3: addGap(w, 1 + at % 3, 1 + pick(w[1 + at % 3].size() - 1)); break;  // N, G or R
    default: missGap(w, pick(3));
  }
  return w;
}

std::string DecoderErrors::print(Codes word) {
  for (std::string& code : word) {
    std::string heard;
    for (char e : code) {
      if (e == '?' || !chance(elements)) {
        heard += e;
      } else if (chance(0.5)) {
        heard += e == '.' ? '-' : '.';
      }
    }
    lost += heard.empty() ? 1 : 0;
    code = heard;
  }
  std::erase(word, "");
  for (std::size_t i = word.size(); i-- > 0;) {
    if (word[i].size() > 1 && word[i] != "?" && chance(gaps / 2))
      addGap(word, i, 1 + pick(word[i].size() - 1));
  }
  for (std::size_t i = word.size(); i-- > 1;) {
    if (word[i - 1] != "?" && word[i] != "?" && chance(gaps / 2)) missGap(word, i - 1);
  }
  std::string printed;
  for (const std::string& code : word) {
    const char32_t letter = code == "?" ? 0 : letterOfCode(code);
    const bool star = letter == 0 && (code == "?" || chance(0.5));
    printed += letter != 0 ? std::string(1, static_cast<char>(letter)) : star ? "*" : '<' + code + '>';
  }
  return printed;
}

std::string DecoderErrors::hexLetters(std::size_t count) {
  std::string letters;
  for (std::size_t i = 0; i < count; ++i) letters += "0123456789ABCDEF"[pick(16)];
  return letters;
}

}  // namespace quillon::test
