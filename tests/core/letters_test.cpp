#include "hk/letters.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(Letters, OnlyHexDigitsAndLowerCaseXAreLetters) {
  const std::u32string accepted = U"0123456789abcdefABCDEFx";
  for (char32_t c = 0; c < 0x180; ++c) {
    EXPECT_EQ(isHexLetterOrMark(c, kNotCopiedMark), accepted.find(c) != std::u32string::npos)
        << "code point " << static_cast<unsigned>(c);
  }
  EXPECT_FALSE(isHexLetterOrMark(U'X', kNotCopiedMark));
  EXPECT_FALSE(isHexLetterOrMark(U'\uFF21', kNotCopiedMark));  // full-width A
}

TEST(Letters, ValuesOfBothCasesAgree) {
  const std::u32string digits = U"0123456789abcdef";
  const std::u32string upper = U"0123456789ABCDEF";
  for (int v = 0; v < 16; ++v) {
    EXPECT_EQ(hexLetterValue(digits[v]), v);
    EXPECT_EQ(hexLetterValue(upper[v]), v);
  }
  for (char32_t c : {U'x', U'X', U'g', U' ', U'\u00E9'}) EXPECT_EQ(hexLetterValue(c), 0);
}

struct Utf8Case {
  const char* name;
  std::string text;
  std::size_t count;
  std::string sanitized;
};

class Utf8Text : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Text, CountsCharactersNotBytesAndNeverDropsOne) {
  const Utf8Case& c = GetParam();
  EXPECT_EQ(letterCount(c.text), c.count);
  EXPECT_EQ(toLetters(c.text).size(), c.count);
  EXPECT_EQ(sanitizeUtf8(c.text), c.sanitized);
  EXPECT_EQ(letterCount(c.sanitized), c.count);
}

const std::string kFffd = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(Cases, Utf8Text,
                         ::testing::Values(Utf8Case{"ascii", "89D0A768", 8, "89D0A768"},
                                           Utf8Case{"accent", "89D0A76\xC3\xA9", 8, "89D0A76\xC3\xA9"},
                                           Utf8Case{"katakana",
                                                    "\xE3\x82\xAD"
                                                    "1234567",
                                                    8,
                                                    "\xE3\x82\xAD"
                                                    "1234567"},
                                           Utf8Case{"emoji",
                                                    "\xF0\x9F\x98\x80"
                                                    "1234567",
                                                    8,
                                                    "\xF0\x9F\x98\x80"
                                                    "1234567"},
                                           Utf8Case{"lone_continuation",
                                                    "\x80"
                                                    "1234567",
                                                    8, kFffd + "1234567"},
                                           Utf8Case{"truncated_sequence", "1234567\xE3\x82", 9,
                                                    "1234567" + kFffd + kFffd},
                                           Utf8Case{"overlong_slash", "\xC0\xAF", 2, kFffd + kFffd},
                                           Utf8Case{"surrogate", "\xED\xA0\x80", 3, kFffd + kFffd + kFffd},
                                           Utf8Case{"empty", "", 0, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Letters, FirstLettersNeverSplitsACharacter) {
  const std::string text =
      "1234567\xF0\x9F\x98\x80"
      "9";
  EXPECT_EQ(firstLetters(text, 7), "1234567");
  EXPECT_EQ(firstLetters(text, 8), "1234567\xF0\x9F\x98\x80");
  EXPECT_EQ(firstLetters(text, 100), text);
  EXPECT_EQ(firstLetters(text, 0), "");
}

TEST(Letters, StatusWordPacksLetterOneHighestAndMarksUncopiedLetters) {
  const char32_t letters[8] = {U'8', U'x', U'5', U'c', U'3', U'E', U'x', U'F'};
  std::uint32_t word = 0xDEADBEEF;
  unsigned notCopied = 99;
  ASSERT_TRUE(packStatusWord(letters, kNotCopiedMark, word, notCopied));
  EXPECT_EQ(word, 0x805C3E0Fu);
  EXPECT_EQ(notCopied, (1u << 1) | (1u << 6));

  const char32_t bad[8] = {U'8', U'A', U'5', U'C', U'3', U'E', U'1', U'X'};
  EXPECT_FALSE(packStatusWord(bad, kNotCopiedMark, word, notCopied));
  EXPECT_EQ(word, 0x805C3E0Fu) << "a refused word leaves the old value";
}

}  // namespace
}  // namespace quillon
