#pragma once
// Beacon letters: one hexadecimal digit per 4-bit nibble, most significant first.
// A letter the operator did not copy is typed as lower-case 'x'. Typed text is UTF-8;
// every decoder works on Unicode code points, so "é" is one (invalid) letter.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

inline constexpr char32_t kNotCopiedMark = U'x';

// True when c is the mark or one of 0-9, a-f, A-F.
bool isHexLetterOrMark(char32_t c, char32_t mark);

// 0-15 for a hexadecimal digit of either case, 0 for anything else.
int hexLetterValue(char32_t c);

// Packs the 8 letters of a status word, letter 1 into bits 31-28 and an uncopied letter as
// nibble 0. False at the first invalid letter, with word and notCopied untouched;
// otherwise bit k-1 of notCopied tells that letter k was the mark.
bool packStatusWord(const char32_t (&letters)[8], char32_t mark, std::uint32_t& word, unsigned& notCopied);

// The typed text as code points. A byte that is not part of valid UTF-8 becomes one
// U+FFFD, so it still counts as one (invalid) letter and is never dropped.
std::u32string toLetters(std::string_view utf8);

// Number of characters the operator sees (code points; an invalid byte counts as one).
std::size_t letterCount(std::string_view utf8);

// The first n characters of the text, never splitting a character.
std::string firstLetters(std::string_view utf8, std::size_t n);

// The text with every invalid UTF-8 byte replaced by U+FFFD: safe to show and to put
// in JSON, and still one character per typed byte.
std::string sanitizeUtf8(std::string_view utf8);

}  // namespace quillon
