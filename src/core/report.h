// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report text a check appends:
//
//   title, "UTC : " and "LocalTime : " in time form 1, "Data = " with the text as shown,
//   an empty line, then the field groups: a line per analysed field, each group closed
//   by an empty line.
//
// A report is built from one clock reading, as lines; the caller picks the line end
// (CR LF as the beacon logs keep them, or LF), so no output ever rewrites a report.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"
#include "time/clock_snapshot.h"

namespace quillon {

enum class LineEnd { Lf, CrLf };

constexpr std::string_view lineEnd(LineEnd end) { return end == LineEnd::CrLf ? "\r\n" : "\n"; }

// The header up to and including "Data = ": the same for every frame of one reading.
void appendHeaderStart(std::string& out, FrameKind kind, const stm::ClockReading& reading, LineEnd end);

// The value as the report prints it: "%.3lf", "%d" or the state text.
void appendFieldValue(std::string& out, const Field& field);

// The field lines of the analysed fields, each group closed by an empty line. A run of a
// frame's fields that stops inside a group leaves it open unless `endsGroup`.
void appendReportBody(std::string& out, std::span<const Field> fields, LineEnd end, bool endsGroup = true);

// The whole report of a typed frame; nullopt when the length is wrong.
std::optional<std::string> buildReport(FrameKind kind, std::string_view typed, const stm::ClockReading& reading,
                                       LineEnd end);

}  // namespace quillon
