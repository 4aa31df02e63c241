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
  CwDecoder d({rate, alphabet});
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

TEST(CwDecoder, ChoosesFromTheAlphabetItIsGiven) {
  SignalSpec s{.snrDb = 10};
  const auto rec = makeRecording(s, "Q7");  // Q: --.-, not a beacon letter
  EXPECT_EQ(text(decode(rec.samples, 8000, 512, U"")), "Q7");
  const auto beacon = decode(rec.samples, 8000, 512);
  ASSERT_FALSE(beacon.empty());
  EXPECT_NE(beacon.front().heard.letter, U'Q');
}

enum class Damage { None, NotFinite, Clipped, DcOffset, Silence, Empty };

class DamagedInputTest : public testing::TestWithParam<Damage> {};

// Damage the signal can survive still decodes; none of it crashes or invents letters.
TEST_P(DamagedInputTest, DecodesWhatIsSound) {
  SignalSpec s{.sampleRate = 8000, .snrDb = 6, .seed = 2};
  auto samples = makeRecording(s, "TNGR 3E").samples;
  std::string want = "TNGR 3E";
  switch (GetParam()) {
    case Damage::None: break;
    case Damage::NotFinite:
      for (std::size_t i = 0; i < samples.size(); i += 97) {
        samples[i] = i % 2 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
      }
      break;
    case Damage::Clipped:
      for (float& x : samples) x = std::clamp(x * 40, -1.0f, 1.0f);
      break;
    case Damage::DcOffset:
      for (float& x : samples) x += 0.8f;
      break;
    case Damage::Silence:
      std::fill(samples.begin(), samples.end(), 0.0f);
      want.clear();
      break;
    case Damage::Empty:
      samples.clear();
      want.clear();
      break;
  }
  CwDecoder d({8000, std::u32string(kBeaconAlphabet)});
  d.feed(samples);
  d.finish();
  EXPECT_EQ(text(d.takeLetters()), want);
  EXPECT_EQ(d.toneHeard(), !want.empty());
  if (GetParam() == Damage::NotFinite) {
    EXPECT_EQ(d.nonFiniteSamples(), (samples.size() + 96) / 97);
  }
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedInputTest,
                         testing::Values(Damage::None, Damage::NotFinite, Damage::Clipped, Damage::DcOffset,
                                         Damage::Silence, Damage::Empty));

TEST(CwDecoder, NoiseAloneGivesNoTrustedLetter) {
  SignalSpec s{.snrDb = -40, .leadS = 20, .seed = 8};  // the letter is far below the noise
  for (const auto& l : decode(makeRecording(s, "E").samples, 8000, 1000))
    EXPECT_LT(l.heard.confidence, kTrustedConfidence);
}

TEST(CwDecoder, RefusesRatesOutsideItsRange) {
  EXPECT_THROW(CwDecoder({7999, U""}), std::invalid_argument);
  EXPECT_THROW(CwDecoder({48001, U""}), std::invalid_argument);
  EXPECT_NO_THROW(CwDecoder({44100, U""}));
}

}  // namespace
}  // namespace quillon::audio
