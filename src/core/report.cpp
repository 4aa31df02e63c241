// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report.h"

#include <charconv>

#include "core/letters.h"

namespace quillon {

void appendHeaderStart(std::string& out, FrameKind kind, const stm::ClockReading& reading, LineEnd end) {
  out += frameRule(kind).title;
  out += lineEnd(end);
  out += "UTC : ";
  out += stm::timeText(reading.utc, 1);
  out += lineEnd(end);
  out += "LocalTime : ";
  out += stm::timeText(reading.local, 1);
  out += lineEnd(end);
  out += "Data = ";
}

void appendFieldValue(std::string& out, const Field& field) {
  // to_chars prints exactly what printf's "%.3lf" and "%d" print, in every locale.
  char number[400];
  switch (field.row->form) {
    case FieldForm::Engineering:
      out.append(number,
                 std::to_chars(number, number + sizeof number, field.engineering, std::chars_format::fixed, 3).ptr);
      break;
    case FieldForm::Count: out.append(number, std::to_chars(number, number + sizeof number, field.count).ptr); break;
    case FieldForm::State: out += field.state; break;
  }
}

void appendReportBody(std::string& out, std::span<const Field> fields, LineEnd end, bool endsGroup) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const Field& field = fields[i];
    if (field.analyzed) {
      out += field.row->label;
      appendFieldValue(out, field);
      out += field.row->unit;
      out += lineEnd(end);
    }
    if (i + 1 == fields.size() ? endsGroup : fields[i + 1].group != field.group) out += lineEnd(end);
  }
}

std::optional<std::string> buildReport(FrameKind kind, std::string_view typed, const stm::ClockReading& reading,
                                       LineEnd end) {
  std::vector<Field> fields;
  if (!decodeFrame(kind, toLetters(typed), fields)) return std::nullopt;
  std::string report;
  report.reserve(1024);
  appendHeaderStart(report, kind, reading, end);
  appendShownText(report, typed);
  report += lineEnd(end);
  report += lineEnd(end);
  appendReportBody(report, fields, end);
  return report;
}

}  // namespace quillon
