// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/report_writer.h"

#include "core/csv.h"
#include "core/json.h"
#include "core/letters.h"

namespace quillon::cli {

namespace {

RunWriter runWriter(OutputForm form, LineEnd end) {
  switch (form) {
    case OutputForm::Json:
      return [](RunText& out, std::span<const Field> fields, bool) {
        for (const Field& field : fields) appendJsonField(out.text, out.missing, field);
      };
    case OutputForm::Csv:
      return [](RunText& out, std::span<const Field> fields, bool) {
        for (const Field& field : fields) appendCsvValue(out.text += ',', field);
      };
    case OutputForm::Text:
    case OutputForm::TextCrLf: break;
  }
  return [end](RunText& out, std::span<const Field> fields, bool endsGroup) {
    appendReportBody(out.text, fields, end, endsGroup);
  };
}

}  // namespace

ReportWriter::ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock)
    : kind(kind),
      form(form),
      clock(std::move(clock)),
      texts(kind, runWriter(form, form == OutputForm::TextCrLf ? LineEnd::CrLf : LineEnd::Lf)),
      jsonRecords(kind) {}

void ReportWriter::appendStart(std::string& out) const {
  if (form == OutputForm::Csv) appendCsvHeader(out, kind);
}

bool ReportWriter::append(std::string_view typed, std::string& out) {
  toLetters(typed, letters);
  if (!texts.decode(letters)) return false;
  readClock();
  if (form == OutputForm::Text || form == OutputForm::TextCrLf) {
    out += headerStart;
    appendShownText(out, typed);
    out += lineEnd(end());
    out += lineEnd(end());
    for (const TextPiece& piece : texts.pieces()) out += piece.text;
    return true;
  }
  shown.clear();
  appendShownText(shown, typed);
  if (form == OutputForm::Csv) {
    out += csvTimes;
    appendCsvCell(out, shown);
    for (const TextPiece& piece : texts.pieces()) out += piece.text;
    out += kCsvRowEnd;
    return true;
  }
  jsonPieces.clear();
  for (const TextPiece& piece : texts.pieces())
    jsonPieces.push_back({piece.block, piece.text, piece.missing});
  jsonRecords.append(out, shown, jsonPieces);
  out += '\n';
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
    jsonRecords.setTimes(utcIso, localIso);
    csvTimes.clear();
    appendCsvRowStart(csvTimes, utcIso, localIso, "");  // the data cell follows
  } else {
    headerStart.clear();
    appendHeaderStart(headerStart, kind, now, end());
  }
}

}  // namespace quillon::cli
