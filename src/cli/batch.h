// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One run of the command line: frames from the arguments or from a log, reports to
// one stream, refusals to another, and the exit status that scripts rely on.
//
//   arguments | log lines -> ReportWriter -> buffered reports (out)
//                                         \-> "line 7: Please input 22 Letters" (err)

#include <cstdint>
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

// Decodes every frame line of a log (see frameText). Reports are written out before each
// read, so a frame typed at a terminal gets its report at once; a refusal names its line.
BatchResult decodeLog(const ByteSource& input, ReportWriter& writer, std::ostream& out, std::ostream& err);

// Decodes frames given one by one, each exactly as typed; a refusal names its frame
// by position, counting from 1.
BatchResult decodeFrames(std::span<const std::string> frames, ReportWriter& writer, std::ostream& out,
                         std::ostream& err);

}  // namespace quillon::cli
