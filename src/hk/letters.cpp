#include "hk/letters.h"

namespace quillon {

bool isHexLetterOrMark(char32_t c, char32_t mark) {
  return c == mark || (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F');
}

int hexLetterValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
  return 0;
}

bool packStatusWord(const char32_t (&letters)[8], char32_t mark, std::uint32_t& word, unsigned& notCopied) {
  for (char32_t c : letters) {
    if (!isHexLetterOrMark(c, mark)) return false;
  }
  word = 0;
  notCopied = 0;
  for (int k = 0; k < 8; ++k) {
    if (letters[k] == mark) {
      notCopied |= 1U << k;
    } else {
      word |= static_cast<std::uint32_t>(hexLetterValue(letters[k])) << (4 * (7 - k));
    }
  }
  return true;
}

namespace {

constexpr char32_t kReplacement = 0xFFFD;

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

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::u32string toLetters(std::string_view utf8) {
  std::u32string letters;
  letters.reserve(utf8.size());
  for (std::size_t i = 0, len = 0; i < utf8.size(); i += len) letters += decodeOne(utf8, i, len);
  return letters;
}

std::size_t letterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t i = 0, len = 0; i < utf8.size(); i += len, ++n) decodeOne(utf8, i, len);
  return n;
}

std::string firstLetters(std::string_view utf8, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t len = 0; i < utf8.size() && n > 0; i += len, --n) decodeOne(utf8, i, len);
  return std::string(utf8.substr(0, i));
}

std::string sanitizeUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0, len = 0; i < utf8.size(); i += len) {
    const char32_t cp = decodeOne(utf8, i, len);
    if (cp == kReplacement && len == 1) {
      appendUtf8(out, cp);
    } else {
      out.append(utf8.substr(i, len));
    }
  }
  return out;
}

}  // namespace quillon
