// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One typed frame in, one report out, in the form the command line asked for:
//
//   typed text -> letters -> FieldTexts -> text report (as the dialog) | JSON line | CSV row
//
// The text report is the core's, byte for byte, with LF or CR LF line ends. Over a long
// log the two header times would cost more than the decoding, so the times are written
// only when the clock reading changes (once per millisecond).

#include <string>
#include <string_view>
#include <vector>

#include "cli/field_texts.h"
#include "core/json.h"
#include "core/report.h"
#include "time/clock_snapshot.h"

namespace quillon::cli {

enum class OutputForm {
  Text,      // the dialog's report, lines ending in LF
  TextCrLf,  // the dialog's report exactly, CR LF
  Json,      // one JSON object a line
  Csv,       // a header row, then one row a frame
};

class ReportWriter {
 public:
  ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock = stm::millisecondCachedClock());

  // What comes before the first report: the CSV header row; nothing in the other forms.
  void appendStart(std::string& out) const;

  // Appends the report of one frame typed as `typed` (any bytes) to `out`. False, with
  // nothing appended, when the frame has the wrong length: see rule().wrongLength.
  bool append(std::string_view typed, std::string& out);

  const FrameRule& rule() const { return frameRule(kind); }

 private:
  void readClock();
  LineEnd end() const { return form == OutputForm::TextCrLf ? LineEnd::CrLf : LineEnd::Lf; }

  FrameKind kind;
  OutputForm form;
  stm::ClockSource clock;
  FieldTexts texts;
  bool haveReading = false;
  stm::ClockReading reading;
  std::u32string letters;
  std::string shown;
  JsonRecords jsonRecords;
  std::vector<JsonPiece> jsonPieces;
  std::string headerStart;  // the header up to and including "Data = "
  std::string utcIso;
  std::string localIso;
  std::string csvTimes;  // a CSV row up to its data cell
};

}  // namespace quillon::cli
