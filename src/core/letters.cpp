// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/letters.h"

#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace quillon {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool breaksTheLine(char32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
}

// Decodes one character at s[i]; sets len to the bytes it takes. A malformed
// sequence (overlong, surrogate, beyond U+10FFFF, truncated) is one invalid byte.
char32_t decodeOne(std::string_view s, std::size_t i, std::size_t& len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  len = 1;
  if (b0 < 0x80) return b0;
  std::size_t need = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1, cp = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2, cp = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    return kReplacement;
  }
  if (s.size() - i <= need) return kReplacement;
  for (std::size_t k = 1; k <= need; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  len = need + 1;
  return cp;
}

// The shown text, and for each of its characters where it starts there and in the typed text.
struct Shown {
  std::string text;
  std::vector<char32_t> characters;
  std::vector<std::size_t> shownAt;  // one more entry than characters: the ends
  std::vector<std::size_t> typedAt;
};

Shown show(std::string_view typed) {
  Shown shown;
  shown.text.reserve(typed.size() + 8);
  for (std::size_t i = 0, len = 0; i < typed.size(); i += len) {
    char32_t cp = decodeOne(typed, i, len);
    shown.shownAt.push_back(shown.text.size());
    shown.typedAt.push_back(i);
    if (breaksTheLine(cp)) cp = kReplacement;
    if (cp == kReplacement) {
      shown.text += "\xEF\xBF\xBD";
    } else {
      shown.text.append(typed.substr(i, len));
    }
    shown.characters.push_back(cp);
  }
  shown.shownAt.push_back(shown.text.size());
  shown.typedAt.push_back(typed.size());
  return shown;
}

struct BreakIteratorClose {
  void operator()(UBreakIterator* it) const { ubrk_close(it); }
};

// Calls f(first, end) with the character indexes of each letter of the shown text.
template <class F>
void forEachLetter(const Shown& shown, F f) {
  thread_local std::unique_ptr<UBreakIterator, BreakIteratorClose> iterator;
  UErrorCode status = U_ZERO_ERROR;
  if (!iterator) iterator.reset(ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status));
  UText* text = utext_openUTF8(nullptr, shown.text.data(), static_cast<std::int64_t>(shown.text.size()), &status);
  if (iterator) ubrk_setUText(iterator.get(), text, &status);
  if (U_FAILURE(status) || !iterator) {
    // Without the segmenter a letter is a character: still safe, only less exact.
    for (std::size_t c = 0; c < shown.characters.size(); ++c) f(c, c + 1);
  } else {
    std::size_t first = 0;
    std::size_t c = 0;
    for (int32_t end = ubrk_next(iterator.get()); end != UBRK_DONE; end = ubrk_next(iterator.get())) {
      while (shown.shownAt[c] < static_cast<std::size_t>(end)) ++c;
      f(first, c);
      first = c;
    }
  }
  utext_close(text);
}

}  // namespace

// Printable ASCII is one letter a byte: the common case needs no segmentation.
bool isPrintableAscii(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::size_t utf8Length(std::string_view text, std::size_t i) {
  std::size_t len = 0;
  return decodeOne(text, i, len) == kReplacement && len == 1 ? 0 : len;
}

std::string shownText(std::string_view typed) {
  std::string text;
  appendShownText(text, typed);
  return text;
}

void appendShownText(std::string& out, std::string_view typed) {
  if (isPrintableAscii(typed)) {
    out += typed;
  } else {
    out += show(typed).text;
  }
}

void toLetters(std::string_view typed, std::u32string& out) {
  if (isPrintableAscii(typed)) {
    // resize and copy keep the capacity; assign from chars would build a temporary string
    out.resize(typed.size());
    std::copy(typed.begin(), typed.end(), out.begin());
    return;
  }
  out.clear();
  const Shown shown = show(typed);
  forEachLetter(shown, [&](std::size_t first, std::size_t end) {
    out += end - first == 1 ? shown.characters[first] : kReplacement;
  });
}

std::u32string toLetters(std::string_view typed) {
  std::u32string letters;
  toLetters(typed, letters);
  return letters;
}

std::size_t letterCount(std::string_view typed) {
  if (isPrintableAscii(typed)) return typed.size();
  std::size_t n = 0;
  forEachLetter(show(typed), [&n](std::size_t, std::size_t) { ++n; });
  return n;
}

std::string firstLetters(std::string_view typed, std::size_t n) {
  if (isPrintableAscii(typed)) return std::string(typed.substr(0, n));
  const Shown shown = show(typed);
  std::size_t end = 0;
  forEachLetter(shown, [&](std::size_t, std::size_t last) {
    if (n > 0) end = last, --n;
  });
  return std::string(typed.substr(0, shown.typedAt.at(end)));
}

}  // namespace quillon
