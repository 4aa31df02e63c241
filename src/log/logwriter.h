// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kept log: every check appends its JSON Lines record, on the disk before its report
// appears, so closing or losing the dialog after a report never loses its record.
//
// A record is one write of a whole line, and it always starts a line of its own: a log
// whose last line has no line end (a torn write on a full disk, a crash, an editor that
// dropped it) gets one first. A damaged line stays one malformed line, which readers skip,
// and never takes the next record with it.

#include <string>
#include <string_view>

namespace quillon {

// The log's file name in the user's data folder.
inline constexpr std::string_view kLogFileName = "checks.jsonl";

// Appends the line `line` (ending in LF) to the regular file at `path` (made, and its
// folder, when missing) and hands it to the disk before returning. The file is opened
// without waiting, so a FIFO or a device at the path is refused, never waited for.
// Empty on success, else why it failed.
std::string appendLogLine(const std::string& path, std::string_view line);

// What the operator is told, once, when the log cannot be written.
std::string logFailureText(const std::string& path, const std::string& reason);

}  // namespace quillon
