// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/framefinder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>

#include "core/decodertext.h"
#include "core/receptiontime.h"
#include "support/decodererrors.h"

namespace quillon {
namespace {

const std::vector<std::size_t> kLengths = {22, 16, 8};

// A frame as the case file writes it: LETTERS@LINE:BYTE/PLACE+WHY...~TIME, then $ when it
// was handed out only at the end of the input.
std::string written(const FoundFrame& f, bool atEnd = false) {
  std::string s = f.letters + '@' + std::to_string(f.place.line) + ':' + std::to_string(f.place.byte);
  for (const RepairedLetter& r : f.repairs)
    s += '/' + std::to_string(r.letter) + "unqrjd"[static_cast<int>(r.why)];
  return (f.time ? s + '~' + stm::isoUtcText(*f.time) : s) + (atEnd ? "$" : "");
}

// The frames found in `text`, fed `chunk` bytes at a time.
std::string framesIn(std::string_view text, std::size_t chunk) {
  std::string frames;
  bool atEnd = false;
  FrameFinder finder(kLengths,
                     [&](const FoundFrame& f) { frames += (frames.empty() ? "" : " ") + written(f, atEnd); });
  for (std::size_t i = 0; i < text.size(); i += chunk) finder.feed(text.substr(i, chunk));
  atEnd = true;
  finder.finish();
  return frames;
}

std::string unescaped(std::string_view text) {
  const std::map<char, std::string> escapes = {{'n', "\n"}, {'t', "\t"}, {'r', "\r"}, {'b', "\xEF\xBB\xBF"}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    out += text[i] == '\\' ? escapes.at(text[++i]) : std::string(1, text[i]);
  return out;
}

TEST(FrameFinder, RulesAsTableCases) {
  std::ifstream in(QUILLON_TEST_DATA "/finder_cases.txt");
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('#')) continue;
    const std::size_t text = line.find(" | ") + 3;
    const std::size_t frames = line.find(" | ", text) + 3;
    const std::string decoded = unescaped(line.substr(text, frames - 3 - text));
    const std::string expected = line.substr(frames, line.find_last_not_of(' ') + 1 - frames);
    EXPECT_EQ(framesIn(decoded, decoded.size()), expected) << line;
    EXPECT_EQ(framesIn(decoded, 1), expected) << line << ", a byte at a time";
    ++cases;
  }
  EXPECT_EQ(cases, 73);
}

TEST(FrameFinder, HeardLettersAndTextTakeOnePath) {
  std::vector<FoundFrame> got;
  FrameFinder finder({8, 33, 1, 32, 0, 8}, [&](const FoundFrame& f) { got.push_back(f); });
  // A faint 5 with a T after it: the two are read as one letter, not copied. A letter
  // heard in lower case is the same letter.
  for (std::size_t i = 0; i < 14; ++i) {
    const float confidence = i == 7 ? 0.5F : i == 9 ? kTrustedConfidence : 1.0F;
    const Gap gap = i == 1 || i == 5 ? Gap::Word : Gap::Letter;
    finder.hear({i == 12 ? 0 : U"ETNGR8a5TC3E1F"[i], confidence, gap, static_cast<double>(i) / 4});
  }
  finder.pause();
  // Frames of 1 to 32 letters are looked for.
  finder.feed("TNGR " + std::string(33, '5') + " TNGR " + std::string(32, '5') + " TNGR G");
  finder.finish();
  ASSERT_EQ(got.size(), 2U);
  EXPECT_EQ(written(got[0]), "8AxC3ExF@0:0/2q/6u");
  EXPECT_EQ(notCopiedText(got[0]), "letters 3 (heard with doubt) and 7 (unknown code)");
  EXPECT_EQ(got[0].place.startS, 0.25);
  EXPECT_EQ(written(got[1]), std::string(32, '5') + "@1:39");
}

// One letter gap missed or added: a frame that is found has every letter right or not
// copied, whatever the decoder printed for it.
TEST(FrameFinder, OneGapMissedOrAddedLeavesNoLetterWrong) {
  test::DecoderErrors decoder(7, 0, 0);
  int found = 0;
  for (int n = 0; n < 600; ++n) {
    const std::string sent = decoder.hexLetters(kLengths[n % 3]);
    test::Codes codes = test::DecoderErrors::codesOf(sent);
    // Two letters heard as one, or one heard as two.
    const std::size_t at = decoder.generator()() % (codes.size() - 1);
    n % 2 == 0 ? test::DecoderErrors::missGap(codes, at)
               : test::DecoderErrors::addGap(codes, at, 1 + decoder.generator()() % codes[at].size());
    const std::string heard = "TNGR " + decoder.print(codes) + "\n";
    std::vector<std::string> frames;
    FrameFinder finder(kLengths, [&](const FoundFrame& f) { frames.push_back(f.letters); });
    finder.feed(heard);
    ASSERT_LE(frames.size(), 1U) << heard;
    found += frames.size();
    for (std::size_t k = 0; k < frames.size() * sent.size(); ++k) {
      EXPECT_TRUE(frames[0][k] == sent[k] || frames[0][k] == 'x') << heard << " read as " << frames[0];
    }
  }
  EXPECT_GE(found, 580);
}

TEST(PastedLetters, BeaconWordBlanksAndLineBreaksDropped) {
  EXPECT_EQ(pastedLetters("TNGR 89D0 A768 2047 2FBC A7A0 1F"), "89D0A76820472FBCA7A01F");
  EXPECT_EQ(pastedLetters(" \t89D0A768\r\n20472FBCA7A01F\n"), "89D0A76820472FBCA7A01F");
  EXPECT_EQ(pastedLetters("\ntngr\n8A5C 3E1F"), "8A5C3E1F");
  EXPECT_EQ(pastedLetters("TNGR8A5C"), "TNGR8A5C") << "a beacon word has a blank after it";
  EXPECT_EQ(pastedLetters("8A5C TNGR 3E1F"), "8A5CTNGR3E1F") << "only a leading one is dropped";
  EXPECT_EQ(pastedLetters("8A-5C\xC3\xA9x"), "8A-5C\xC3\xA9x") << "the rest as typed";
}

TEST(ReceptionTimes, RealUtcInstantsOnlyAndAtTheStartOfALine) {
  std::ifstream in(QUILLON_TEST_DATA "/reception_times.txt");
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('#')) continue;
    const std::size_t utc = line.find(" | ") + 3;
    const std::size_t bytes = line.find(" | ", utc) + 3;
    const std::string text = line.substr(0, utc - 3);
    const auto time = parseUtcTime(text);
    EXPECT_EQ(time ? stm::isoUtcText(*time) : "none", line.substr(utc, bytes - 3 - utc)) << line;
    const auto start = lineStartTime(text);
    EXPECT_EQ(start ? std::to_string(start->bytes) : "none", line.substr(bytes)) << line;
    EXPECT_TRUE(!start || !time || start->utc == *time) << line;
    ++cases;
  }
  EXPECT_EQ(cases, 40);
}

}  // namespace
}  // namespace quillon
