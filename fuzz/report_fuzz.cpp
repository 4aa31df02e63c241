// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as typed text of every frame length: no crash, no sanitizer report, and
// every report keeps the invariants an operator relies on.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/letters.h"
#include "core/report.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const stm::ClockReading kReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (quillon::FrameKind kind : quillon::kAllFrames) {
    const quillon::FrameRule& rule = quillon::frameRule(kind);
    // The input as typed, and cut to the frame's length as the input guard would.
    const std::string cut = quillon::cutToFrameLength(kind, bytes).value_or(bytes);
    check(quillon::letterCount(cut) <= rule.letters);
    for (const std::string& typed : {bytes, cut}) {
      const auto report = quillon::buildReport(kind, typed, kReading, quillon::LineEnd::Lf);
      check(report.has_value() == (quillon::letterCount(typed) == rule.letters));
      if (!report) continue;
      // The header keeps its five lines whatever was typed, and no unanalysed value shows.
      std::string header;
      quillon::appendHeaderStart(header, kind, kReading, quillon::LineEnd::Lf);
      header += quillon::shownText(typed) + "\n\n";
      check(report->compare(0, header.size(), header) == 0);
      check(std::count(header.begin(), header.end(), '\n') == 5);
      check(report->size() >= 2 && report->compare(report->size() - 2, 2, "\n\n") == 0);
      check(report->find("not analyzed", header.size()) == std::string::npos);
    }
  }
  const std::string shown = quillon::shownText(bytes);
  check(quillon::letterCount(shown) == quillon::letterCount(bytes));
  check(quillon::shownText(shown) == shown);
  return 0;
}
