// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillon-decode listen: the beacon frames heard in recordings.
//
//   sound file (anything libsndfile reads; "-" standard input) -> blocks of samples
//     -> CwDecoder (audio) -> heard letters -> FrameFinder -> the frame of that length
//     -> FoundReports -> out, exactly as scan writes them
//   --text: heard letters -> Transcript -> a line for each transmission -> out
//
// A report's time is the recording's start (--start, or the time in a SatNOGS file name)
// plus where its beacon word starts; without a start, the moment of decoding. A JSON record
// carries the recording ("source"), "offsetS", the "wpm", "toneHz" and "snrDb" measured over
// the frame's letters, and each letter's "confidence".

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "cli/scan.h"

namespace quillon::cli {

struct ListenOptions {
  bool text = false;   // every letter heard, instead of reports
  LineEnd lineEnd = LineEnd::Lf;  // of the --text lines
  std::optional<std::chrono::system_clock::time_point> start;
  // Where to draw a progress bar for a recording over a minute long; nullptr for none.
  std::ostream* progress = nullptr;
};

// Decodes the recording at `path` into `sink`, adding to `result`; a file that cannot be
// read, a cut one and one with no tone in it are told and make the run fail.
void listenTo(const std::string& path, const FrameRoutes& routes, FoundReports& reports,
              const ListenOptions& options, ReportSink& sink, BatchResult& result);

}  // namespace quillon::cli
