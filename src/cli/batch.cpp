// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/batch.h"

#include <cerrno>
#include <cstring>

namespace quillon::cli {

namespace {

// Collects reports and writes them in large pieces; one write per report would cost
// more than the decoding.
class ReportSink {
 public:
  explicit ReportSink(std::ostream& out) : out(out) { text.reserve(2 * kFlushBytes); }

  std::string& buffer() { return text; }
  bool failed() const { return writeFailed; }

  void flushIfFull() {
    if (text.size() >= kFlushBytes) flush();
  }

  void flush() {
    if (!text.empty() && !writeFailed) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      out.flush();
      writeFailed = !out;
    }
    text.clear();
  }

 private:
  static constexpr std::size_t kFlushBytes = 256 * 1024;
  std::ostream& out;
  std::string text;
  bool writeFailed = false;
};

// Messages go out whole, after the reports before them, so that a terminal shows them
// in order.
void tell(ReportSink& sink, std::ostream& err, const std::string& message) {
  sink.flush();
  const std::string line = std::string(kProgramName) + ": " + message + "\n";
  err.write(line.data(), static_cast<std::streamsize>(line.size()));
  err.flush();
}

void finish(ReportSink& sink, std::ostream& err, BatchResult& result) {
  sink.flush();
  result.writeFailed = sink.failed();
  if (result.writeFailed) tell(sink, err, "cannot write the reports");
}

}  // namespace

BatchResult decodeLog(const ByteSource& input, ReportWriter& writer, std::ostream& out, std::ostream& err) {
  BatchResult result;
  ReportSink sink(out);
  writer.appendStart(sink.buffer());
  int readError = 0;
  LineReader reader([&](char* buffer, std::size_t size) {
    sink.flush();
    const std::ptrdiff_t n = input(buffer, size);
    if (n < 0) readError = errno;
    return n;
  });
  const std::string refusal = wrongLengthText(writer.rule());
  Line line;
  while (!sink.failed() && reader.next(line)) {
    // A cut line is longer than any frame: refused without looking further.
    std::optional<std::string_view> frame;
    if (!line.cut()) {
      frame = frameText(line.text);
      if (!frame) continue;
    }
    if (frame && writer.append(*frame, sink.buffer())) {
      ++result.reports;
      sink.flushIfFull();
    } else {
      ++result.refused;
      tell(sink, err, "line " + std::to_string(line.number) + ": " + refusal);
    }
  }
  result.readFailed = reader.failed();
  if (result.readFailed) tell(sink, err, std::string("cannot read the frames: ") + std::strerror(readError));
  finish(sink, err, result);
  return result;
}

BatchResult decodeFrames(std::span<const std::string> frames, ReportWriter& writer, std::ostream& out,
                         std::ostream& err) {
  BatchResult result;
  ReportSink sink(out);
  writer.appendStart(sink.buffer());
  const std::string refusal = wrongLengthText(writer.rule());
  for (std::size_t i = 0; i < frames.size() && !sink.failed(); ++i) {
    if (writer.append(frames[i], sink.buffer())) {
      ++result.reports;
      sink.flushIfFull();
    } else {
      ++result.refused;
      tell(sink, err, "frame " + std::to_string(i + 1) + ": " + refusal);
    }
  }
  finish(sink, err, result);
  return result;
}

}  // namespace quillon::cli
