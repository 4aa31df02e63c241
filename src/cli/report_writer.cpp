#include "cli/report_writer.h"

#include "core/json.h"
#include "core/letters.h"

namespace quillon::cli {

ReportWriter::ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock)
    : kind(kind), form(form), clock(std::move(clock)) {}

bool ReportWriter::append(std::string_view typed, std::string& out) {
  toLetters(typed, letters);
  if (!decodeFrame(kind, letters, fields)) return false;
  readClock();
  shown.clear();
  appendShownText(shown, typed);
  if (form == OutputForm::Json) {
    appendJsonRecord(out, kind, shown, utcIso, localIso, fields);
    out += '\n';
    return true;
  }
  const LineEnd end = form == OutputForm::TextCrLf ? LineEnd::CrLf : LineEnd::Lf;
  out += headerStart;
  out += shown;
  out += lineEnd(end);
  out += lineEnd(end);
  appendReportBody(out, fields, end);
  return true;
}

void ReportWriter::readClock() {
  const stm::ClockReading now = clock();
  if (haveReading && now.utc == reading.utc && now.local == reading.local) return;
  reading = now;
  haveReading = true;
  if (form == OutputForm::Json) {
    utcIso = stm::isoUtcText(now.utc);
    localIso = stm::isoLocalText(now);
  } else {
    headerStart.clear();
    appendHeaderStart(headerStart, kind, now, form == OutputForm::TextCrLf ? LineEnd::CrLf : LineEnd::Lf);
  }
}

}  // namespace quillon::cli
