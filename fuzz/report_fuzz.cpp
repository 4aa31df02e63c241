// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as typed text of every frame of the list: no crash, no sanitizer report,
// and every report keeps the invariants an operator relies on.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/check.h"
#include "frames/framelist.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const stm::ClockReading kReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const quillon::FrameRule* frame : quillon::allFrames()) {
    // The input as typed, and cut to the frame's length as the input guard would.
    const std::string cut = quillon::cutToFrameLength(*frame, bytes).value_or(bytes);
    check(quillon::letterCount(cut) <= frame->letters);
    for (const std::string& typed : {bytes, cut}) {
      const auto texts = quillon::checkTexts(*frame, typed, kReading, quillon::LineEnd::Lf);
      check(texts.has_value() == (quillon::letterCount(typed) == frame->letters));
      if (!texts) continue;
      // The header keeps its five lines whatever was typed, and no unanalysed value shows.
      const std::string& report = texts->report;
      const std::string header = "Data = " + quillon::shownText(typed) + "\n\n";
      check(report.starts_with(std::string(frame->title) + "\nUTC : "));
      check(report.find(header) != std::string::npos);
      check(std::count(report.begin(), report.begin() + report.find(header) + header.size(), '\n') == 5);
      check(report.size() >= 2 && report.ends_with("\n\n"));
      check(report.find("not analyzed", report.find(header) + header.size()) == std::string::npos);
      check(texts->record.ends_with("}\n") && texts->record.find('\n') == texts->record.size() - 1);
    }
  }
  const std::string shown = quillon::shownText(bytes);
  check(quillon::letterCount(shown) == quillon::letterCount(bytes));
  check(quillon::shownText(shown) == shown);
  return 0;
}
