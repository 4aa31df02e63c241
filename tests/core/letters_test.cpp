// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/letters.h"

#include <gtest/gtest.h>

#include "core/beacon.h"

namespace quillon {
namespace {

TEST(Letters, OnlyHexDigitsAndLowerCaseXAreLetters) {
  const std::u32string accepted = U"0123456789abcdefABCDEFx";
  for (char32_t c = 0; c < 0x180; ++c)
    EXPECT_EQ(isHexLetterOrMark(c, kNotCopiedMark), accepted.find(c) != std::u32string::npos) << unsigned(c);
  EXPECT_FALSE(isHexLetterOrMark(U'\uFF21', kNotCopiedMark));  // full-width A
  for (int v = 0; v < 16; ++v)
    EXPECT_EQ(std::pair(hexLetterValue(U"0123456789abcdef"[v]), hexLetterValue(U"0123456789ABCDEF"[v])), std::pair(v, v));
  EXPECT_EQ(hexLetterValue(U'x'), 0);
}

const std::string kFffd = "\xEF\xBF\xBD";

struct TypedCase {
  const char* name;
  std::string typed;
  std::u32string letters;  // U+FFFD: a letter of more than one character, or one never valid
  std::string shown;
};

void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }

class TypedText : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedText, OneLetterForWhatAPersonSeesAsOneCharacter) {
  const TypedCase& c = GetParam();
  EXPECT_EQ(toLetters(c.typed), c.letters);
  EXPECT_EQ(letterCount(c.typed), c.letters.size());
  EXPECT_EQ(shownText(c.typed), c.shown);
  EXPECT_EQ(letterCount(c.shown), c.letters.size()) << "what a report shows counts the same";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedText,
    ::testing::Values(
        TypedCase{"ascii", "8A x~", U"8A x~", "8A x~"},
        TypedCase{"precomposed_accent", "A\xC3\xA9", U"A\u00E9", "A\xC3\xA9"},
        TypedCase{"combining_accent", "e\xCC\x81" "1", U"\uFFFD1", "e\xCC\x81" "1"},
        TypedCase{"flag", "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5" "1", U"\uFFFD1", "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5" "1"},
        TypedCase{"skin_tone", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", U"\uFFFD", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"},
        TypedCase{"plane_16", "\xF4\x8F\xBF\xBD", U"\U0010FFFD", "\xF4\x8F\xBF\xBD"},
        TypedCase{"hangul_below_surrogates", "\xED\x9F\xBF", U"\uD7FF", "\xED\x9F\xBF"},
        TypedCase{"lone_continuation", "\x80" "1", U"\uFFFD1", kFffd + "1"},
        TypedCase{"truncated_sequence", "1\xE3\x82", U"1\uFFFD\uFFFD", "1" + kFffd + kFffd},
        TypedCase{"overlong_slash", "\xC0\xAF", U"\uFFFD\uFFFD", kFffd + kFffd},
        TypedCase{"no_lead_byte", "\xC1\x80\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD", kFffd + kFffd + kFffd + kFffd},
        TypedCase{"high_surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD", kFffd + kFffd + kFffd},
        TypedCase{"low_surrogate", "\xED\xBF\xBF", U"\uFFFD\uFFFD\uFFFD", kFffd + kFffd + kFffd},
        TypedCase{"line_feed", "1\n2", U"1\uFFFD2", "1" + kFffd + "2"},
        TypedCase{"cr_lf", "1\r\n", U"1\uFFFD\uFFFD", "1" + kFffd + kFffd},
        TypedCase{"tab_nul_del", std::string("\t\0\x7F", 3), U"\uFFFD\uFFFD\uFFFD", kFffd + kFffd + kFffd},
        TypedCase{"c1_control", "\xC2\x85", U"\uFFFD", kFffd},
        TypedCase{"separators", "\xE2\x80\xA8\xE2\x80\xA9", U"\uFFFD\uFFFD", kFffd + kFffd},
        TypedCase{"empty", "", U"", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Letters, FirstLettersNeverSplitsALetter) {
  const std::string text = "12\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD" "e\xCC\x81" "3";
  EXPECT_EQ(firstLetters(text, 0), "");
  EXPECT_EQ(firstLetters(text, 2), "12");
  EXPECT_EQ(firstLetters(text, 3), "12\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");
  EXPECT_EQ(firstLetters(text, 4), "12\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD" "e\xCC\x81");
  EXPECT_EQ(firstLetters(text, 9), text);
  EXPECT_EQ(firstLetters("1\x80" "2", 2), "1\x80") << "cut as typed, not as shown";
}

// One rule for the dialog, the command line and the frame finder.
TEST(BeaconWord, AnyCaseThenBlanksOrNothing) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"TNGR 89D0", 5}, {"tngr\t 89D0", 6}, {"TnGr", 4}, {"TNGR89D0", 0}, {"TNG", 0}, {" TNGR 89D0", 0}, {"TMGR 1", 0}, {"XNGR 1", 0}};
  for (const auto& [text, length] : cases) EXPECT_EQ(beaconWordLength(text), length) << text;
}

}  // namespace
}  // namespace quillon
