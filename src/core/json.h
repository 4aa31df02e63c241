// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JSON values as quillon-decode --json and the dialog's log write them, streamed: each is
// appended straight to a string, with no tree and no allocation once the string has room.
// The record itself is the check's (core/check.h).

#include <string>
#include <string_view>

namespace quillon {

// A JSON string: quotes, backslashes and control characters escaped, every byte that is
// not UTF-8 written as U+FFFD, so that the output is always valid JSON.
void appendJsonString(std::string& out, std::string_view text);

// The shortest digits that read back as the same double, laid out as every record in the
// logs has them: "0.0", "3.3094901960784315", "1e-05", "1e+16"; null for a value that is
// not finite.
void appendJsonNumber(std::string& out, double value);

}  // namespace quillon
