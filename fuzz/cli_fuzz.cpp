// Arbitrary bytes as a beacon log through the line reader and every decoder: no crash, no
// sanitizer report, and the reports are exactly those of the core for each frame line.
//
// Byte 0 picks the frame kind and the output form, byte 1 the size of each read (as a
// pipe or a terminal delivers them); the rest is the log.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/julian_date_command.h"
#include "core/letters.h"

namespace {

using namespace quillon;
using namespace quillon::cli;

void check(bool ok) {
  if (!ok) std::abort();
}

const stm::ClockReading kReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};

ByteSource trickle(std::string_view bytes, std::size_t step) {
  return [bytes, step](char* buffer, std::size_t size) mutable -> std::ptrdiff_t {
    const std::size_t n = std::min({size, step, bytes.size()});
    std::memcpy(buffer, bytes.data(), n);
    bytes.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  };
}

// The log's lines as a plain split, for comparison with the reader.
std::vector<std::string_view> splitLines(std::string_view log) {
  std::vector<std::string_view> lines;
  while (!log.empty()) {
    const std::size_t lf = log.find('\n');
    lines.push_back(log.substr(0, lf));
    log.remove_prefix(lf == std::string_view::npos ? log.size() : lf + 1);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const FrameKind kind = kAllFrames[data[0] & 3];
  const auto form = static_cast<OutputForm>((data[0] >> 2) % 3);
  const std::size_t step = 1 + data[1];
  const std::string_view log(reinterpret_cast<const char*>(data) + 2, size - 2);

  // What the log must give: the core's report for every frame line, a refusal for the rest.
  std::string expected;
  std::vector<std::string> frames;
  std::uint64_t refused = 0;
  for (const std::string_view line : splitLines(log)) {
    const auto frame = line.size() > LineReader::kKeptBytes ? std::optional(line) : frameText(line);
    if (!frame) continue;
    const std::string typed(*frame);
    const LineEnd end = form == OutputForm::TextCrLf ? LineEnd::CrLf : LineEnd::Lf;
    const auto report = line.size() > LineReader::kKeptBytes ? std::nullopt : buildReport(kind, typed, kReading, end);
    if (!report) {
      ++refused;
      continue;
    }
    frames.push_back(typed);
    expected += *report;
  }

  ReportWriter writer(kind, form, stm::fixedClock(kReading));
  std::ostringstream out;
  std::ostringstream err;
  const BatchResult result = decodeLog(trickle(log, step), writer, out, err);
  check(result.refused == refused && result.reports == frames.size());
  check(result.exitStatus() == (refused > 0 ? 1 : 0));
  if (form == OutputForm::Json) {
    std::istringstream lines(out.str());
    std::string line;
    std::size_t n = 0;
    while (std::getline(lines, line)) {
      const auto report = nlohmann::json::parse(line);  // throws, and so fails, if invalid
      check(n < frames.size() && report["data"] == shownText(frames[n++]));
    }
    check(n == frames.size());
  } else {
    check(out.str() == expected);
  }

  // The same frames as arguments, taken exactly as typed.
  std::ostringstream argOut;
  const BatchResult args = decodeFrames(frames, writer, argOut, err);
  check(args.refused == 0 && args.reports == frames.size());

  // The log as a jd instant: parsed or not, never a crash.
  if (const auto instant = parseUtcInstant(log)) julianDateOf(*instant);
  return 0;
}
