// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RFC 4180 CSV of decoded frames, for spreadsheets: a header row, then one row a frame.
//
//   utc,local,data,<field keys in report order>     (satpda: satellite.<key>, pda.<key>)
//
// A cell holds what the JSON record holds: engineering values at full precision, counts
// as integers, states as their texts; a field that is not analysed is an empty cell.
// Rows end in CR LF; a cell with a comma, a quote, CR or LF is quoted, its quotes doubled.
// Cells are never rewritten: the data is the frame as shown, whatever its first letter.

#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"

namespace quillon {

inline constexpr std::string_view kCsvRowEnd = "\r\n";

void appendCsvHeader(std::string& out, FrameKind kind);

// One cell, quoted when it must be.
void appendCsvCell(std::string& out, std::string_view text);

// The cell of one field: its value, or nothing when it is not analysed.
void appendCsvValue(std::string& out, const Field& field);

// A frame's row: its start (the time and data cells), then a comma and a cell for each
// field, then kCsvRowEnd.
void appendCsvRowStart(std::string& out, std::string_view utcIso, std::string_view localIso,
                       std::string_view data);
void appendCsvRow(std::string& out, std::string_view utcIso, std::string_view localIso, std::string_view data,
                  const std::vector<Field>& fields);

}  // namespace quillon
