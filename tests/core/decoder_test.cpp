// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/frames.h"
#include "core/letters.h"
#include "core/report.h"
#include "hk/housekeeping.h"
#include "status/status_words.h"

namespace quillon {
namespace {

constexpr auto HK = FrameKind::HouseKeeping;
constexpr auto SAT = FrameKind::Satellite;
constexpr auto PDA = FrameKind::Pda;
constexpr auto BOTH = FrameKind::SatellitePda;

std::string keyOf(const Field& f) {
  return f.block.empty() ? std::string(f.row->key) : std::string(f.block) + "." + std::string(f.row->key);
}

// Every analysed field's value as the report prints it, by key.
std::map<std::string, std::string> printed(FrameKind kind, const std::string& typed) {
  std::map<std::string, std::string> values;
  for (const Field& f : decodeFrame(kind, toLetters(typed))) {
    if (f.analyzed) appendFieldValue(values[keyOf(f)], f);
  }
  return values;
}

// Lines of a data file, comments left out, each split at its first blank.
std::map<std::string, std::string> dataLines(const std::string& name) {
  std::ifstream in(std::string(QUILLON_TEST_DATA "/") + name);
  std::map<std::string, std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.starts_with("#")) lines[line.substr(0, line.find(' '))] = line.substr(line.find(' ') + 1);
  }
  return lines;
}

// The owner of each bit of a frame, from bit 0 (the low bit of the last letter) up; "" for
// bits no field reads. The combined frame is the satellite word, then the PDA word.
std::vector<std::string> owners(FrameKind kind) {
  const auto runs = dataLines("bits.txt");
  std::vector<std::string> bits;
  const auto add = [&](const std::string& word, const std::string& prefix) {
    std::istringstream in(runs.at(word));
    for (std::string run; in >> run;) {
      const std::string key = run.substr(0, run.find(':'));
      bits.insert(bits.begin(), std::stoul(run.substr(run.find(':') + 1)), key == "-" ? "" : prefix + key);
    }
  };
  if (kind == BOTH) {
    add("sat", "satellite."), add("pda", "pda.");
  } else {
    add(std::string(frameRule(kind).name), "");
  }
  return bits;
}

std::string withBitSet(std::size_t letters, std::size_t bit) {
  std::string frame(letters, '0');
  frame[letters - 1 - bit / 4] = "1248"[bit % 4];
  return frame;
}

std::string frameName(const ::testing::TestParamInfo<FrameKind>& info) {
  return std::string(frameRule(info.param).name);
}

class EveryFrame : public ::testing::TestWithParam<FrameKind> {};

// Each bit changes exactly the field that owns it: a row reading the wrong bits shows.
TEST_P(EveryFrame, EachBitChangesExactlyItsOwner) {
  const FrameKind kind = GetParam();
  const std::size_t letters = frameRule(kind).letters;
  const auto bitOwners = owners(kind);
  ASSERT_EQ(bitOwners.size(), 4 * letters);
  const auto zero = printed(kind, std::string(letters, '0'));
  for (std::size_t bit = 0; bit < bitOwners.size(); ++bit) {
    std::set<std::string> changed;
    for (const auto& [key, value] : printed(kind, withBitSet(letters, bit))) {
      if (zero.at(key) != value) changed.insert(key);
    }
    const std::set<std::string> expected =
        bitOwners[bit].empty() ? std::set<std::string>{} : std::set<std::string>{bitOwners[bit]};
    EXPECT_EQ(changed, expected) << "bit " << bit;
  }
}

// Distinct letters everywhere, so a field read from the wrong letters cannot hide.
std::string distinctFrame(FrameKind kind) {
  const char* const frames[] = {"13579BDF2A64A8EC3175B9", "89D0A768", "8A5C3E1F", "89D0A7688A5C3E1F"};
  return frames[static_cast<int>(kind)];
}

