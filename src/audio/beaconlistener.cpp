// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/beaconlistener.h"

#include <utility>

namespace quillon::audio {

namespace {

// Letters kept for the measures of a frame: the longest frame, its beacon word and repairs.
constexpr std::size_t kKeptLetters = 64;

}  // namespace

BeaconListener::BeaconListener(double sampleRate, std::vector<std::size_t> lengths, Sink sink)
    : decoding({sampleRate, std::u32string(kBeaconAlphabet), lengths}),
      finder(std::move(lengths),
             [this](const FoundFrame& found) {
               HeardFrame frame{found, {}};
               int letters = 0;
               for (const AudioLetter& l : recent) {
                 if (l.heard.startS < found.place.startS || l.heard.startS > found.last.startS) continue;
                 frame.signal.wpm += l.signal.wpm;
                 frame.signal.toneHz += l.signal.toneHz;
                 frame.signal.snrDb += l.signal.snrDb;
                 ++letters;
               }
               if (letters > 0) {
                 frame.signal.wpm /= letters, frame.signal.toneHz /= letters, frame.signal.snrDb /= letters;
               }
               this->sink(frame);
             }),
      sink(std::move(sink)) {}

void BeaconListener::feed(std::span<const float> samples) {
  decoding.feed(samples);
  take();
}

void BeaconListener::finish() {
  decoding.finish();
  take();
  finder.finish();
}

void BeaconListener::take() {
  // The display shows letters as they are heard; frames are found in whole transmissions,
  // each read as a frame where one fits.
  const std::vector<AudioLetter> letters = decoding.takeLetters();
  heard.insert(heard.end(), letters.begin(), letters.end());
  for (const AudioLetter& letter : decoding.takeTransmissions()) {
    recent.push_back(letter);
    if (recent.size() > kKeptLetters) recent.pop_front();
    finder.hear(letter.heard);
  }
}

std::vector<AudioLetter> BeaconListener::takeHeard() { return std::exchange(heard, {}); }

}  // namespace quillon::audio
