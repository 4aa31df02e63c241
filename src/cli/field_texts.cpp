#include "cli/field_texts.h"

namespace quillon::cli {

namespace {

// Cache keys of at most this many bits: a run's unit bits and one per letter for the
// letters not copied (a byte: 8 + 2), or a single row's raw bits.
constexpr unsigned kKeyBits = 12;

bool sameLetters(const BitField& a, const BitField& b) {
  return a.letter == b.letter && a.letters == b.letters;
}

unsigned keyBits(const BitField& unit) { return 5U * unit.letters; }

}  // namespace

FieldTexts::FieldTexts(FrameKind kind, RunWriter write) : rule(frameRule(kind)), write(std::move(write)) {
  for (const DecoderPart& part : rule.table->parts) decoders.emplace_back(part.letters);
  parsed.resize(decoders.size());
  int group = 0;
  for (const FieldGroupTable& table : rule.table->groups) {
    for (std::size_t first = 0, end = 0; first < table.rows.size(); first = end) {
      const BitField& bits = table.rows[first].bits;
      end = first + 1;
      BitField unit{bits.letter, bits.letters, 0, static_cast<std::uint8_t>(4 * bits.letters)};
      if (keyBits(unit) <= kKeyBits) {
        while (end < table.rows.size() && sameLetters(table.rows[end].bits, bits)) ++end;
      }
      Run& run = runs.emplace_back();
      run.part = table.part;
      run.unit = unit;
      run.rows = table.rows.subspan(first, end - first);
      run.block = table.block;
      run.group = group;
      run.endsGroup = end == table.rows.size();
      const unsigned bitsOfKey = run.rows.size() > 1 ? keyBits(unit) : bits.width;
      if (bitsOfKey <= kKeyBits) run.byKey.resize(std::size_t{1} << bitsOfKey);
      textOf(run, TableDecoder());  // a decoder that parsed nothing: the run not analysed
    }
    ++group;
  }
  entries.resize(runs.size());
  found.resize(runs.size());
}

// A run of many rows: its unit's raw bits, and a bit for each of its letters not copied
// (read as 0 in the raw bits). A single row: its raw bits, when it is analysed.
std::size_t FieldTexts::keyOf(const Run& run, const TableDecoder& decoder) const {
  if (run.rows.size() == 1) return decoder.raw(run.rows[0].bits);
  std::size_t key = decoder.raw(run.unit);
  for (std::uint8_t n = 0; n < run.unit.letters; ++n) {
    const BitField letter{run.unit.letter, run.unit.letters, static_cast<std::uint8_t>(4 * n), 4};
    if (!decoder.isAnalyzed(letter)) key |= std::size_t{1} << (run.unit.width + n);
  }
  return key;
}

FieldTexts::Entry FieldTexts::textOf(Run& run, const TableDecoder& decoder) {
  Entry* entry = &run.missing;
  Entry uncached;
  if (parsed[run.part] && (run.rows.size() > 1 || decoder.isAnalyzed(run.rows[0].bits))) {
    entry = run.byKey.empty() ? &uncached : &run.byKey[keyOf(run, decoder)];
  }
  if (entry->at != Entry::kNotReady) return *entry;
  fields.clear();
  for (const FieldRow& row : run.rows) {
    Field& field = fields.emplace_back(decoder.field(row));
    field.block = run.block;
    field.group = run.group;
  }
  written.text.clear();
  written.missing.clear();
  write(written, fields, run.endsGroup);
  entry->at = static_cast<std::uint32_t>(arena.size());
  entry->textSize = static_cast<std::uint32_t>(written.text.size());
  entry->missingSize = static_cast<std::uint32_t>(written.missing.size());
  arena += written.text;
  arena += written.missing;
  if (entry != &uncached) cachedBytes = arena.size();
  return *entry;
}

bool FieldTexts::decode(std::u32string_view letters) {
  if (letters.size() != rule.letters) return false;
  arena.resize(cachedBytes);  // texts not cached are kept for one frame only
  for (std::size_t i = 0; i < decoders.size(); ++i) {
    const DecoderPart& part = rule.table->parts[i];
    decoders[i] = TableDecoder(part.letters);
    parsed[i] = decoders[i].parse(letters.substr(part.firstLetter, part.letters));
  }
  for (std::size_t i = 0; i < runs.size(); ++i) entries[i] = textOf(runs[i], decoders[runs[i].part]);
  // Views only now: a new text may have moved the arena.
  const std::string_view all = arena;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const Entry& entry = entries[i];
    found[i] = {runs[i].block, all.substr(entry.at, entry.textSize),
                all.substr(entry.at + entry.textSize, entry.missingSize)};
  }
  return true;
}

}  // namespace quillon::cli
