// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kept log: every check appends its JSON Lines record, on the disk before its report
// appears, so closing or losing the dialog after a report never loses its record.

#include <string>
#include <string_view>

namespace quillon {

// The log's file name in the user's data folder.
inline constexpr std::string_view kLogFileName = "checks.jsonl";

// Appends `line` to the file at `path` (its folder is made when missing) and hands it to
// the disk before returning. Empty on success, else why it failed.
std::string appendLogLine(const std::string& path, std::string_view line);

// What the operator is told, once, when the log cannot be written.
std::string logFailureText(const std::string& path, const std::string& reason);

}  // namespace quillon
