#pragma once
// One typed frame in, one report out, in the form the command line asked for:
//
//   typed text -> length rule -> decodeFrame -> text report (as the dialog) | JSON line
//
// The text report is the core's, byte for byte, with LF or CR LF line ends. Over a long
// log the clock and the two header times would cost more than the decoding, so the
// header is rebuilt only when the clock reading changes (once per millisecond).

#include <string>
#include <string_view>

#include "hk/report.h"
#include "time/clock_snapshot.h"

namespace quillon::cli {

enum class OutputForm {
  Text,      // the dialog's report, lines ending in LF
  TextCrLf,  // the dialog's report exactly, CR LF
  Json,      // one JSON object a line
};

// The system clock, converted to calendar time at most once per millisecond: the
// conversion to local time is the costly part of a clock read.
stm::ClockSource millisecondCachedSystemClock();

class ReportWriter {
 public:
  ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock = millisecondCachedSystemClock());

  // Appends the report of one frame typed as `typed` (any bytes) to `out`. False, with
  // nothing appended, when the frame has the wrong length: see rule().wrongLength.
  bool append(std::string_view typed, std::string& out);

  const FrameRule& rule() const { return frameRule(kind); }

 private:
  void readClock();
  void appendText(std::string_view data, std::u32string_view frame, std::string& out);
  void appendJson(std::string_view data, std::u32string_view frame, std::string& out);

  FrameKind kind;
  OutputForm form;
  stm::ClockSource clock;
  bool haveReading = false;
  stm::ClockReading reading;
  std::u32string letters;
  std::string headerStart;  // the header up to and including "Data = "
  std::string utcIso;
  std::string localIso;
};

// Appends text with CR LF line ends, turning them into LF unless crlf is set.
void appendLines(std::string& out, std::string_view crlfText, bool crlf);

// ISO 8601 with milliseconds: "2026-12-06T18:25:28.123Z" and, with the offset that
// local time has from UTC in the same reading, "2026-12-06T19:25:28.123+01:00".
std::string isoUtcText(const stm::CalendarTime& utc);
std::string isoLocalText(const stm::ClockReading& reading);

}  // namespace quillon::cli
