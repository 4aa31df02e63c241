// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fields.h"

#include "core/letters.h"

namespace quillon {

TableDecoder::TableDecoder(std::size_t letters) : letterCount(letters < kMaxLetters ? letters : kMaxLetters) {}

bool TableDecoder::parse(std::u32string_view letters) {
  if (letters.size() != letterCount) return false;
  for (const char32_t c : letters) {
    if (!isHexLetterOrMark(c, notCopiedMark)) return false;
  }
  notCopied = 0;
  for (std::size_t n = 0; n < letterCount; ++n) {
    const bool mark = letters[n] == notCopiedMark;
    if (mark) notCopied |= 1U << n;
    nibbles[n] = static_cast<std::uint8_t>(mark ? 0 : hexLetterValue(letters[n]));
  }
  analyzed = true;
  return true;
}

void TableDecoder::setAllAnalyzed(bool value) {
  analyzed = value;
  notCopied = 0;
}

bool TableDecoder::isAnalyzed(const BitField& bits) const { return analyzed && (notCopied & bits.letterMask) == 0; }

std::uint32_t TableDecoder::raw(const BitField& bits) const {
  // Only the letters that hold the field's bits are read.
  std::uint32_t value = 0;
  for (std::size_t n = bits.firstLetter; n <= bits.lastLetter; ++n) value = value << 4 | nibbles[n];
  return value >> (bits.low % 4) & ((std::uint32_t{1} << bits.width) - 1);
}

Field TableDecoder::field(const FieldRow& row) const {
  Field f;
  f.row = &row;
  f.analyzed = isAnalyzed(row.bits);
  if (!f.analyzed) return f;
  const std::uint32_t value = raw(row.bits);
  switch (row.form) {
    case FieldForm::Engineering: f.engineering = row.formula(value); break;
    case FieldForm::Count: f.count = row.counts.empty() ? static_cast<int>(value) : row.counts[value]; break;
    case FieldForm::State: f.state = row.states[value]; break;
  }
  return f;
}

}  // namespace quillon
