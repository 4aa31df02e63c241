// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/frame.h"

#include "core/letters.h"

namespace quillon {

std::string wrongLengthText(const FrameRule& rule) {
  return "Please input " + std::to_string(rule.letters) + " Letters";
}

std::string overLengthText(const FrameRule& rule) { return "Over " + std::to_string(rule.letters) + " letters!"; }

bool hasFrameLength(const FrameRule& rule, std::string_view typedUtf8) {
  return letterCount(typedUtf8) == rule.letters;
}

std::optional<std::string> cutToFrameLength(const FrameRule& rule, std::string_view typedUtf8) {
  if (letterCount(typedUtf8) <= rule.letters) return std::nullopt;
  return firstLetters(typedUtf8, rule.letters);
}

std::size_t fieldCount(const FrameRule& rule) {
  std::size_t n = 0;
  for (const FieldGroup& group : rule.groups) n += group.rows.size();
  return n;
}

bool decodeFrame(const FrameRule& rule, std::u32string_view letters, std::vector<Field>& out) {
  if (letters.size() != rule.letters) {
    out.clear();
    return false;
  }
  // The frame's letters are read once; a part is valid when none of its letters is
  // invalid, as its decoder's parse would find.
  const Nibbles nibbles = readNibbles(letters);
  out.resize(fieldCount(rule));
  Field* field = out.data();
  for (const FieldGroup& group : rule.groups) {
    const DecoderPart& part = rule.parts[group.part];
    const std::uint64_t partLetters = ((std::uint64_t{1} << part.letters) - 1) << part.firstLetter;
    const bool valid = (nibbles.invalid & partLetters) == 0;
    for (const FieldRow& row : group.rows) {
      field->row = &row;
      field->group = &group;
      field->analyzed = valid && (nibbles.notCopied & std::uint64_t{row.bits.letterMask} << part.firstLetter) == 0;
      field->raw = field->analyzed ? rawBits(nibbles.values.data() + part.firstLetter, row.bits) : 0;
      ++field;
    }
  }
  return true;
}

std::vector<Field> decodeFrame(const FrameRule& rule, std::u32string_view letters) {
  std::vector<Field> fields;
  decodeFrame(rule, letters, fields);
  return fields;
}

}  // namespace quillon
