// SPDX-License-Identifier: GPL-3.0-or-later
// The whole decoder: letters and measures from samples, whatever the chunks, and nothing
// invented from input that holds no Morse.
#include "audio/cwdecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/beaconsignal.h"

namespace quillon::audio {
namespace {

using testsupport::makeRecording;
using testsupport::SignalSpec;

std::vector<AudioLetter> decode(const std::vector<float>& samples, double rate, std::size_t chunk,
                                std::u32string alphabet = std::u32string(kBeaconAlphabet)) {
  CwDecoder d({rate, alphabet, {}});
  std::vector<AudioLetter> all;
  for (std::size_t i = 0; i < samples.size(); i += chunk) {
    d.feed(std::span(samples).subspan(i, std::min(chunk, samples.size() - i)));
    for (auto& l : d.takeLetters()) all.push_back(l);
  }
  d.finish();
  for (auto& l : d.takeLetters()) all.push_back(l);
  return all;
}

std::string text(const std::vector<AudioLetter>& letters) {
  std::string s;
  for (const auto& l : letters) {
    if (l.heard.gapBefore == Gap::Word) s += ' ';
    if (l.heard.gapBefore == Gap::Pause && !s.empty()) s += '|';
    s += static_cast<char>(l.heard.letter);
  }
  return s;
}

TEST(CwDecoder, HearsTwoTransmissionsWithTheirMeasures) {
  SignalSpec s{.sampleRate = 11025, .wpm = 25, .toneHz = 1300, .snrDb = 0, .driftHzPerS = 20, .seed = 9};
  const auto rec = makeRecording(s, "TNGR 5A0F|TNGR 12");
  const auto letters = decode(rec.samples, s.sampleRate, 4096);
  EXPECT_EQ(text(letters), "TNGR 5A0F|TNGR 12");
  ASSERT_EQ(letters.size(), rec.letters.size());
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const auto& l = letters[i];
    EXPECT_GT(l.heard.confidence, kTrustedConfidence);
    EXPECT_NEAR(l.heard.startS, rec.letters[i].startS, 0.02);
    EXPECT_NEAR(l.signal.wpm, 25, 2.5);
    // Measured within the letter, which lasts up to half a second.
    EXPECT_GT(l.signal.toneHz, 1300 + 20 * l.heard.startS - 3);
    EXPECT_LT(l.signal.toneHz, 1300 + 20 * (l.heard.startS + 0.5) + 3);
    EXPECT_NEAR(l.signal.snrDb, 0, 3);
  }
}

// The chunks samples come in change nothing.
TEST(CwDecoder, SampleBySampleEqualsBlocks) {
  SignalSpec s{.wpm = 30, .snrDb = -3, .seed = 4};
  const auto rec = makeRecording(s, "TNGR 7C");
  const auto one = decode(rec.samples, 8000, 1), many = decode(rec.samples, 8000, 65536);
  ASSERT_EQ(text(one), "TNGR 7C");
  ASSERT_EQ(text(many), text(one));
  for (std::size_t i = 0; i < one.size(); ++i) EXPECT_EQ(one[i].heard.confidence, many[i].heard.confidence);
}

// Up to ZerosAfter the signal survives the damage.
enum class Damage { None, NotFinite, Clipped, DcOffset, ZerosAfter, Silence, Empty, NoiseOnly };

class DamagedInputTest : public testing::TestWithParam<Damage> {};

// What damage leaves sound still decodes; none of it crashes or invents letters.
TEST_P(DamagedInputTest, DecodesWhatIsSound) {
  const Damage damage = GetParam();
  // Noise only: the letters 40 dB below the noise.
  auto samples =
      makeRecording({.snrDb = damage == Damage::NoiseOnly ? -40.0 : 6.0, .leadS = 3}, "TNGR 3E5A0F12")
          .samples;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    float& x = samples[i];
    if (damage == Damage::NotFinite && i % 97 == 0)
      x = i % 2 ? std::nanf("") : std::numeric_limits<float>::infinity();
    if (damage == Damage::Clipped) x = std::clamp(x * 40, -1.0f, 1.0f);
    if (damage == Damage::DcOffset) x += 0.8f;
    if (damage == Damage::Silence) x = 0;
  }
  if (damage == Damage::ZerosAfter) samples.resize(samples.size() + 5 * 8000);  // a squelch closing
  if (damage == Damage::Empty) samples.clear();
  CwDecoder d({8000, std::u32string(kBeaconAlphabet), {8}});
  d.feed(samples);
  d.finish();
  // Letters one by one, and the transmission read whole as a frame.
  for (const auto& letters : {d.takeLetters(), d.takeTransmissions()}) {
    std::string trusted;
    for (const auto& l : letters) trusted += l.heard.confidence < kTrustedConfidence ? "" : text({l});
    EXPECT_EQ(trusted, damage <= Damage::ZerosAfter ? "TNGR 3E5A0F12" : "");
  }
  EXPECT_TRUE(damage == Damage::NoiseOnly || d.toneHeard() == (damage <= Damage::ZerosAfter));
  EXPECT_EQ(d.nonFiniteSamples(), damage == Damage::NotFinite ? (samples.size() + 96) / 97 : 0);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedInputTest,
                         testing::Values(Damage::None, Damage::NotFinite, Damage::Clipped, Damage::DcOffset,
                                         Damage::ZerosAfter, Damage::Silence, Damage::Empty,
                                         Damage::NoiseOnly));

// Fast text at -4 dB, each seed once a fault: the first speed taken from a look that saw
// too little (read at the wrong unit, 8P8OTNJ), or a noise burst near the transmission heard
// as a doubtful E and printed as a word. A doubtful letter that starts a word stays with it
// (seed 47: the 4 heard as I A).
struct NoisyText {
  std::uint64_t seed;
  std::string heard;
};

class NoisyTextTest : public testing::TestWithParam<NoisyText> {};

TEST_P(NoisyTextTest, HearsTheTextAlone) {
  const auto rec =
      makeRecording({.wpm = 50, .toneHz = 1200, .snrDb = -4, .seed = GetParam().seed}, "4Z2QE N9BHM");
  EXPECT_EQ(text(decode(rec.samples, 8000, 4096, U"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")), GetParam().heard);
}

INSTANTIATE_TEST_SUITE_P(Seeds, NoisyTextTest,
                         testing::Values(NoisyText{2, "4Z2QE N9BHM"}, NoisyText{12, "4Z2QE N9BHM"},
                                         NoisyText{13, "4Z2QE N9BHM"}, NoisyText{16, "4Z2QE N9BHM"},
                                         NoisyText{47, "IAZ2QE N9BHM"}));

TEST(CwDecoder, RefusesRatesOutsideItsRange) {
  EXPECT_THROW(CwDecoder({7999, U"", {}}), std::invalid_argument);
  EXPECT_THROW(CwDecoder({48001, U"", {}}), std::invalid_argument);
  EXPECT_NO_THROW(CwDecoder({44100, U"", {}}));
}

}  // namespace
}  // namespace quillon::audio
