// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/listen.h"

#include <cmath>
#include <vector>

#include "audio/beaconlistener.h"
#include "audio/soundfile.h"
#include "audio/transcript.h"
#include "core/json.h"

namespace quillon::cli {

namespace {

// The value to 1/scale: the shortest digits of the double nearest to it.
void appendRounded(std::string& out, std::string_view key, double value, double scale) {
  out += ",\"";
  out += key;
  out += "\":";
  appendJsonNumber(out, std::round(value * scale) / scale);
}

// The JSON members of a frame heard: where it starts and the signal over its letters.
std::string heardMembers(const audio::HeardFrame& frame) {
  std::string out;
  appendRounded(out, "offsetS", frame.found.place.startS, 1000);
  appendRounded(out, "wpm", frame.signal.wpm, 10);
  appendRounded(out, "toneHz", frame.signal.toneHz, 10);
  appendRounded(out, "snrDb", frame.signal.snrDb, 10);
  out += R"(,"confidence":[)";
  for (std::size_t i = 0; i < frame.found.confidence.size(); ++i) {
    if (i > 0) out += ',';
    appendJsonNumber(out, std::round(frame.found.confidence[i] * 1000) / 1000);
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
  const auto onFrame = [&](const audio::HeardFrame& heard) {
    const FoundFrame& found = heard.found;
    const FrameRule* frame = routes.frameOf(found.letters.size());
    char at[32];
    std::snprintf(at, sizeof at, "%.3f s", found.place.startS);
    if (!frame) {
      ++result.refused;
      return sink.tell(notDecodedText(path + " at " + at, found, routes));
    }
    std::optional<stm::ClockReading> reading;
    // To the millisecond, as "offsetS" has it.
    if (start) reading = stm::readingAt(*start + std::chrono::milliseconds(std::llround(found.place.startS * 1000)));
    reports.append(*frame, found.letters, reading, path, heardMembers(heard), sink.buffer());
    ++result.reports;
    sink.flushIfFull();
  };
  // Reports hear the beacon's letters only; --text hears every letter Morse has.
  std::optional<audio::BeaconListener> listener;
  std::optional<audio::CwDecoder> everything;
  if (options.text) {
    everything.emplace(audio::DecoderOptions{file->sampleRate(), {}, {}});
  } else {
    listener.emplace(file->sampleRate(), routes.lengths(), onFrame);
  }
  const audio::CwDecoder& decoder = listener ? listener->decoder() : *everything;
  audio::Transcript transcript;
  const auto take = [&] {
    if (listener) {
      listener->takeHeard();  // shown by the dialog only
    } else {
      for (const audio::AudioLetter& letter : everything->takeLetters()) {
        std::string& out = sink.buffer();
        transcript.add(letter.heard, out);
        if (transcript.lineEnded()) out += lineEnd(options.lineEnd);
      }
    }
    sink.flushIfFull();
  };

  ProgressBar bar(options.progress, path, file->announcedSeconds());
  std::vector<float> samples(16384);
  try {
    while (const std::size_t n = file->read(samples)) {
      listener ? listener->feed(std::span(samples).first(n)) : everything->feed(std::span(samples).first(n));
      take();
      bar.show(decoder.secondsFed());
      // A stream from standard input shows its reports as they are heard.
      if (file->announcedFrames() == 0) sink.flush();
    }
  } catch (const audio::SoundFileError& e) {
    result.readFailed = true;
    sink.tell(path + ": " + e.what());
  }
  listener ? listener->finish() : everything->finish();
  take();
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
