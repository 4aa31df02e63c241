// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/field_texts.h"

#include "core/letters.h"

namespace quillon::cli {

namespace {

// Rows that read at most this many letters are cached by the letters themselves.
constexpr std::size_t kKeyLetters = 2;
// A letter as a key digit: its value, or 16 when it was not copied.
constexpr std::size_t kLetterKeys = 17;
// Other rows are cached by their raw bits, up to this width.
constexpr unsigned kRawKeyBits = 12;

}  // namespace

FieldTexts::FieldTexts(FrameKind kind, RunWriter write) : rule(frameRule(kind)), write(std::move(write)) {
  // The letters' rule is the core's: asked once for every ASCII character.
  for (char32_t c = 0; c < 128; ++c) {
    asciiKeys[c] = !isHexLetterOrMark(c, kNotCopiedMark) ? kInvalid
                   : c == kNotCopiedMark                 ? kLetterKeys - 1
                                                         : static_cast<std::uint8_t>(hexLetterValue(c));
  }
  for (const DecoderPart& part : rule.table->parts)
    parts.push_back({{}, false, false, false, TableDecoder(part.letters)});
  int group = 0;
  for (const FieldGroupTable& table : rule.table->groups) {
    for (std::size_t first = 0, end = 0; first < table.rows.size(); first = end) {
      const BitField& bits = table.rows[first].bits;
      const bool byLetters = bits.letters <= kKeyLetters;
      for (end = first + 1; byLetters && end < table.rows.size(); ++end) {
        const BitField& next = table.rows[end].bits;
        if (next.letter != bits.letter || next.letters != bits.letters) break;
      }
      Run& run = runs.emplace_back();
      run.part = table.part;
      run.byLetters = byLetters;
      run.rows = table.rows.subspan(first, end - first);
      run.block = table.block;
      run.group = group;
      run.endsGroup = end == table.rows.size();
      parts[table.part].needsDecoder |= !byLetters;
      std::size_t keys = 1;
      for (std::size_t n = 0; byLetters && n < bits.letters; ++n) keys *= kLetterKeys;
      if (!byLetters && bits.width <= kRawKeyBits) keys = std::size_t{1} << bits.width;
      if (byLetters || bits.width <= kRawKeyBits) run.byKey.resize(keys);
      textOf(run);  // no part is valid yet: the run not analysed
    }
    ++group;
  }
  entries.resize(runs.size());
  found.resize(runs.size());
}

std::uint8_t FieldTexts::letterKey(char32_t c) const {
  if (c < 128) return asciiKeys[c];
  return isHexLetterOrMark(c, kNotCopiedMark) ? static_cast<std::uint8_t>(hexLetterValue(c)) : kInvalid;
}

// Parsed only when a field must be decoded: once per new text for most frames.
const TableDecoder& FieldTexts::decoderOf(Part& part) {
  if (!part.decoded) {
    part.decoder = TableDecoder(part.letters.size());
    part.decoder.parse(part.letters);
  }
  part.decoded = true;
  return part.decoder;
}

FieldTexts::Entry FieldTexts::textOf(Run& run) {
  Part& part = parts[run.part];
  Entry* entry = &run.missing;
  Entry uncached;
  const BitField& bits = run.rows[0].bits;
  if (!part.valid) {
    // The part had an invalid letter: nothing of it is analysed.
  } else if (run.byLetters) {
    // The key is unique to the letters, and whether each row is analysed follows from them.
    std::size_t key = 0;
    for (std::size_t n = bits.letter; n < std::size_t{bits.letter} + bits.letters; ++n) {
      key = key * kLetterKeys + letterKey(part.letters[n]);
    }
    entry = &run.byKey[key];
  } else if (decoderOf(part).isAnalyzed(bits)) {
    entry = run.byKey.empty() ? &uncached : &run.byKey[part.decoder.raw(bits)];
  }
  if (entry->at != Entry::kNotReady) return *entry;
  const TableDecoder unparsed;
  const TableDecoder& decoder = part.valid ? decoderOf(part) : unparsed;
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
  for (std::size_t i = 0; i < parts.size(); ++i) {
    Part& part = parts[i];
    part.letters = letters.substr(rule.table->parts[i].firstLetter, rule.table->parts[i].letters);
    part.decoded = false;
    part.valid = true;
    for (const char32_t c : part.letters) part.valid &= letterKey(c) != kInvalid;
  }
  for (std::size_t i = 0; i < runs.size(); ++i) entries[i] = textOf(runs[i]);
  // Views only now: a new text may have moved the arena.
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const char* at = arena.data() + entries[i].at;
    found[i] = {runs[i].block, {at, entries[i].textSize}, {at + entries[i].textSize, entries[i].missingSize}};
  }
  return true;
}

}  // namespace quillon::cli
