// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/decodererrors.h"

#include "core/morse.h"

namespace quillon::test {

Codes DecoderErrors::codesOf(std::string_view letters) {
  Codes codes;
  for (char c : letters) codes.emplace_back(morseCode(static_cast<unsigned char>(c)));
  return codes;
}

Codes DecoderErrors::damagedBeacon() {
  Codes w = codesOf("TNGR");
  const std::size_t at = pick(4);
  switch (pick(5)) {
    case 0: w[at] = "?"; break;
    case 1: w.erase(w.begin() + 1), w[1] = "?"; break;
    case 2: {
      char& element = w[at][pick(w[at].size())];
      element = element == '.' ? '-' : '.';
      break;
    }
    case 3:
      if (w[at].size() > 1) {
        const std::size_t cut = 1 + pick(w[at].size() - 1);
        w.insert(w.begin() + static_cast<long>(at) + 1, w[at].substr(cut));
        w[at].resize(cut);
      } else {
        w[at] = "?";
      }
      break;
    default:
      const std::size_t first = pick(3);
      w[first] += w[first + 1];
      w.erase(w.begin() + static_cast<long>(first) + 1);
  }
  return w;
}

std::string DecoderErrors::print(const Codes& word) {
  // Dits and dahs flipped or lost, then letter gaps missed or added.
  Codes heard;
  bool gapMissed = false;
  for (const std::string& code : word) {
    std::string h;
    for (char e : code) {
      if (e == '?' || !chance(rates.elements)) {
        h += e;
      } else if (chance(0.5)) {
        h += e == '.' ? '-' : '.';
      }
    }
    lost += h.empty() ? 1 : 0;
    Codes pieces{h};
    if (h.size() > 1 && h != "?" && chance(rates.gaps / 2)) {
      const std::size_t cut = 1 + pick(h.size() - 1);
      pieces = {h.substr(0, cut), h.substr(cut)};
    }
    for (const std::string& piece : pieces) {
      if (gapMissed && !heard.empty() && heard.back() != "?" && piece != "?") {
        heard.back() += piece;
      } else if (!piece.empty()) {
        heard.push_back(piece);
      }
      gapMissed = false;
    }
    gapMissed = chance(rates.gaps / 2);
  }
  std::string printed;
  for (const std::string& code : heard) {
    const char32_t letter = code == "?" ? 0 : letterOfCode(code);
    if (letter != 0) {
      printed += static_cast<char>(letter);
    } else if (code == "?" || chance(0.5)) {
      printed += '*';
    } else {
      printed += '<' + code + '>';
    }
  }
  return printed;
}

std::string DecoderErrors::hexLetters(std::size_t count) {
  std::string letters;
  for (std::size_t i = 0; i < count; ++i) letters += "0123456789ABCDEF"[pick(16)];
  return letters;
}

}  // namespace quillon::test
