// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillon-decode scan: the beacon frames in any CW decoder's text.
//
//   text (a file or standard input, as it comes) -> FrameFinder (core)
//     -> the frame of that length (FrameRoutes) -> FoundReports -> out
//     -> "rx.log:12: 8 letters 8A5C3E1F found; --eight sat or --eight pda decodes them" (err)
//
// FoundReports writes the frames heard in recordings too (listen), every kind in one
// stream: text reports; JSON records with "source" and the caller's members; or one CSV
// table with kind and source columns and a column for every field of every frame.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "core/check.h"
#include "core/framefinder.h"

namespace quillon::cli {

class FrameRoutes {
 public:
  // `named`: the frames the operator chose for lengths several frames share.
  explicit FrameRoutes(const std::vector<const FrameRule*>& named = {});
  std::vector<std::size_t> lengths() const;
  // The frame of found letters: the only one of their length, or the one named for it;
  // nullptr when several share the length and none was named.
  const FrameRule* frameOf(std::size_t letters) const;
  // "--eight sat or --eight pda": how the operator names one of those that share a length.
  std::string choices(std::size_t letters) const;

 private:
  std::vector<const FrameRule*> named;
};

class FoundReports {
 public:
  explicit FoundReports(OutputForm form, stm::ClockSource clock = stm::millisecondCachedClock());

  // What comes before the first report: the CSV header; nothing in the other forms.
  void appendStart(std::string& out) const;
  // The report of a frame's letters at `at` (else the clock's reading); a record carries
  // `source` and then `more` (members with their commas, or nothing).
  void append(const FrameRule& frame, std::string_view letters, const std::optional<stm::ClockReading>& at,
              std::string_view source, std::string_view more, std::string& out);

 private:
  Check& checkOf(const FrameRule& frame);

  OutputForm form;
  stm::ClockSource clock;
  std::vector<Check> checks;  // one for every frame of the list, in its order
};

// Scans one input, named `name` in sources and messages, into `sink`: a frame without a
// time of its line has `given`, else the moment of decoding. Adds to `result`.
void scanText(const ByteSource& input, std::string_view name, const FrameRoutes& routes, FoundReports& reports,
              const std::optional<stm::ClockReading>& given, ReportSink& sink, BatchResult& result);

// A found frame that could not be decoded: its place, letters and what would decode it.
std::string notDecodedText(std::string_view where, const FoundFrame& frame, const FrameRoutes& routes);

}  // namespace quillon::cli