// A not-copied letter removes the fields with a bit in it; every other keeps its value.
TEST_P(EveryFrame, UncopiedLetterRemovesOnlyItsFields) {
  const FrameKind kind = GetParam();
  const std::string frame = distinctFrame(kind);
  const auto full = printed(kind, frame);
  const auto bitOwners = owners(kind);
  for (std::size_t p = 0; p < frame.size(); ++p) {
    auto expected = full;
    for (std::size_t bit = 4 * (frame.size() - 1 - p); bit < 4 * (frame.size() - p); ++bit) {
      expected.erase(bitOwners[bit]);
    }
    std::string typed = frame;
    typed[p] = 'x';
    EXPECT_EQ(printed(kind, typed), expected) << "x at letter " << p + 1;
  }
}

// An invalid letter silences the decoders that read it and no other.
TEST_P(EveryFrame, InvalidLetterSilencesItsDecoders) {
  const FrameKind kind = GetParam();
  const std::string frame = distinctFrame(kind);
  const auto full = printed(kind, frame);
  const auto bitOwners = owners(kind);
  const auto ownersOfLetters = [&](std::size_t first, std::size_t count) {
    std::set<std::string> keys;
    for (std::size_t p = first; p < first + count; ++p) {
      for (std::size_t b = 0; b < 4; ++b) keys.insert(bitOwners[4 * (frame.size() - 1 - p) + b]);
    }
    return keys;
  };
  for (const std::string bad : {"X", " ", "g", "\xC3\xA9", "\n"}) {
    for (std::size_t p = 0; p < frame.size(); ++p) {
      std::set<std::string> silenced;
      if (kind == HK) {
        const auto mode = ownersOfLetters(8, 2);
        if (p < 20) silenced = ownersOfLetters(0, 20);
        if (p < 20 && (p < 8 || p > 9)) std::erase_if(silenced, [&](auto& k) { return mode.count(k) > 0; });
        if (p >= 20) silenced = ownersOfLetters(20, 2);
      } else {
        silenced = ownersOfLetters(p / 8 * 8, 8);
      }
      auto expected = full;
      for (const auto& key : silenced) expected.erase(key);
      const std::string typed = frame.substr(0, p) + bad + frame.substr(p + 1);
      EXPECT_EQ(printed(kind, typed), expected) << "'" << bad << "' at letter " << p + 1;
    }
  }
}

// Every code of every table with more than two entries, as the design lists them.
TEST_P(EveryFrame, EveryCodeOfEveryTablePrintsItsText) {
  const auto texts = dataLines("codes.txt");
  const FrameKind kind = GetParam();
  const FrameTable& table = *frameRule(kind).table;
  std::size_t checked = 0;
  for (const FieldGroupTable& group : table.groups) {
    const DecoderPart& part = table.parts[group.part];
    for (const FieldRow& row : group.rows) {
      const auto entry = texts.find(std::string(row.key));
      if (entry == texts.end()) continue;
      std::istringstream expected(entry->second);
      std::string text;
      for (std::uint32_t v = 0; std::getline(expected, text, '|'); ++v) {
        std::u32string letters(frameRule(kind).letters, U'0');
        std::size_t bit = row.bits.low;
        for (std::uint32_t rest = v; rest != 0; rest >>= 1, ++bit) {
          const std::size_t n = part.firstLetter + row.bits.letter + row.bits.letters - 1 - bit / 4;
          letters[n] = U"0123456789ABCDEF"[hexLetterValue(letters[n]) | ((rest & 1) << (bit % 4))];
        }
        Field field;
        for (const Field& f : decodeFrame(kind, letters)) {
          if (f.row == &row) field = f;
        }
        std::string printed;
        appendFieldValue(printed, field);
        EXPECT_EQ(printed, text) << row.key << " code " << v;
        ++checked;
      }
    }
  }
  const std::size_t codes[] = {4, 40, 36, 76};  // hk, sat, pda, satpda
  EXPECT_EQ(checked, codes[static_cast<int>(kind)]);
}

INSTANTIATE_TEST_SUITE_P(Frames, EveryFrame, ::testing::ValuesIn(kAllFrames), frameName);

