// Arbitrary bytes as typed text of every frame length: no crash, no sanitizer report, and
// every report keeps the invariants an operator relies on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hk/letters.h"
#include "hk/report.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const stm::ClockSource kClock = stm::fixedClock({{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}});

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const stm::ClockSnapshot clock(kClock);
  for (quillon::FrameKind kind : quillon::kAllFrames) {
    const quillon::FrameRule& rule = quillon::frameRule(kind);
    // The input as typed, and cut to the frame's length as the input guard would.
    const std::string cut = quillon::cutToFrameLength(kind, bytes).value_or(bytes);
    check(quillon::letterCount(cut) <= rule.letters);
    for (const std::string& typed : {bytes, cut}) {
      const auto report = quillon::buildReport(kind, typed, clock);
      check(report.has_value() == (quillon::letterCount(typed) == rule.letters));
      if (!report) continue;
      const std::string header = quillon::reportHeader(kind, typed, clock);
      check(report->compare(0, header.size(), header) == 0);
      check(report->size() >= 2 && report->compare(report->size() - 2, 2, "\r\n") == 0);
      check(report->find("not analyzed", header.size()) == std::string::npos);
    }
  }
  const std::string clean = quillon::sanitizeUtf8(bytes);
  check(quillon::letterCount(clean) == quillon::letterCount(bytes));
  check(quillon::sanitizeUtf8(clean) == clean);
  return 0;
}
