// SPDX-License-Identifier: GPL-3.0-or-later
// Every frame of the list, decoded: each bit belongs to the field the bit diagrams give it,
// a not-copied or invalid letter removes exactly what it should, every table code prints
// its text, and a table that could read past its texts does not build.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/check.h"
#include "frames/framelist.h"
#include "frames/housekeeping.h"
#include "frames/statuswords.h"

namespace quillon {
namespace {

std::string keyOf(const Field& f) {
  return f.group->block ? std::string(f.group->block->key) + "." + std::string(f.row->key) : std::string(f.row->key);
}

// Every analysed field's value as the report prints it, by key.
std::map<std::string, std::string> printed(const FrameRule& frame, const std::string& typed) {
  std::map<std::string, std::string> values;
  for (const Field& f : decodeFrame(frame, toLetters(typed)))
    if (f.analyzed) appendFieldValue(values[keyOf(f)], f);
  return values;
}

// Lines of a data file, comments left out, each split at its first blank.
std::map<std::string, std::string> dataLines(const std::string& name) {
  std::ifstream in(std::string(QUILLON_TEST_DATA "/") + name);
  std::map<std::string, std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.starts_with("#")) lines[line.substr(0, line.find(' '))] = line.substr(line.find(' ') + 1);
  return lines;
}

// The owner of each bit of a frame, from bit 0 (the low bit of the last letter) up; "" for
// bits no field reads.
std::vector<std::string> owners(const std::string& name, const std::string& prefix = "") {
  const auto runs = dataLines("bits.txt");
  std::vector<std::string> bits;
  std::istringstream in(runs.at(name));
  for (std::string run; in >> run;) {
    if (run.starts_with("=")) {
      const auto more = owners(run.substr(run.find('.') + 1), run.substr(1, run.find('.')));
      bits.insert(bits.begin(), more.begin(), more.end());
      continue;
    }
    const std::string key = run.substr(0, run.find(':'));
    bits.insert(bits.begin(), std::stoul(run.substr(run.find(':') + 1)), key == "-" ? "" : prefix + key);
  }
  return bits;
}

std::string withBitSet(std::size_t letters, std::size_t bit) {
  std::string frame(letters, '0');
  frame[letters - 1 - bit / 4] = "1248"[bit % 4];
  return frame;
}

// Bytes that all differ (37 is odd, so k -> 37k is one to one), so a field read from the
// wrong letters cannot hide.
std::string distinctFrame(std::size_t letters) {
  std::string frame;
  for (std::size_t k = 0; frame.size() < letters; ++k) {
    const unsigned byte = (0x89 + 37 * k) & 0xFF;
    frame += "0123456789ABCDEF"[byte >> 4];
    frame += "0123456789ABCDEF"[byte & 15];
  }
  return frame.substr(0, letters);
}

class EveryFrame : public ::testing::TestWithParam<const FrameRule*> {};

// Each bit changes exactly the field that owns it: a row reading the wrong bits shows.
TEST_P(EveryFrame, EachBitChangesExactlyItsOwner) {
  const FrameRule& frame = *GetParam();
  const auto bitOwners = owners(std::string(frame.name));
  ASSERT_EQ(bitOwners.size(), 4 * frame.letters);
  const auto zero = printed(frame, std::string(frame.letters, '0'));
  for (std::size_t bit = 0; bit < bitOwners.size(); ++bit) {
    std::set<std::string> changed;
    for (const auto& [key, value] : printed(frame, withBitSet(frame.letters, bit))) {
      if (zero.at(key) != value) changed.insert(key);
    }
    const std::set<std::string> expected =
        bitOwners[bit].empty() ? std::set<std::string>{} : std::set<std::string>{bitOwners[bit]};
    EXPECT_EQ(changed, expected) << "bit " << bit;
  }
}

// A not-copied letter removes the fields with a bit in it; every other keeps its value. An
// invalid letter silences every decoder part that reads it, and no other.
TEST_P(EveryFrame, UncopiedAndInvalidLettersRemoveOnlyTheirFields) {
  const FrameRule& frame = *GetParam();
  const std::string full = distinctFrame(frame.letters);
  const auto values = printed(frame, full);
  const auto bitOwners = owners(std::string(frame.name));
  const auto ownersOf = [&](std::size_t first, std::size_t count) {
    std::set<std::string> keys;
    for (std::size_t bit = 4 * (frame.letters - first - count); bit < 4 * (frame.letters - first); ++bit)
      keys.insert(bitOwners[bit]);
    return keys;
  };
  for (std::size_t p = 0; p < frame.letters; ++p) {
    auto expected = values;
    for (const std::string& key : ownersOf(p, 1)) expected.erase(key);
    EXPECT_EQ(printed(frame, full.substr(0, p) + "x" + full.substr(p + 1)), expected) << "x at letter " << p + 1;

    // Every field of a part that reads letter p goes.
    expected = values;
    for (const FieldGroup& group : frame.groups) {
      const DecoderPart& part = frame.parts[group.part];
      if (p < part.firstLetter || p >= part.firstLetter + part.letters) continue;
      for (const FieldRow& row : group.rows)
        expected.erase(keyOf({&row, &group, 0, false}));
    }
    for (const std::string bad : {"X", " ", "g", "\xC3\xA9", "\n"})
      EXPECT_EQ(printed(frame, full.substr(0, p) + bad + full.substr(p + 1)), expected) << bad << " at " << p + 1;
  }
}

// Every code of every table with more than two entries, and of every count of more than one bit.
TEST_P(EveryFrame, EveryCodeOfEveryTablePrintsItsText) {
  const auto texts = dataLines("codes.txt");
  const FrameRule& frame = *GetParam();
  for (const FieldGroup& group : frame.groups) {
    const DecoderPart& part = frame.parts[group.part];
    for (const FieldRow& row : group.rows) {
      if (row.states.size() <= 2 && (row.form != FieldForm::Count || row.bits.width == 1 || row.bits.width > 3)) continue;
      const auto entry = texts.find(std::string(row.key));
      ASSERT_NE(entry, texts.end()) << row.key << " has no line in codes.txt";
      std::istringstream expected(entry->second);
      std::string text;
      std::uint32_t v = 0;
      for (; std::getline(expected, text, '|'); ++v) {
        std::u32string letters(frame.letters, U'0');
        std::size_t bit = row.bits.low;
        for (std::uint32_t rest = v; rest != 0; rest >>= 1, ++bit) {
          const std::size_t n = part.firstLetter + row.bits.letter + row.bits.letters - 1 - bit / 4;
          letters[n] = U"0123456789ABCDEF"[hexLetterValue(letters[n]) | ((rest & 1) << (bit % 4))];
        }
        std::string shown;
        for (const Field& f : decodeFrame(frame, letters)) {
          if (f.row == &row) appendFieldValue(shown, f);
        }
        EXPECT_EQ(shown, text) << row.key << " code " << v;
      }
      EXPECT_EQ(v, 1U << row.bits.width) << row.key << ": every code";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(List, EveryFrame, ::testing::ValuesIn(allFrames().begin(), allFrames().end()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(FrameList, NamesAndMessages) {
  std::set<std::string_view> names;
  for (const FrameRule* frame : allFrames()) {
    EXPECT_EQ(frameNamed(frame->name), frame);
    EXPECT_TRUE(names.insert(frame->name).second) << frame->name;
  }
  EXPECT_EQ(frameNamed("HK"), nullptr);
  EXPECT_EQ(wrongLengthText(kHouseKeepingFrame), "Please input 22 Letters");
  EXPECT_EQ(overLengthText(kSatellitePdaFrame), "Over 16 letters!");
  std::vector<Field> fields{Field{}};
  EXPECT_FALSE(decodeFrame(kPdaFrame, std::u32string(7, U'0'), fields));
  EXPECT_TRUE(fields.empty());
}

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
  EXPECT_EQ(values.raw(bitField(1, 9, 3, 31)), 0x2468ACF1u) << "31 bits across nine letters";
}

// A table that could read past its letters or its texts stops the build: the same check,
// run here on tables that must fail it.
TEST(FrameIsSound, RefusesEveryUnsoundRow) {
  static constexpr std::string_view two[] = {"off", "on"};
  static constexpr int counts[] = {1, 2, 3};
  // A frame of `letters` letters with one part and one group of `rows`.
  const auto sound = [](std::span<const FieldRow> rows, std::size_t letters = 2, DecoderPart part = {0, 2},
                        std::size_t partOfGroup = 0) {
    const DecoderPart parts[] = {part};
    const FieldGroup groups[] = {{partOfGroup, rows}};
    try {
      return frameIsSound({"t", "T", "Test", letters, parts, groups});
    } catch (const char*) {
      return false;
    }
  };
  const auto one = [&](FieldRow row) { return sound(std::span<const FieldRow>(&row, 1)); };
  EXPECT_TRUE(one(state("a", "A ", byteBits(0, 0, 1), two)));
  EXPECT_FALSE(one(state("a", "A ", byteBits(0, 0, 2), two))) << "two bits, two texts";
  EXPECT_TRUE(one({"a", "A ", byteBits(0, 0, 2), FieldForm::State, nullptr, {}, two, {}, "Unknown"}));
  EXPECT_FALSE(one(count("a", "A ", byteBits(0, 0, 1), counts))) << "more counts than values";
  EXPECT_FALSE(one(count("a", "A ", byteBits(0, 0, 2), counts)));
  EXPECT_TRUE(one(count("a", "A ", byteBits(0, 0, 8))));
  EXPECT_FALSE(one(count("a", "A ", byteBits(0, 0, 0))));
  EXPECT_FALSE(one(count("a", "A ", byteBits(0, 4, 5)))) << "past its unit";
  EXPECT_FALSE(one(count("a", "A ", bitField(1, 2, 0, 1)))) << "past its part";
  EXPECT_FALSE(one(engineering("a", "A ", byteBits(0), nullptr, "")));
  EXPECT_FALSE(one(state("a", "A ", byteBits(0, 0, 1), {})));
  const FieldRow twice[] = {count("a", "A ", byteBits(0, 0, 1)), count("a", "B ", byteBits(0, 1, 1))};
  EXPECT_FALSE(sound(twice)) << "keys repeat";
  const auto first = std::span(twice, 1);
  EXPECT_TRUE(sound(first, 34, {1, 32}));
  EXPECT_FALSE(sound(first, 34, {0, 33})) << "over 32 letters a part";
  EXPECT_FALSE(sound(first, 2, {0, 0})) << "a part of no letters";
  EXPECT_FALSE(sound(first, 1)) << "a part past the frame";
  EXPECT_FALSE(sound(first, 66, {64, 2})) << "over 64 letters";
  EXPECT_FALSE(sound(first, 2, {0, 2}, 1)) << "a group of a part the frame has not";
}

// A value past a row's table prints the row's word for it: in the report, JSON and CSV alike,
// in a field too wide to keep every text of as in a narrow one.
TEST(UnknownValues, PrintTheirNumber) {
  static constexpr std::string_view three[] = {"a", "b", "c"};
  static constexpr int counts[] = {5, 6, 7};
  // A label longer than the texts copied in one move.
  static constexpr std::string_view kLong = "S, whose label is longer than the sixty-four bytes copied in one move, is ";
  static constexpr FieldRow rows[] = {{"s", kLong, byteBits(0, 0, 2), FieldForm::State, nullptr, {}, three, {}, "Unknown"},
                                      {"c", "C is ", byteBits(0, 0, 2), FieldForm::Count, nullptr, counts, {}, {}, "Unknown"},
                                      {"w", "W is ", bitField(2, 4, 0, 16), FieldForm::State, nullptr, {}, three, {}, "Unknown"}};
  static constexpr DecoderPart parts[] = {{0, 6}};
  static constexpr FieldGroup groups[] = {{0, rows}};
  static constexpr FrameRule frame{"t", "T", "Test", 6, parts, groups};
  static_assert(frameIsSound(frame));
  Check check(frame);
  ASSERT_TRUE(check.decode("030001"));
  std::string out;
  check.appendReport(out, {}, LineEnd::Lf);
  check.appendRecord(out, {});
  check.appendCsvRow(out, {});
  EXPECT_NE(out.find("\n" + std::string(kLong) + "Unknown (3)\nC is Unknown (3)\nW is b\n"), std::string::npos) << out;
  EXPECT_NE(out.find(R"x("fields":{"s":"Unknown (3)","c":"Unknown (3)","w":"b"})x"), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with(",Unknown (3),Unknown (3),b\r\n")) << out;
}

// The guard counts and cuts letters, never bytes: an emoji or an accent at the limit stays
// whole or goes whole.
TEST(Guard, CutsOnlyPastTheLimitAndNeverSplitsALetter) {
  const std::string thumb = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", accent = "e\xCC\x81";
  EXPECT_EQ(cutToFrameLength(kSatelliteFrame, "1234567" + thumb), std::nullopt);
  EXPECT_TRUE(hasFrameLength(kSatelliteFrame, "1234567" + thumb));
  EXPECT_EQ(cutToFrameLength(kSatelliteFrame, "1234567" + thumb + "9"), "1234567" + thumb);
  EXPECT_EQ(cutToFrameLength(kSatelliteFrame, "12345678" + accent), "12345678");
  EXPECT_FALSE(hasFrameLength(kSatelliteFrame, "12345678" + accent));
}

}  // namespace
}  // namespace quillon
