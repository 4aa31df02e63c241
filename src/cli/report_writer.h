#pragma once
// One typed frame in, one report out, in the form the command line asked for:
//
//   typed text -> letters -> decodeFrame -> text report (as the dialog) | JSON line
//
// The text report is the core's, byte for byte, with LF or CR LF line ends. Over a long
// log the two header times would cost more than the decoding, so the header is rebuilt
// only when the clock reading changes (once per millisecond).

#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"
#include "core/report.h"
#include "time/clock_snapshot.h"

namespace quillon::cli {

enum class OutputForm {
  Text,      // the dialog's report, lines ending in LF
  TextCrLf,  // the dialog's report exactly, CR LF
  Json,      // one JSON object a line
};

class ReportWriter {
 public:
  ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock = stm::millisecondCachedClock());

  // Appends the report of one frame typed as `typed` (any bytes) to `out`. False, with
  // nothing appended, when the frame has the wrong length: see rule().wrongLength.
  bool append(std::string_view typed, std::string& out);

  const FrameRule& rule() const { return frameRule(kind); }

 private:
  void readClock();

  FrameKind kind;
  OutputForm form;
  stm::ClockSource clock;
  bool haveReading = false;
  stm::ClockReading reading;
  std::u32string letters;
  std::vector<Field> fields;
  std::string shown;
  std::string headerStart;  // the header up to and including "Data = "
  std::string utcIso;
  std::string localIso;
};

}  // namespace quillon::cli
