#include "cli/report_writer.h"

#include "core/csv.h"
#include "core/json.h"
#include "core/letters.h"

namespace quillon::cli {

namespace {

FieldWriter fieldWriter(OutputForm form, LineEnd end) {
  switch (form) {
    case OutputForm::Json: return appendJsonPiece;
    case OutputForm::Csv: return appendCsvValue;
    case OutputForm::Text:
    case OutputForm::TextCrLf: break;
  }
  return [end](std::string& out, const Field& field) {
    if (!field.analyzed) return;
    out += field.row->label;
    appendFieldValue(out, field);
    out += field.row->unit;
    out += lineEnd(end);
  };
}

}  // namespace

ReportWriter::ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock)
    : kind(kind),
      form(form),
      clock(std::move(clock)),
      texts(kind, fieldWriter(form, form == OutputForm::TextCrLf ? LineEnd::CrLf : LineEnd::Lf)) {}

void ReportWriter::appendStart(std::string& out) const {
  if (form == OutputForm::Csv) appendCsvHeader(out, kind);
}

bool ReportWriter::append(std::string_view typed, std::string& out) {
  toLetters(typed, letters);
  if (!texts.decode(letters)) return false;
  readClock();
  shown.clear();
  appendShownText(shown, typed);
  const std::vector<Field>& fields = texts.fields();
  switch (form) {
    case OutputForm::Json:
      appendJsonRecord(out, kind, shown, utcIso, localIso, fields, texts.texts());
      out += '\n';
      return true;
    case OutputForm::Csv: appendCsvRow(out, utcIso, localIso, shown, texts.texts()); return true;
    case OutputForm::Text:
    case OutputForm::TextCrLf: break;
  }
  // The report's layout: a line per analysed field, each group closed by an empty line.
  out += headerStart;
  out += shown;
  out += lineEnd(end());
  out += lineEnd(end());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out += texts.texts()[i];
    if (i + 1 == fields.size() || fields[i + 1].group != fields[i].group) out += lineEnd(end());
  }
  return true;
}

void ReportWriter::readClock() {
  const stm::ClockReading now = clock();
  if (haveReading && now.utc == reading.utc && now.local == reading.local) return;
  reading = now;
  haveReading = true;
  if (form == OutputForm::Json || form == OutputForm::Csv) {
    utcIso = stm::isoUtcText(now.utc);
    localIso = stm::isoLocalText(now);
  } else {
    headerStart.clear();
    appendHeaderStart(headerStart, kind, now, end());
  }
}

}  // namespace quillon::cli
