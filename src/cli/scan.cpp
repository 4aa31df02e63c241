// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/csv.h"
#include "core/json.h"
#include "frames/framelist.h"

namespace quillon::cli {

namespace {

// Frames of the list that have `letters` letters.
std::vector<const FrameRule*> framesOf(std::size_t letters) {
  std::vector<const FrameRule*> found;
  for (const FrameRule* frame : allFrames()) {
    if (frame->letters == letters) found.push_back(frame);
  }
  return found;
}

}  // namespace

FrameRoutes::FrameRoutes(const std::vector<const FrameRule*>& named) : named(named) {}

std::vector<std::size_t> FrameRoutes::lengths() const {
  std::vector<std::size_t> lengths;
  for (const FrameRule* frame : allFrames()) lengths.push_back(frame->letters);
  return lengths;
}

const FrameRule* FrameRoutes::frameOf(std::size_t letters) const {
  const auto frames = framesOf(letters);
  if (frames.size() == 1) return frames.front();
  for (const FrameRule* frame : named) {
    if (frame->letters == letters) return frame;
  }
  return nullptr;
}

std::string FrameRoutes::choices(std::size_t letters) const {
  std::string text;
  const auto frames = framesOf(letters);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (i > 0) text += i + 1 == frames.size() ? " or " : ", ";
    text += "--eight " + std::string(frames[i]->name);
  }
  return text;
}

FoundReports::FoundReports(OutputForm form, stm::ClockSource clock) : form(form), clock(std::move(clock)) {
  for (const FrameRule* frame : allFrames()) checks.emplace_back(*frame);
}

void FoundReports::appendStart(std::string& out) const {
  if (form != OutputForm::Csv) return;
  out += "kind,source,utc,local,data";
  for (const Check& check : checks) check.appendCsvKeys(out, std::string(check.rule().name) + ".");
  out += kCsvRowEnd;
}

Check& FoundReports::checkOf(const FrameRule& frame) {
  return *std::find_if(checks.begin(), checks.end(), [&](const Check& c) { return &c.rule() == &frame; });
}

void FoundReports::append(const FrameRule& frame, std::string_view letters,
                          const std::optional<stm::ClockReading>& at, std::string_view source,
                          std::string_view more, std::string& out) {
  Check& check = checkOf(frame);
  check.decode(letters);  // the finder's letters always have the frame's length
  const stm::ClockReading reading = at ? *at : clock();
  switch (form) {
    case OutputForm::Text: return check.appendReport(out, reading, LineEnd::Lf);
    case OutputForm::TextCrLf: return check.appendReport(out, reading, LineEnd::CrLf);
    case OutputForm::Json: {
      std::string members = R"("source":)";
      appendJsonString(members, source);
      if (!more.empty()) (members += ',') += more;
      check.appendRecord(out, reading, members);
      out += '\n';
      return;
    }
    case OutputForm::Csv: {
      std::string lead;
      appendCsvCell(lead, frame.name);
      lead += ',';
      appendCsvCell(lead, source);
      lead += ',';
      std::size_t before = 0, after = 0;
      bool past = false;
      for (const Check& other : checks) {
        const std::size_t fields = fieldCount(other.rule());
        if (&other == &check) {
          past = true;
        } else {
          (past ? after : before) += fields;
        }
      }
      return check.appendCsvRow(out, reading, lead, before, after);
    }
  }
}

std::string notDecodedText(std::string_view where, const FoundFrame& frame, const FrameRoutes& routes) {
  return std::string(where) + ": " + std::to_string(frame.letters.size()) + " letters " + frame.letters +
         " found; " + routes.choices(frame.letters.size()) + " decodes them";
}

void scanText(const ByteSource& input, std::string_view name, const FrameRoutes& routes, FoundReports& reports,
              const std::optional<stm::ClockReading>& given, ReportSink& sink, BatchResult& result) {
  FrameFinder finder(routes.lengths(), [&](const FoundFrame& found) {
    const std::string where = std::string(name) + ":" + std::to_string(found.place.line);
    const FrameRule* frame = routes.frameOf(found.letters.size());
    if (!frame) {
      ++result.refused;
      return sink.tell(notDecodedText(where, found, routes));
    }
    const auto at = found.time ? std::optional(readingOf(*found.time)) : given;
    reports.append(*frame, found.letters, at, where, {}, sink.buffer());
    ++result.reports;
    sink.flushIfFull();
  });
  std::string chunk(64 * 1024, '\0');
  for (;;) {
    // Reports go out before each read: `tail -f rx.log | quillon-decode scan` prints each
    // frame as soon as its line is complete.
    sink.flush();
    const std::ptrdiff_t n = input(chunk.data(), chunk.size());
    if (n < 0) {
      result.readFailed = true;
      sink.tell("cannot read " + std::string(name) + ": " + std::strerror(errno));
      break;
    }
    if (n == 0 || sink.failed()) break;
    finder.feed(std::string_view(chunk.data(), static_cast<std::size_t>(n)));
  }
  finder.finish();
}

}  // namespace quillon::cli
