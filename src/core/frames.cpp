// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/frames.h"

#include "core/letters.h"
#include "hk/housekeeping.h"
#include "status/status_words.h"

namespace quillon {

namespace {

constexpr FrameRule kRules[] = {
    {FrameKind::HouseKeeping, 22, "hk", "Tanager CW House Keeping Status", "Please input 22 Letters",
     "Over 22 letters!", &kHouseKeepingFrame},
    {FrameKind::Satellite, 8, "sat", "Tanager Satellite Status", "Please input 8 Letters", "Over 8 letters!",
     &kSatelliteFrame},
    {FrameKind::Pda, 8, "pda", "Tanager PDA Status", "Please input 8 Letters", "Over 8 letters!", &kPdaFrame},
    {FrameKind::SatellitePda, 16, "satpda", "Tanager Satellite & PDA Status", "Please input 16 Letters",
     "Over 16 letters!", &kSatellitePdaFrame},
};

}  // namespace

const FrameRule& frameRule(FrameKind kind) { return kRules[static_cast<int>(kind)]; }

const FrameRule* frameRuleNamed(std::string_view name) {
  for (const FrameRule& rule : kRules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

bool hasFrameLength(FrameKind kind, std::string_view typedUtf8) {
  return letterCount(typedUtf8) == frameRule(kind).letters;
}

std::optional<std::string> cutToFrameLength(FrameKind kind, std::string_view typedUtf8) {
  const std::size_t limit = frameRule(kind).letters;
  if (letterCount(typedUtf8) <= limit) return std::nullopt;
  return firstLetters(typedUtf8, limit);
}

bool decodeFrame(FrameKind kind, std::u32string_view letters, std::vector<Field>& out) {
  out.clear();
  const FrameRule& rule = frameRule(kind);
  if (letters.size() != rule.letters) return false;
  const FrameTable& table = *rule.table;
  std::size_t rowCount = 0;
  for (const FieldGroupTable& rows : table.groups) rowCount += rows.rows.size();
  out.reserve(rowCount);
  for (std::size_t group = 0; group < table.groups.size(); ++group) {
    const FieldGroupTable& rows = table.groups[group];
    // Each group parses its part's letters: a few dozen comparisons, no state between groups.
    const DecoderPart& part = table.parts[rows.part];
    TableDecoder decoder(part.letters);
    decoder.parse(letters.substr(part.firstLetter, part.letters));
    for (const FieldRow& row : rows.rows) {
      Field field = decoder.field(row);
      field.block = rows.block;
      field.group = static_cast<int>(group);
      out.push_back(field);
    }
  }
  return true;
}

std::vector<Field> decodeFrame(FrameKind kind, std::u32string_view letters) {
  std::vector<Field> fields;
  decodeFrame(kind, letters, fields);
  return fields;
}

}  // namespace quillon
