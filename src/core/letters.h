// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Beacon letters: one hexadecimal digit per 4-bit nibble, most significant first.
// A letter the operator did not copy is typed as lower-case 'x'.
//
// Typed text is UTF-8, and a letter is what a person sees as one character (a grapheme
// cluster): "é" typed as e + U+0301, a flag or an emoji sequence is one invalid letter.
// What a report shows of the text never breaks its line: bytes that are not UTF-8,
// control characters and line or paragraph separators show as U+FFFD, one each.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr char32_t kNotCopiedMark = U'x';

// True when c is the mark or one of 0-9, a-f, A-F.
constexpr bool isHexLetterOrMark(char32_t c, char32_t mark) {
  return c == mark || (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'f') || (c >= U'A' && c <= U'F');
}

// 0-15 for a hexadecimal digit of either case, 0 for anything else.
constexpr int hexLetterValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
  return 0;
}

// True when every byte is printable ASCII: one letter a byte, shown as typed.
bool isPrintableAscii(std::string_view text);

// The typed text as a report shows it (see above); every other character as typed.
std::string shownText(std::string_view typed);
void appendShownText(std::string& out, std::string_view typed);

// One entry per letter of the shown text: the character itself when the letter is a
// single code point, else U+FFFD (never a hexadecimal letter). `out` is replaced.
void toLetters(std::string_view typed, std::u32string& out);
std::u32string toLetters(std::string_view typed);

// Number of letters the operator sees.
std::size_t letterCount(std::string_view typed);

// Bytes of the UTF-8 character at text[i]; 0 when the byte there starts none.
std::size_t utf8Length(std::string_view text, std::size_t i);

// The first n letters of the text as typed, never splitting a letter.
std::string firstLetters(std::string_view typed, std::size_t n);

}  // namespace quillon
