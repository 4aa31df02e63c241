// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as short runs of samples into the audio decoder: no crash, no sanitizer
// report, and every letter it hears, one by one or in a transmission read whole, is a
// letter of its alphabet with a confidence and a place in the recording.
//
//   byte 0: the rate (one of five) and the sample form (16-bit integers or raw floats,
//           NaN and infinities included); byte 1: the chunk size; the rest: samples
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/cwdecoder.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

constexpr double kRates[] = {8000, 11025, 22050, 44100, 48000};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const double rate = kRates[data[0] % 5];
  const bool floats = data[0] & 0x80;
  const std::size_t chunk = 1 + data[1] * 7;
  std::vector<float> samples;
  if (floats) {
    for (std::size_t i = 2; i + 4 <= size; i += 4) {
      float v;
      std::memcpy(&v, data + i, 4);
      samples.push_back(v);
    }
  } else {
    for (std::size_t i = 2; i + 2 <= size; i += 2) {
      samples.push_back(static_cast<float>(static_cast<std::int16_t>(data[i] | data[i + 1] << 8)) / 32768.0f);
    }
  }
  const bool beacon = data[0] & 0x40;
  quillon::audio::DecoderOptions options{rate, U"", {}};
  if (beacon) options = {rate, std::u32string(quillon::audio::kBeaconAlphabet), {22, 16, 8}};
  quillon::audio::CwDecoder decoder(options);
  std::vector<quillon::audio::AudioLetter> letters, whole;
  const auto take = [&] {
    for (const auto& l : decoder.takeLetters()) letters.push_back(l);
    for (const auto& l : decoder.takeTransmissions()) whole.push_back(l);
  };
  for (std::size_t i = 0; i < samples.size(); i += chunk) {
    decoder.feed(std::span(samples).subspan(i, std::min(chunk, samples.size() - i)));
    take();
  }
  decoder.finish();
  take();
  const double seconds = static_cast<double>(samples.size()) / rate;
  check(decoder.secondsFed() == seconds);
  check(beacon || whole.empty());
  for (const auto* heard : {&letters, &whole}) {
    double last = 0;
    for (const auto& l : *heard) {
      check(!quillon::morseCode(l.heard.letter).empty());
      check(!beacon || quillon::audio::kBeaconAlphabet.find(l.heard.letter) != std::u32string_view::npos);
      check(l.heard.confidence >= 0 && l.heard.confidence <= 1);
      check(std::isfinite(l.heard.startS) && l.heard.startS >= last && l.heard.startS <= seconds + 1);
      check(std::isfinite(l.signal.wpm) && std::isfinite(l.signal.toneHz) && std::isfinite(l.signal.snrDb));
      last = l.heard.startS;
    }
  }
  return 0;
}
