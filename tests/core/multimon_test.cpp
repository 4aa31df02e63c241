// SPDX-License-Identifier: GPL-3.0-or-later
// The frame finder on text no one here wrote: multimon-ng's CW decoder (Debian's package)
// hearing frames keyed into audio by the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <tuple>
#include <vector>

#include "core/framefinder.h"

namespace quillon {
namespace {

// `text` keyed at `wpm` words a minute as an 800 Hz tone with 5 ms edges, 16-bit samples
// at 22,050 a second: multimon-ng's raw input. A '|' is a hundred dits of silence.
std::vector<std::int16_t> keyed(std::string_view text, double wpm) {
  std::string dits(10, ' ');  // a dit's time each: '=' the tone, ' ' silence
  for (char c : text) {
    dits += c == '|' ? std::string(100, ' ') : c == ' ' ? "    " : "";  // with the letter gap: 7
    for (char element : morseCode(static_cast<unsigned char>(c))) dits += element == '.' ? "= " : "=== ";
    dits += "  ";
  }
  const double rate = 22050, dit = 1.2 / wpm * rate, edge = 0.005 * rate;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(static_cast<double>(dits.size() + 20) * dit));
  for (std::size_t on = dits.find('='), off = 0; on != std::string::npos; on = dits.find('=', off)) {
    off = dits.find(' ', on);
    const double from = static_cast<double>(on) * dit, to = static_cast<double>(off) * dit;
    for (double i = from; i < to; ++i) {
      const double envelope = std::min({1.0, (i - from) / edge, (to - i) / edge});
      samples[static_cast<std::size_t>(i)] =
          static_cast<std::int16_t>(12000 * envelope * std::sin(2 * std::numbers::pi * 800 * i / rate));
    }
  }
  return samples;
}

// What multimon-ng prints for the samples, read from a file as raw input.
std::string multimonHears(const std::vector<std::int16_t>& samples) {
  char path[] = "/tmp/quillon-keyed-XXXXXX";
  const int fd = mkstemp(path);
  const auto bytes = samples.size() * sizeof(std::int16_t);
  EXPECT_EQ(write(fd, samples.data(), bytes), static_cast<ssize_t>(bytes));
  close(fd);
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
  // Two frames on one line at 20 wpm; at 15 wpm multimon-ng prints the beacon word as
  // "T TE GR", its gap timing still settling at the start of a transmission.
  const std::tuple<double, const char*, std::vector<std::string>> cases[] = {
      {20, "TNGR 89D0A76820472FBCA7A01F|TNGR 8A5C3E1F", {"89D0A76820472FBCA7A01F", "8A5C3E1F"}},
      {15, "TNGR 89D0A7688A5C3E1F", {"89D0A7688A5C3E1F"}}};
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
