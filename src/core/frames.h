// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four frames the operator can check: their lengths, messages and tables.
//
//   typed text --letters--> frame letters --parts--> TableDecoders --groups--> Fields
//
// A frame is read by one or more decoder parts, each over its own run of letters: an
// invalid letter silences the part that reads it and no other. The report lists the
// fields group by group, in table order.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/fields.h"

namespace quillon {

enum class FrameKind { HouseKeeping, Satellite, Pda, SatellitePda };

// A decoder's run of letters within the frame (0-based first letter).
struct DecoderPart {
  std::size_t firstLetter;
  std::size_t letters;
};

// Rows decoded by one part; the report closes each group with an empty line.
struct FieldGroupTable {
  std::size_t part;  // index into FrameTable::parts
  std::span<const FieldRow> rows;
  std::string_view block = {};  // "satellite" / "pda" in the combined frame
};

struct FrameTable {
  std::span<const DecoderPart> parts;
  std::span<const FieldGroupTable> groups;
};

struct FrameRule {
  FrameKind kind;
  std::size_t letters;           // exact length a check needs
  std::string_view name;         // short name for scripts: "hk", "sat", "pda", "satpda"
  std::string_view title;        // "Tanager CW House Keeping Status"
  std::string_view wrongLength;  // "Please input 22 Letters"
  std::string_view overLength;   // "Over 22 letters!"
  const FrameTable* table;
};

inline constexpr std::string_view kWrongLengthCaption = "Invalidate";

const FrameRule& frameRule(FrameKind kind);
// The rule named "hk", "sat", "pda" or "satpda"; nullptr for any other name.
const FrameRule* frameRuleNamed(std::string_view name);
inline constexpr FrameKind kAllFrames[] = {FrameKind::HouseKeeping, FrameKind::Satellite, FrameKind::Pda,
                                           FrameKind::SatellitePda};

// True when the typed text has exactly the frame's number of letters.
bool hasFrameLength(FrameKind kind, std::string_view typedUtf8);

// What an input guard does with a changed text: nullopt when it is within the limit,
// else the text cut to the limit (the guard shows rule.overLength first).
std::optional<std::string> cutToFrameLength(FrameKind kind, std::string_view typedUtf8);

// Decodes a frame of exactly rule.letters letters into `out` (cleared first; its
// capacity is reused): every field, analysed or not, in report order. False, with `out`
// empty, for any other number of letters.
bool decodeFrame(FrameKind kind, std::u32string_view letters, std::vector<Field>& out);

// The same, for one frame at a time.
std::vector<Field> decodeFrame(FrameKind kind, std::u32string_view letters);

}  // namespace quillon