TEST(TableDecoder, ParseChecksEveryLetterFirstAndChangesNothingOnAnInvalidOne) {
  SatelliteStatus word;
  EXPECT_FALSE(word.isAnalyzed(wordBits(0))) << "nothing is analysed before a parse";
  ASSERT_TRUE(word.parse(U"6000000x"));
  for (const std::u32string bad : {U"0000000X", U"X0000000", U"000000000", U"0000000", U"0000000\uFFFD"}) {
    EXPECT_FALSE(word.parse(bad));
    EXPECT_EQ(word.raw(wordBits(29, 3)), 3u);
    EXPECT_TRUE(word.isAnalyzed(wordBits(29, 3)) && !word.isAnalyzed(wordBits(0)));
  }
  word.setAllAnalyzed(true);
  EXPECT_TRUE(word.isAnalyzed(wordBits(0)) && word.isAnalyzed(wordBits(31)));
  word.setAllAnalyzed(false);
  EXPECT_FALSE(word.isAnalyzed(wordBits(29, 3)));
  HouseKeepingValues values;
  EXPECT_TRUE(values.parse(U"0123456789abcdefABCx") && HouseKeepingStatus().parse(U"x1"));
  EXPECT_EQ(values.raw(byteBits(9)), 0xC0u) << "a not-copied letter reads as 0";
}

TEST(FrameRules, MessagesAndNamesOfEveryFrame) {
  struct Expected {
    FrameKind kind;
    const char *name, *wrong, *over;
  };
  const Expected all[] = {{HK, "hk", "Please input 22 Letters", "Over 22 letters!"},
                          {SAT, "sat", "Please input 8 Letters", "Over 8 letters!"},
                          {PDA, "pda", "Please input 8 Letters", "Over 8 letters!"},
                          {BOTH, "satpda", "Please input 16 Letters", "Over 16 letters!"}};
  for (const auto& e : all) {
    const FrameRule& rule = frameRule(e.kind);
    EXPECT_EQ(rule.wrongLength, e.wrong);
    EXPECT_EQ(rule.overLength, e.over);
    EXPECT_EQ(frameRuleNamed(e.name), &rule);
    std::vector<Field> fields{Field{}};
    EXPECT_FALSE(decodeFrame(e.kind, std::u32string(rule.letters - 1, U'0'), fields));
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(buildReport(e.kind, std::string(rule.letters + 1, '0'), {}, LineEnd::Lf), std::nullopt);
  }
  EXPECT_EQ(kWrongLengthCaption, "Invalidate");
  EXPECT_EQ(frameRuleNamed("HK"), nullptr);
}

struct CutCase {
  const char* name;
  FrameKind kind;
  std::string typed;
  std::optional<std::string> cut;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class Guard : public ::testing::TestWithParam<CutCase> {};

TEST_P(Guard, CutsOnlyPastTheLimitAndNeverSplitsALetter) {
  const CutCase& c = GetParam();
  EXPECT_EQ(cutToFrameLength(c.kind, c.typed), c.cut);
  EXPECT_EQ(hasFrameLength(c.kind, c.typed), letterCount(c.typed) == frameRule(c.kind).letters);
}

const std::string kAccentedE = "e\xCC\x81";
const std::string kThumb = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";

INSTANTIATE_TEST_SUITE_P(
    Cases, Guard,
    ::testing::Values(CutCase{"at_limit", SAT, "12345678", std::nullopt},
                      CutCase{"one_over", SAT, "123456789", "12345678"},
                      CutCase{"emoji_at_limit", SAT, "1234567" + kThumb + "9", "1234567" + kThumb},
                      CutCase{"emoji_past_limit", SAT, "12345678" + kThumb, "12345678"},
                      CutCase{"accent_is_one_letter", HK, std::string(21, 'A') + kAccentedE, std::nullopt},
                      CutCase{"accent_past_limit", HK, std::string(21, 'A') + kAccentedE + "0",
                              std::string(21, 'A') + kAccentedE},
                      CutCase{"long", BOTH, std::string(30, 'A'), std::string(16, 'A')}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon
