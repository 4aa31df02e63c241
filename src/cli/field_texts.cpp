#include "cli/field_texts.h"

namespace quillon::cli {

FieldTexts::FieldTexts(FrameKind kind, FieldWriter write) : rule(frameRule(kind)), write(std::move(write)) {
  for (const DecoderPart& part : rule.table->parts) decoders.emplace_back(part.letters);
  int group = 0;
  for (const FieldGroupTable& rows : rule.table->groups) {
    for (const FieldRow& fieldRow : rows.rows) {
      Row& row = this->rows.emplace_back();
      row.part = rows.part;
      row.missing.field = TableDecoder().field(fieldRow);  // a decoder that parsed nothing
      row.missing.field.block = rows.block;
      row.missing.field.group = group;
      this->write(row.missing.text, row.missing.field);
      row.scratch.field = row.missing.field;
      if (fieldRow.bits.width <= kCachedBits)
        row.byRaw.resize(std::size_t{1} << fieldRow.bits.width, row.scratch);
    }
    ++group;
  }
  decoded.resize(rows.size());
  written.resize(rows.size());
}

const FieldTexts::Entry& FieldTexts::entry(Row& row, const TableDecoder& decoder) {
  const FieldRow& fieldRow = *row.missing.field.row;
  if (!decoder.isAnalyzed(fieldRow.bits)) return row.missing;
  Entry& entry = row.byRaw.empty() ? row.scratch : row.byRaw[decoder.raw(fieldRow.bits)];
  if (entry.ready) return entry;
  const Field field = decoder.field(fieldRow);
  entry.field.analyzed = field.analyzed;
  entry.field.engineering = field.engineering;
  entry.field.count = field.count;
  entry.field.state = field.state;
  entry.text.clear();
  write(entry.text, entry.field);
  entry.ready = !row.byRaw.empty();
  return entry;
}

bool FieldTexts::decode(std::u32string_view letters) {
  if (letters.size() != rule.letters) return false;
  for (std::size_t i = 0; i < decoders.size(); ++i) {
    const DecoderPart& part = rule.table->parts[i];
    decoders[i] = TableDecoder(part.letters);
    decoders[i].parse(letters.substr(part.firstLetter, part.letters));
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Entry& found = entry(rows[i], decoders[rows[i].part]);
    decoded[i] = found.field;
    written[i] = found.text;
  }
  return true;
}

}  // namespace quillon::cli
