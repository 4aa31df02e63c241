// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/csv.h"

#include <algorithm>

#include "core/json.h"
#include "core/report.h"

namespace quillon {

void appendCsvHeader(std::string& out, FrameKind kind) {
  out += "utc,local,data";
  for (const FieldGroupTable& group : frameRule(kind).table->groups) {
    for (const FieldRow& row : group.rows) {
      out += ',';
      // The combined frame has keys in both words ("apd33VAPower"): the block keeps them apart.
      appendCsvCell(out, group.block.empty() ? std::string(row.key)
                                             : std::string(group.block) + "." + std::string(row.key));
    }
  }
  out += kCsvRowEnd;
}

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

void appendCsvValue(std::string& out, const Field& field) {
  if (!field.analyzed) return;
  switch (field.row->form) {
    case FieldForm::Engineering: appendJsonNumber(out, field.engineering); break;
    case FieldForm::Count: appendFieldValue(out, field); break;
    case FieldForm::State: appendCsvCell(out, field.state); break;
  }
}

void appendCsvRowStart(std::string& out, std::string_view utcIso, std::string_view localIso,
                       std::string_view data) {
  appendCsvCell(out, utcIso);
  out += ',';
  appendCsvCell(out, localIso);
  out += ',';
  appendCsvCell(out, data);
}

void appendCsvRow(std::string& out, std::string_view utcIso, std::string_view localIso, std::string_view data,
                  const std::vector<Field>& fields) {
  appendCsvRowStart(out, utcIso, localIso, data);
  for (const Field& field : fields) appendCsvValue(out += ',', field);
  out += kCsvRowEnd;
}

}  // namespace quillon
