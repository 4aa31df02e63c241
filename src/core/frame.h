// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame the operator can check: its length, title and table, and the one walk over
// the table that decodes it.
//
//   letters --parts--> TableDecoders --groups of rows--> Fields, in report order
//
// A frame is read by one or more decoder parts, each over its own run of letters: an
// invalid letter silences the part that reads it and no other. The report lists the
// fields group by group, in table order. Every table is checked when it is built:
// frameIsSound() fails the build on a row that could read past its letters or its texts.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/fields.h"

namespace quillon {

// A decoder's run of letters within the frame (0-based first letter).
struct DecoderPart {
  std::size_t firstLetter;
  std::size_t letters;
};

// One word of a frame that carries several, as JSON nests it and the hints name it.
struct Block {
  std::string_view key;   // "satellite"
  std::string_view noun;  // "satellite status word"; its first word names it in short
};

// Rows decoded by one part; the report closes each group with an empty line.
struct FieldGroup {
  std::size_t part;  // index into FrameRule::parts
  std::span<const FieldRow> rows;
  const Block* block = nullptr;  // the word it belongs to, in a frame of several
};

struct FrameRule {
  std::string_view name;   // short name for scripts: "hk"
  std::string_view label;  // what the operator calls it: "Satellite Status"
  std::string_view title;  // the report's first line: "Tanager CW House Keeping Status"
  std::size_t letters;     // exact length a check needs
  std::span<const DecoderPart> parts;
  std::span<const FieldGroup> groups;
};

inline constexpr std::string_view kWrongLengthCaption = "Invalidate";

std::string wrongLengthText(const FrameRule& rule);  // "Please input 22 Letters"
std::string overLengthText(const FrameRule& rule);   // "Over 22 letters!"

// True when the typed text has exactly the frame's number of letters.
bool hasFrameLength(const FrameRule& rule, std::string_view typedUtf8);

// What an input guard does with a changed text: nullopt when it is within the limit,
// else the text cut to the limit (the guard shows overLengthText first).
std::optional<std::string> cutToFrameLength(const FrameRule& rule, std::string_view typedUtf8);

// Decodes a frame of exactly rule.letters letters into `out` (cleared first; its
// capacity is reused): every field, analysed or not, in report order. False, with `out`
// empty, for any other number of letters. The only walk over a frame's table.
bool decodeFrame(const FrameRule& rule, std::u32string_view letters, std::vector<Field>& out);
std::vector<Field> decodeFrame(const FrameRule& rule, std::u32string_view letters);

// The number of fields of a frame.
std::size_t fieldCount(const FrameRule& rule);

// True when every row of the frame is sound; in a constant expression a fault stops the
// build with its reason. Checked: widths of 1 to 31 bits within their unit, units within
// their part, parts of at most 32 letters within a frame of at most 64, a formula for
// every engineering row, a text or count for every value a row's bits can take (or the
// row's word for unknown values), and keys unique within a frame's word.
constexpr bool frameIsSound(const FrameRule& rule) {
  const auto fail = [](const char* why) {
    if (why) throw why;  // not a constant expression: the compiler prints `why`
  };
  if (rule.letters > Nibbles::kMaxLetters) fail("a frame has at most 64 letters");
  for (const DecoderPart& part : rule.parts) {
    if (part.letters == 0 || part.letters > 32) fail("a part must have 1 to 32 letters");
    if (part.firstLetter + part.letters > rule.letters) fail("a part reaches past the frame");
  }
  for (const FieldGroup& group : rule.groups) {
    if (group.part >= rule.parts.size()) fail("a group names a part the frame does not have");
    for (const FieldRow& row : group.rows) {
      const BitField& bits = row.bits;
      if (bits.width < 1 || bits.width > 31) fail("a field must be 1 to 31 bits wide");
      if (bits.low + bits.width > 4 * bits.letters) fail("a field reaches past its unit");
      if (bits.letter + bits.letters > rule.parts[group.part].letters) fail("a unit reaches past its part");
      const std::size_t values = std::size_t{1} << bits.width;
      const std::size_t entries = row.form == FieldForm::State ? row.states.size() : row.counts.size();
      if (row.form == FieldForm::Engineering && row.formula == nullptr) fail("an engineering row needs a formula");
      if (row.form == FieldForm::State && entries == 0) fail("a state row needs its texts");
      if (entries != 0 && entries < values && row.unknown.empty()) fail("a table misses values its bits can take");
      if (entries > values) fail("a table has more entries than its bits can pick");
      for (const FieldGroup& other : rule.groups) {
        if (other.block != group.block) continue;
        for (const FieldRow& same : other.rows) {
          if (&same != &row && same.key == row.key) fail("two fields of one word share a key");
        }
      }
    }
  }
  return true;
}

}  // namespace quillon
