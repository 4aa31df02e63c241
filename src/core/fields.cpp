// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fields.h"

namespace quillon {

bool isKnownValue(const Field& field) {
  const FieldRow& row = *field.row;
  switch (row.form) {
    case FieldForm::Engineering: return true;
    case FieldForm::Count: return row.counts.empty() || field.raw < row.counts.size();
    case FieldForm::State: return field.raw < row.states.size();
  }
  return false;
}

double engineeringValue(const Field& field) {
  return field.analyzed ? field.row->formula(field.raw) : -2.0;
}

int countValue(const Field& field) {
  if (!field.analyzed) return -2;
  if (!isKnownValue(field)) return -1;
  return field.row->counts.empty() ? static_cast<int>(field.raw) : field.row->counts[field.raw];
}

std::string_view stateText(const Field& field) {
  if (!field.analyzed) return kNotAnalyzed;
  return isKnownValue(field) ? field.row->states[field.raw] : std::string_view();
}

TableDecoder::TableDecoder(std::size_t letters) : length(letters < kMaxLetters ? letters : kMaxLetters) {}

bool TableDecoder::parse(std::u32string_view letters) {
  if (letters.size() != length) return false;
  const Nibbles read = readNibbles(letters, notCopiedMark);
  if (read.invalid != 0) return false;
  nibbles = read;
  analyzed = true;
  return true;
}

void TableDecoder::setAllAnalyzed(bool value) {
  analyzed = value;
  nibbles.notCopied = 0;
}

bool TableDecoder::isAnalyzed(const BitField& bits) const {
  return analyzed && (nibbles.notCopied & bits.letterMask) == 0;
}

Field TableDecoder::field(const FieldRow& row) const {
  const bool known = isAnalyzed(row.bits);
  return {&row, nullptr, known ? raw(row.bits) : 0, known};
}

}  // namespace quillon
