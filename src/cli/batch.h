// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One run of the command line: frames from the arguments or from a log, reports to
// one stream, refusals to another, and the exit status that scripts rely on.
//
//   arguments | log lines -> ReportWriter -> ReportSink (buffered reports, out)
//                                         \-> "line 7: Please input 22 Letters" (err)
//
// A log line may start with the UTC time it was heard ("2026-12-07T03:10:12Z"): its report
// carries that time. A frame without one has the run's given time, if any, else the moment
// of decoding.

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "cli/linereader.h"
#include "cli/reportwriter.h"

namespace quillon::cli {

inline constexpr std::string_view kProgramName = "quillon-decode";

struct BatchResult {
  std::uint64_t reports = 0;
  std::uint64_t refused = 0;
  bool readFailed = false;
  bool writeFailed = false;

  // 0 when every frame got its report; 1 when one was refused or a read or write failed,
  // so that a script never takes a partial run for a complete one.
  int exitStatus() const { return refused > 0 || readFailed || writeFailed ? 1 : 0; }
};

// Collects reports and writes them in large pieces; one write per report would cost
// more than the decoding. Messages go out whole, after the reports before them, so that
// a terminal shows them in order.
class ReportSink {
 public:
  ReportSink(std::ostream& out, std::ostream& err) : out(out), err(err) { text.reserve(2 * kFlushBytes); }

  std::string& buffer() { return text; }
  bool failed() const { return writeFailed; }
  void flushIfFull() {
    if (text.size() >= kFlushBytes) flush();
  }
  void flush();
  // "quillon-decode: <message>" on the error stream.
  void tell(std::string_view message);
  // Writes what is left and notes a failed write in `result`.
  void finish(BatchResult& result);

 private:
  static constexpr std::size_t kFlushBytes = 256 * 1024;
  std::ostream& out;
  std::ostream& err;
  std::string text;
  bool writeFailed = false;
};

// Decodes every frame line of a log (see frameText), each at its line's time or at
// `given`. Reports are written out before each read, so a frame typed at a terminal gets
// its report at once; a refusal names its line.
BatchResult decodeLog(const ByteSource& input, ReportWriter& writer, std::ostream& out, std::ostream& err,
                      const std::optional<stm::ClockReading>& given = std::nullopt);

// Decodes frames given one by one, each exactly as typed, at `given`; a refusal names its
// frame by position, counting from 1.
BatchResult decodeFrames(std::span<const std::string> frames, ReportWriter& writer, std::ostream& out,
                         std::ostream& err, const std::optional<stm::ClockReading>& given = std::nullopt);

// The clock reading of a UTC time: its local time as the system gives it.
stm::ClockReading readingOf(const stm::CalendarTime& utc);

}  // namespace quillon::cli
