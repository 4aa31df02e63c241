// SPDX-License-Identifier: GPL-3.0-or-later
// The frame finder on text no one here wrote: multimon-ng's CW decoder (Debian's package)
// hearing frames keyed into audio by the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "core/framefinder.h"

namespace quillon {
namespace {

// `text` keyed at `wpm` words a minute as an 800 Hz tone with 5 ms edges, 16-bit samples
// at 22,050 a second: multimon-ng's raw input. A '|' is five seconds of silence.
std::vector<std::int16_t> keyed(std::string_view text, double wpm) {
  constexpr double kRate = 22050;
  const double dit = 1.2 / wpm * kRate;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(10 * dit));
  auto silence = [&](double length) { samples.resize(samples.size() + static_cast<std::size_t>(length)); };
  auto tone = [&](double length) {
    for (double i = 0; i < length; ++i) {
      const double edge = std::min({1.0, i / (0.005 * kRate), (length - i) / (0.005 * kRate)});
      const double phase = 2 * std::numbers::pi * 800 * static_cast<double>(samples.size()) / kRate;
      samples.push_back(static_cast<std::int16_t>(12000 * edge * std::sin(phase)));
    }
  };
  for (char c : text) {
    if (c == ' ' || c == '|') silence(c == ' ' ? 4 * dit : 5 * kRate);  // with the letter gap: 7 dits
    for (char element : morseCode(static_cast<unsigned char>(c))) {
      tone(element == '.' ? dit : 3 * dit);
      silence(dit);
    }
    silence(2 * dit);
  }
  silence(20 * dit);
  return samples;
}

std::string multimonHears(const std::vector<std::int16_t>& samples) {
  char path[] = "/tmp/quillon-keyed-XXXXXX";
  const int fd = mkstemp(path);
  const auto bytes = static_cast<ssize_t>(samples.size() * sizeof(std::int16_t));
  EXPECT_EQ(write(fd, samples.data(), static_cast<std::size_t>(bytes)), bytes);
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
  struct Case {
    double wpm;
    const char* sent;
    std::vector<std::string> frames;
  };
  // At 15 wpm multimon-ng prints the beacon word as "T TE GR": its gap timing is still
  // settling at the start of a transmission.
  const Case cases[] = {
      {20, "TNGR 89D0A76820472FBCA7A01F|TNGR 8A5C3E1F", {"89D0A76820472FBCA7A01F", "8A5C3E1F"}},
      {15, "TNGR 89D0A7688A5C3E1F", {"89D0A7688A5C3E1F"}},
  };
  for (const Case& c : cases) {
    const std::string heard = multimonHears(keyed(c.sent, c.wpm));
    std::vector<std::string> frames;
    FrameFinder finder({22, 16, 8}, [&](const FoundFrame& f) { frames.push_back(f.letters); });
    finder.feed(heard);
    finder.finish();
    EXPECT_EQ(frames, c.frames) << "multimon-ng printed: " << heard;
  }
}

}  // namespace
}  // namespace quillon
