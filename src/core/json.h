// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JSON as quillon-decode --json and the dialog's log write it, streamed: each piece is
// appended straight to a string, with no tree and no allocation once the string has room.
//
// The JSON Lines record of one decoded frame:
//
//   {"kind", "data", "utc", "local", "fields": {key: value...}, "notAnalyzed": [key...]}
//
// Fields are in report order: engineering values as numbers at full precision, counts as
// integers, states as their texts. The combined frame nests a "fields"/"notAnalyzed"
// pair under "satellite" and under "pda" instead.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"

namespace quillon {

// A JSON string: quotes, backslashes and control characters escaped, every byte that is
// not UTF-8 written as U+FFFD, so that the output is always valid JSON.
void appendJsonString(std::string& out, std::string_view text);

// The shortest digits that read back as the same double, laid out as the JSON library
// the log had always used: "0.0", "3.3094901960784315", "1e-05", "1e+16"; null for a
// value that is not finite.
void appendJsonNumber(std::string& out, double value);

// A record's share of some fields of one block: their "key":value members and the keys
// of those left out, each list joined by commas (either may be empty). A writer of many
// records keeps the pieces of the values it has seen.
struct JsonPiece {
  std::string_view block;
  std::string_view members;
  std::string_view missing;
};

// Adds one field to a piece's lists: its member when it is analysed, else its key.
void appendJsonField(std::string& members, std::string& missing, const Field& field);

// Appends the record without a line end. `data` is the frame as shown (valid UTF-8).
void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields);

// The same from pieces in report order.
void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, std::span<const JsonPiece> pieces);

// The records of a log, one kind and many frames: what stays the same from one record to
// the next (the kind, the times of one clock reading) is written once.
class JsonRecords {
 public:
  explicit JsonRecords(FrameKind kind);
  void setTimes(std::string_view utcIso, std::string_view localIso);
  // The record of a frame, from pieces in report order.
  void append(std::string& out, std::string_view data, std::span<const JsonPiece> pieces) const;

 private:
  std::string start;  // {"kind":"hk","data":
  std::string times;  // ,"utc":"...","local":"..."
};

}  // namespace quillon
