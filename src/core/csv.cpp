// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/csv.h"

#include <algorithm>

namespace quillon {

void appendCsvCell(std::string& out, std::string_view text) {
  const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
  if (std::none_of(text.begin(), text.end(), special)) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace quillon
