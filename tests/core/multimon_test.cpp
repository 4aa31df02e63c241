// SPDX-License-Identifier: GPL-3.0-or-later
// The frame finder on text no one here wrote: multimon-ng's CW decoder (Debian's package)
// hearing frames keyed into audio by the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <tuple>
#include <vector>

#include "core/framefinder.h"

namespace quillon {
namespace {

// `text` keyed at `wpm` words a minute as an 800 Hz tone, 16-bit samples at 22,050 a
// second: multimon-ng's raw input. A '|' is a hundred dits of silence.
std::vector<std::int16_t> keyed(std::string_view text, double wpm) {
  std::string dits(10, ' ');  // a dit's time each: '=' the tone, ' ' silence
  for (char c : text) {
    dits += c == '|' ? std::string(100, ' ') : c == ' ' ? "    " : "";  // with the letter gap: 7
    for (char element : morseCode(static_cast<unsigned char>(c))) dits += element == '.' ? "= " : "=== ";
    dits += "  ";
  }
  dits += std::string(20, ' ');
  const double rate = 22050, dit = 1.2 / wpm * rate;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(static_cast<double>(dits.size()) * dit));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const bool on = dits[static_cast<std::size_t>(static_cast<double>(i) / dit)] == '=';
    samples[i] = static_cast<std::int16_t>(on ? 12000 * std::sin(2 * std::numbers::pi * 800 * i / rate) : 0);
  }
  return samples;
}

// What multimon-ng prints for the samples, read from a file as raw input.
std::string multimonHears(const std::vector<std::int16_t>& samples) {
  char path[] = "/tmp/quillon-keyed-XXXXXX";
  close(mkstemp(path));
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
  std::string heard;
  FILE* out = popen(("multimon-ng -q -a MORSE_CW -t raw " + std::string(path) + " 2>/dev/null").c_str(), "r");
  for (int c; (c = std::fgetc(out)) != EOF;) heard += static_cast<char>(c);
  pclose(out);
  unlink(path);
  return heard;
}

TEST(PeerDecoder, FramesInMultimonNgText) {
  if (std::system("command -v multimon-ng >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "multimon-ng is not installed";
  // Two frames on one line at 20 wpm; at 14 wpm multimon-ng prints the beacon word as
  // "N TE GR", its timing still settling at the start of a transmission.
  const std::tuple<double, const char*, std::vector<std::string>> cases[] = {
      {20, "TNGR 89D0A76820472FBCA7A01F|TNGR 8A5C3E1F", {"89D0A76820472FBCA7A01F", "8A5C3E1F"}},
      {14, "TNGR 89D0A7688A5C3E1F", {"89D0A7688A5C3E1F"}}};
  for (const auto& [wpm, sent, expected] : cases) {
    const std::string heard = multimonHears(keyed(sent, wpm));
    std::vector<std::string> frames;
    FrameFinder finder({22, 16, 8}, [&](const FoundFrame& f) { frames.push_back(f.letters); });
    finder.feed(heard);
    finder.finish();
    EXPECT_EQ(frames, expected) << "multimon-ng printed: " << heard;
  }
}

}  // namespace
}  // namespace quillon
