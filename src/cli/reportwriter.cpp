// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reportwriter.h"

namespace quillon::cli {

ReportWriter::ReportWriter(const FrameRule& rule, OutputForm form, stm::ClockSource clock)
    : check(rule), form(form), clock(std::move(clock)) {}

void ReportWriter::appendStart(std::string& out) const {
  if (form == OutputForm::Csv) check.appendCsvHeader(out);
}

bool ReportWriter::append(std::string_view typed, std::string& out, const stm::ClockReading* at,
                          std::string_view more) {
  if (!check.decode(typed)) return false;
  const stm::ClockReading reading = at ? *at : clock();
  switch (form) {
    case OutputForm::Text: check.appendReport(out, reading, LineEnd::Lf); break;
    case OutputForm::TextCrLf: check.appendReport(out, reading, LineEnd::CrLf); break;
    case OutputForm::Json:
      check.appendRecord(out, reading, more);
      out += '\n';
      break;
    case OutputForm::Csv: check.appendCsvRow(out, reading); break;
  }
  return true;
}

}  // namespace quillon::cli
