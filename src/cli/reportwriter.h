// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One typed frame in, one report out, in the form the command line asked for:
//
//   typed text -> the core's check -> text report (as the dialog) | JSON line | CSV row
//
// The check keeps what a long log repeats (the texts of one clock reading, each field's
// text for each raw value), so a log costs copies, not number formatting.

#include <string>
#include <string_view>

#include "core/check.h"
#include "time/clocksnapshot.h"

namespace quillon::cli {

enum class OutputForm {
  Text,      // the dialog's report, lines ending in LF
  TextCrLf,  // the same with CR LF, as beacon logs keep them
  Json,      // one JSON object a line
  Csv,       // a header row, then one row a frame
};

class ReportWriter {
 public:
  ReportWriter(const FrameRule& rule, OutputForm form, stm::ClockSource clock = stm::millisecondCachedClock());

  // What comes before the first report: the CSV header row; nothing in the other forms.
  void appendStart(std::string& out) const;

  // Appends the report of one frame typed as `typed` (any bytes) to `out`, at `at` when the
  // frame has a time of its own, else at the clock's reading. False, with nothing appended,
  // when the frame has the wrong length. `more`: members to add at the end of a JSON record.
  bool append(std::string_view typed, std::string& out, const stm::ClockReading* at = nullptr,
              std::string_view more = {});

  const FrameRule& rule() const { return check.rule(); }
  OutputForm outputForm() const { return form; }

 private:
  Check check;
  OutputForm form;
  stm::ClockSource clock;
};

}  // namespace quillon::cli
