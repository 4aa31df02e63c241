// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/listen.h"

#include <cmath>
#include <deque>
#include <vector>

#include "audio/cwdecoder.h"
#include "audio/soundfile.h"
#include "audio/transcript.h"
#include "core/json.h"

namespace quillon::cli {

namespace {

// Letters kept for the measures of a frame: the longest frame, its beacon word and repairs.
constexpr std::size_t kKeptLetters = 64;

// The value to 1/scale: the shortest digits of the double nearest to it.
void appendRounded(std::string& out, std::string_view key, double value, double scale) {
  out += ",\"";
  out += key;
  out += "\":";
  appendJsonNumber(out, std::round(value * scale) / scale);
}

// The JSON members of a frame heard: where it starts and the signal over its letters.
std::string heardMembers(const FoundFrame& frame, const std::deque<audio::AudioLetter>& recent) {
  audio::SignalMeasure sum;
  int letters = 0;
  for (const audio::AudioLetter& l : recent) {
    if (l.heard.startS < frame.place.startS || l.heard.startS > frame.last.startS) continue;
    sum.wpm += l.signal.wpm, sum.toneHz += l.signal.toneHz, sum.snrDb += l.signal.snrDb;
    ++letters;
  }
  const double n = std::max(letters, 1);
  std::string out;
  appendRounded(out, "offsetS", frame.place.startS, 1000);
  appendRounded(out, "wpm", sum.wpm / n, 10);
  appendRounded(out, "toneHz", sum.toneHz / n, 10);
  appendRounded(out, "snrDb", sum.snrDb / n, 10);
  out += R"(,"confidence":[)";
  for (std::size_t i = 0; i < frame.confidence.size(); ++i) {
    if (i > 0) out += ',';
    appendJsonNumber(out, std::round(frame.confidence[i] * 1000) / 1000);
  }
  out += ']';
  return out.substr(1);  // without its first comma
}

class ProgressBar {
 public:
  ProgressBar(std::ostream* to, const std::string& name, double seconds)
      : to(seconds > 60 ? to : nullptr), name(name), seconds(seconds) {}
  ~ProgressBar() {
    if (to && shown >= 0) *to << '\r' << std::string(name.size() + 8, ' ') << '\r' << std::flush;
  }
  void show(double done) {
    const int percent = static_cast<int>(std::min(100.0, 100 * done / seconds));
    if (!to || percent == shown) return;
    shown = percent;
    *to << '\r' << name << ' ' << percent << '%' << std::flush;
  }

 private:
  std::ostream* to;
  std::string name;
  double seconds;
  int shown = -1;
};

}  // namespace

void listenTo(const std::string& path, const FrameRoutes& routes, FoundReports& reports,
              const ListenOptions& options, ReportSink& sink, BatchResult& result) {
  std::optional<audio::SoundFile> file;
  try {
    file.emplace(path);
  } catch (const audio::SoundFileError& e) {
    result.readFailed = true;
    return sink.tell(path + ": " + e.what());
  }
  const auto satnogs = audio::satnogsStart(path);
  const std::optional<std::chrono::system_clock::time_point> start =
      options.start ? options.start : satnogs ? std::optional<std::chrono::system_clock::time_point>(*satnogs)
                                              : std::nullopt;
  audio::DecoderOptions decoding{file->sampleRate(), {}};
  if (!options.text) decoding.alphabet = audio::kBeaconAlphabet;
  audio::CwDecoder decoder(decoding);

  std::deque<audio::AudioLetter> recent;
  FrameFinder finder(routes.lengths(), [&](const FoundFrame& found) {
    const FrameRule* frame = routes.frameOf(found.letters.size());
    char at[32];
    std::snprintf(at, sizeof at, "%.3f s", found.place.startS);
    if (!frame) {
      ++result.refused;
      return sink.tell(notDecodedText(path + " at " + at, found, routes));
    }
    std::optional<stm::ClockReading> heard;
    if (start) {
      // To the millisecond, as "offsetS" has it.
      heard = stm::readingAt(*start + std::chrono::milliseconds(std::llround(found.place.startS * 1000)));
    }
    reports.append(*frame, found.letters, heard, path, heardMembers(found, recent), sink.buffer());
    ++result.reports;
  });
  audio::Transcript transcript;
  const auto take = [&] {
    for (const audio::AudioLetter& letter : decoder.takeLetters()) {
      if (options.text) {
        std::string& out = sink.buffer();
        transcript.add(letter.heard, out);
        if (transcript.lineEnded()) out += lineEnd(options.lineEnd);
        continue;
      }
      recent.push_back(letter);
      if (recent.size() > kKeptLetters) recent.pop_front();
      finder.hear(letter.heard);
    }
    sink.flushIfFull();
  };

  ProgressBar bar(options.progress, path, file->announcedSeconds());
  std::vector<float> samples(16384);
  try {
    while (const std::size_t n = file->read(samples)) {
      decoder.feed(std::span(samples).first(n));
      take();
      bar.show(decoder.secondsFed());
      // A stream from standard input shows its reports as they are heard.
      if (file->announcedFrames() == 0) sink.flush();
    }
  } catch (const audio::SoundFileError& e) {
    result.readFailed = true;
    sink.tell(path + ": " + e.what());
  }
  decoder.finish();
  take();
  finder.finish();
  if (options.text && !transcript.open().empty()) (sink.buffer() += transcript.open()) += lineEnd(options.lineEnd);
  if (file->cutShort()) {
    result.readFailed = true;
    sink.tell(path + ": the file ends before its header says it does; what it holds was decoded");
  }
  if (decoder.nonFiniteSamples() > 0) {
    sink.tell(path + ": " + std::to_string(decoder.nonFiniteSamples()) +
              " samples were not numbers and were heard as silence");
  }
  if (!decoder.toneHeard()) {
    result.readFailed = true;
    sink.tell(path + ": no tone heard");
  }
}

}  // namespace quillon::cli
