// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RFC 4180 CSV cells: a cell with a comma, a quote, CR or LF is quoted, its quotes doubled.
// Cells are never rewritten otherwise: the data is the frame as shown, whatever its first
// letter. The rows themselves are the check's (core/check.h).

#include <string>
#include <string_view>

namespace quillon {

void appendCsvCell(std::string& out, std::string_view text);

}  // namespace quillon
