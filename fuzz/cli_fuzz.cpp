// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a beacon log through the line reader, one reused check and every
// output form: no crash, no sanitizer report, and the output is exactly what a fresh check
// writes for each frame line. JSON lines are read back with nlohmann-json and CSV rows
// with an RFC 4180 reader, so the writers never emit what a reader would refuse.
//
// Byte 0 picks the frame of the list and the output form, byte 1 the size of each read (as a
// pipe or a terminal delivers them); the rest is the log.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/batch.h"
#include "cli/juliandatecommand.h"
#include "core/receptiontime.h"
#include "frames/framelist.h"

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

constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";

// The log's lines as a plain split, for comparison with the reader; no byte-order mark.
std::vector<std::string_view> splitLines(std::string_view log) {
  std::vector<std::string_view> lines;
  if (log.starts_with(kByteOrderMark)) log.remove_prefix(kByteOrderMark.size());
  while (!log.empty()) {
    const std::size_t lf = log.find('\n');
    lines.push_back(log.substr(0, lf));
    log.remove_prefix(lf == std::string_view::npos ? log.size() : lf + 1);
  }
  return lines;
}

// What a fresh check writes for one frame in the form.
std::string coreOutput(const FrameRule& frame, OutputForm form, const std::string& typed,
                       const stm::ClockReading& reading) {
  Check fresh(frame);
  check(fresh.decode(typed));
  std::string out;
  switch (form) {
    case OutputForm::Json:
      fresh.appendRecord(out, reading);
      return out + '\n';
    case OutputForm::Csv: fresh.appendCsvRow(out, reading); return out;
    case OutputForm::Text: fresh.appendReport(out, reading, LineEnd::Lf); return out;
    case OutputForm::TextCrLf: break;
  }
  fresh.appendReport(out, reading, LineEnd::CrLf);
  return out;
}

// Cells per row of RFC 4180 text; every row must end in CR LF and every quote be closed.
std::vector<std::size_t> csvCellCounts(std::string_view text) {
  std::vector<std::size_t> counts;
  std::size_t cells = 1;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      check(quoted || i == 0 || text[i - 1] == ',' || text[i - 1] == '\n');
      if (quoted && i + 1 < text.size() && text[i + 1] == '"')
        ++i;
      else
        quoted = !quoted;
    } else if (!quoted && text[i] == ',') {
      ++cells;
    } else if (!quoted && (text[i] == '\r' || text[i] == '\n')) {
      check(text.substr(i, 2) == "\r\n");
      counts.push_back(cells);
      cells = 1;
      ++i;
    }
  }
  check(!quoted && cells == 1);
  return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto frames = allFrames();
  const FrameRule& kind = *frames[data[0] % frames.size()];
  const auto form = static_cast<OutputForm>(data[0] / frames.size() % 4);
  const std::size_t step = 1 + data[1];
  const std::string_view log(reinterpret_cast<const char*>(data) + 2, size - 2);

  // What the log must give: the core's output for every frame line, a refusal for the rest.
  std::string expected;
  if (form == OutputForm::Csv) Check(kind).appendCsvHeader(expected);
  std::string expectedArgs = expected;  // the same frames as arguments: all at the clock's time
  std::vector<std::string> typedFrames;
  std::uint64_t refused = 0;
  // A byte-order mark counts toward the kept bytes of line 1; a CR line end does not.
  std::size_t mark = log.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  for (std::string_view line : splitLines(log)) {
    const bool cut = line.size() + std::exchange(mark, 0) > LineReader::kKeptBytes + line.ends_with('\r');
    stm::ClockReading reading = kReading;
    if (const auto time = cut ? std::nullopt : lineStartTime(line)) {
      reading = readingOf(time->utc);
      line.remove_prefix(time->bytes);
    }
    const auto frame = cut ? std::optional(line) : frameText(line);
    if (!frame) continue;
    const std::string typed(*frame);
    if (cut || !hasFrameLength(kind, typed)) {
      ++refused;
      continue;
    }
    typedFrames.push_back(typed);
    expected += coreOutput(kind, form, typed, reading);
    expectedArgs += coreOutput(kind, form, typed, kReading);
  }

  ReportWriter writer(kind, form, stm::fixedClock(kReading));
  std::ostringstream out;
  std::ostringstream err;
  const BatchResult result = decodeLog(trickle(log, step), writer, out, err);
  check(result.refused == refused && result.reports == typedFrames.size());
  check(result.exitStatus() == (refused > 0 ? 1 : 0));
  check(out.str() == expected);
  if (form == OutputForm::Json) {
    std::istringstream lines(out.str());
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
      check(nlohmann::json::parse(line)["data"] == shownText(typedFrames[n]));  // throws, and so fails, if invalid
    }
    check(n == typedFrames.size());
  }
  if (form == OutputForm::Csv) {
    const std::vector<std::size_t> counts = csvCellCounts(out.str());
    check(counts.size() == typedFrames.size() + 1);
    for (const std::size_t cells : counts) check(cells == counts[0]);
  }

  // The same frames as arguments, taken exactly as typed.
  std::ostringstream argOut;
  const BatchResult args = decodeFrames(typedFrames, writer, argOut, err);
  check(args.refused == 0 && args.reports == typedFrames.size() && argOut.str() == expectedArgs);

  // The log as a jd instant: parsed or not, never a crash.
  if (const auto instant = parseUtcInstant(log)) julianDateOf(*instant);
  return 0;
}
