// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/batch.h"

#include <cerrno>
#include <cstring>

#include "core/receptiontime.h"

namespace quillon::cli {

void ReportSink::flush() {
  if (!text.empty() && !writeFailed) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    writeFailed = !out;
  }
  text.clear();
}

void ReportSink::tell(std::string_view message) {
  flush();
  const std::string line = std::string(kProgramName) + ": " + std::string(message) + "\n";
  err.write(line.data(), static_cast<std::streamsize>(line.size()));
  err.flush();
}

void ReportSink::finish(BatchResult& result) {
  flush();
  result.writeFailed = writeFailed;
  if (writeFailed) tell("cannot write the reports");
}

stm::ClockReading readingOf(const stm::CalendarTime& utc) { return stm::readingAt(stm::utcInstant(utc)); }

BatchResult decodeLog(const ByteSource& input, ReportWriter& writer, std::ostream& out, std::ostream& err,
                      const std::optional<stm::ClockReading>& given) {
  BatchResult result;
  ReportSink sink(out, err);
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
    std::optional<stm::ClockReading> heard = given;
    if (!line.cut()) {
      std::string_view text = line.text;
      if (const auto time = lineStartTime(text)) {
        heard = readingOf(time->utc);
        text.remove_prefix(time->bytes);
      }
      frame = frameText(text);
      if (!frame) continue;
    }
    if (frame && writer.append(*frame, sink.buffer(), heard ? &*heard : nullptr)) {
      ++result.reports;
      sink.flushIfFull();
    } else {
      ++result.refused;
      sink.tell("line " + std::to_string(line.number) + ": " + refusal);
    }
  }
  result.readFailed = reader.failed();
  if (result.readFailed) sink.tell(std::string("cannot read the frames: ") + std::strerror(readError));
  sink.finish(result);
  return result;
}

BatchResult decodeFrames(std::span<const std::string> frames, ReportWriter& writer, std::ostream& out,
                         std::ostream& err, const std::optional<stm::ClockReading>& given) {
  BatchResult result;
  ReportSink sink(out, err);
  writer.appendStart(sink.buffer());
  const std::string refusal = wrongLengthText(writer.rule());
  for (std::size_t i = 0; i < frames.size() && !sink.failed(); ++i) {
    if (writer.append(frames[i], sink.buffer(), given ? &*given : nullptr)) {
      ++result.reports;
      sink.flushIfFull();
    } else {
      ++result.refused;
      sink.tell("frame " + std::to_string(i + 1) + ": " + refusal);
    }
  }
  sink.finish(result);
  return result;
}

}  // namespace quillon::cli
