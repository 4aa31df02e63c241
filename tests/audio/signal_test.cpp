// SPDX-License-Identifier: GPL-3.0-or-later
// The decoder's blocks on short seeded signals, each fed in the chunks it would meet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "audio/baseband.h"
#include "audio/cwdecoder.h"
#include "audio/finetuner.h"
#include "audio/letterdecoder.h"
#include "audio/speedtracker.h"
#include "audio/tonetracker.h"
#include "support/beaconsignal.h"

namespace quillon::audio {
namespace {

using testsupport::makeRecording;
using testsupport::SignalSpec;

struct ToneCase {
  double rate, hz, drift, step;  // a step at 2 s
  double within;                 // Hz the mixer's tone may be off
};

class ToneTrackerTest : public testing::TestWithParam<ToneCase> {};

// Found anywhere in 300-2,500 Hz at every rate, followed along a drift and across a step.
TEST_P(ToneTrackerTest, FollowsTheTone) {
  const ToneCase c = GetParam();
  SignalSpec s{.sampleRate = c.rate, .toneHz = c.hz, .snrDb = 0, .driftHzPerS = c.drift, .stepHz = c.step};
  s.stepAtS = 2;
  const auto rec = makeRecording(s, "TTTTT TTTTT TTTTT TTTTT");
  ToneTracker tracker(c.rate);
  const auto chunk = static_cast<std::size_t>(c.rate / 2);
  for (std::size_t i = 0; i + chunk < rec.samples.size(); i += chunk) {
    tracker.feed(std::span(rec.samples).subspan(i, chunk));
    const double t = tracker.lastFrameS();
    if (t < 0.95) {
      EXPECT_FALSE(tracker.lockedAt(t)) << "locked on the noise before the first letter";
    }
    if (t < 2.5 || std::abs(t - 3) < 0.1) continue;
    // As the mixer asks, a second behind: steady enough that a mark's phase holds, and
    // within the fine tuner's reach (31 Hz) while the drift is learnt again after a step.
    const double at = t - 1, want = c.hz + (at > 2 ? c.step : 0) + c.drift * at;
    EXPECT_NEAR(tracker.toneAt(at, 1), want, c.within) << "at " << at << " s";
    EXPECT_TRUE(tracker.lockedAt(t));
  }
}

INSTANTIATE_TEST_SUITE_P(Tones, ToneTrackerTest,
                         testing::Values(ToneCase{8000, 320, 0, 0, 2}, ToneCase{11025, 2480, 0, 0, 2},
                                         ToneCase{44100, 1234, 70, 0, 2}, ToneCase{48000, 900, -70, 150, 8},
                                         ToneCase{8000, 1500, 0, -150, 2}));

// A tone the operator chose is followed along its drift though a stronger one keys beside it.
TEST(ToneTracker, FollowsTheChosenTone) {
  const auto strong = makeRecording({.toneHz = 1500, .snrDb = 6, .seed = 2}, "TTTTT TTTTT TTTTT TTTTT TTTTT");
  auto weak =
      makeRecording({.toneHz = 700, .amplitude = 0.05, .driftHzPerS = 30}, "MMMMM MMMMM MMMMM MMMMM MMMMM")
          .samples;
  weak.resize(strong.samples.size());
  for (std::size_t i = 0; i < weak.size(); ++i) weak[i] += strong.samples[i];
  ToneTracker tracker(8000);
  for (std::size_t i = 0; i + 4000 < weak.size(); i += 4000) {
    tracker.feed(std::span(weak).subspan(i, 4000));
    const double t = tracker.lastFrameS();
    if (t > 2 && t < 2.5) tracker.follow(650);
    if (t < 1.5 || std::abs(t - 2.5) < 1.1) continue;
    const double at = t - 1;
    EXPECT_NEAR(tracker.toneAt(at, 1), at < 2 ? 1500 : 700 + 30 * at, 16) << "at " << at << " s";
  }
}

// The baseband of a tone at the NCO is a still phasor of half its amplitude times the hop.
TEST(Baseband, ToneAtTheNcoStandsStill) {
  Baseband bb(8000, 16);
  bb.setToneHz(1000);
  std::vector<float> x(1600);
  for (std::size_t i = 0; i < x.size(); ++i)
    x[i] = static_cast<float>(0.5 * std::cos(2 * std::numbers::pi * 1000 * i / 8000.0 + 0.3));
  std::vector<std::complex<float>> z;
  for (const float v : x) bb.feed({&v, 1}, z);  // one sample at a time
  ASSERT_EQ(z.size(), 100u);
  for (std::size_t i = 2; i < z.size(); ++i) {
    EXPECT_NEAR(std::abs(z[i]), 0.25 * 16, 0.05);
    EXPECT_NEAR(std::arg(z[i] * std::conj(z[1])), 0, 1e-3);
  }
}

TEST(FineTuner, TakesOutAFewHertz) {
  FineTuner fine(8, 250);
  const double offset = 2 * std::numbers::pi * 6 / 500;  // 6 Hz at 500 samples a second
  std::vector<std::complex<float>> out;
  for (int n = 0; n < 2000; ++n) {
    std::complex<float> y;
    if (fine.push(std::polar(1.0f, static_cast<float>(offset * n)), y)) out.push_back(y);
  }
  ASSERT_EQ(out.size(), 2000u - 250);
  EXPECT_NEAR(fine.offset(), offset, 1e-4);
  EXPECT_NEAR(std::arg(out.back() * std::conj(out[out.size() - 500])), 0, 1e-2);
}

// The noise power of a baseband sample for a signal's SNR (white noise of variance v gives
// v times the mixer's gain).
float noisePerSample(const SignalSpec& s) {
  const double v = s.amplitude * s.amplitude / 2 / std::pow(10.0, s.snrDb / 10) * s.sampleRate / 5000;
  return static_cast<float>(v *
                            Baseband(s.sampleRate, static_cast<std::size_t>(s.sampleRate / 500)).noiseGain());
}

std::vector<std::complex<float>> baseband(const SignalSpec& s, std::string_view text) {
  Baseband bb(s.sampleRate, static_cast<std::size_t>(s.sampleRate / 500));
  bb.setToneHz(s.toneHz);
  std::vector<std::complex<float>> z;
  bb.feed(makeRecording(s, text).samples, z);
  return z;
}

struct SpeedCase {
  double wpm;
  double snrDb;
  std::string text;
};

class SpeedTest : public testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedTest, HearsTheUnit) {
  const SpeedCase c = GetParam();
  SignalSpec s{.wpm = c.wpm, .snrDb = c.snrDb, .jitter = 0.03, .seed = 3};
  SpeedTracker speed(500);
  const auto z = baseband(s, c.text);
  // Each look while keyed: slow keying with a spread wobbles, but no look may take the
  // lines of fast keying's letters, at a half or two thirds of the speed, for the unit.
  std::vector<double> wpms;
  double strength = 0;
  std::size_t looks = 0;
  for (std::size_t i = 0; i < z.size(); ++i) {
    speed.push(z[i], noisePerSample(s));
    if (speed.looks() != looks && i > 2500 && i < z.size() - 500) {
      wpms.push_back(speed.wpm());
      strength = std::max(strength, speed.strength());
    }
    looks = speed.looks();
  }
  std::sort(wpms.begin(), wpms.end());
  EXPECT_NEAR(wpms[wpms.size() / 2], c.wpm, c.wpm * 0.03);
  EXPECT_GT(wpms.front(), c.wpm * 0.8);
  EXPECT_LT(wpms.back(), c.wpm * 1.25);
  EXPECT_GT(strength, 0) << "the transmission not taken for one";
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, SpeedTest,
    testing::Values(
        SpeedCase{10, 0, "TNGR 89D0A76820472FBCA7A01F"}, SpeedCase{12, 0, "TNGR 89D0A76820472FBCA7A01F"},
        SpeedCase{20, 0, "TNGR 89D0A76820472FBCA7A01F"}, SpeedCase{33, 0, "TNGR 89D0A76820472FBCA7A01F"},
        SpeedCase{45, 0, "TNGR 89D0A76820472FBCA7A01F"}, SpeedCase{60, 0, "TNGR 89D0A76820472FBCA7A01F"},
        SpeedCase{57.6, -1, "801BY Z94IT GR0RK 4BO73 9U1QE BKMJ1 D1HOM IVKW1 LN6FN DCZ9X"}));

struct LetterCase {
  double snrDb;
  std::string text;
  std::u32string want;
  float leastConfidence;  // of any letter
};

class LetterDecoderTest : public testing::TestWithParam<LetterCase> {};

// Whole letters at the right unit, each sample pushed on its own, with their confidence.
TEST_P(LetterDecoderTest, DecidesLetters) {
  const LetterCase c = GetParam();
  SignalSpec s{.snrDb = c.snrDb, .seed = 5};
  LetterDecoder d(U"");
  d.restart(30);
  std::vector<LetterDecision> out;
  for (const auto z : baseband(s, c.text)) {
    d.push(z, noisePerSample(s), true);
    if (d.due()) d.decide(false, out);
  }
  d.decide(true, out);
  std::u32string got;
  float least = 1;
  for (const auto& l : out) {
    got += l.letter;
    least = std::min(least, l.confidence);
  }
  EXPECT_EQ(got, c.want);
  EXPECT_GE(least, c.leastConfidence);
  if (c.leastConfidence > 0.5f) {
    EXPECT_NEAR(out.front().startSample, 500, 5) << "a second of noise first";
  }
}

INSTANTIATE_TEST_SUITE_P(Letters, LetterDecoderTest,
                         testing::Values(LetterCase{10, "PARIS 0189", U"PARIS0189", 0.99f},
                                         LetterCase{0, "I EE S ESE", U"IEESESE", 0.99f},
                                         LetterCase{-6, "TNGR 5A", U"TNGR5A", 0.9f},
                                         LetterCase{-30, "TNGR", U"", 0}));

struct FrameCase {
  double snrDb;
  std::uint64_t seed;
  std::string text;
  std::string whole;          // the transmission as read whole, x for a letter not trusted
  std::string early;          // what of it is handed out before the stream ends
  bool repaired;              // the letters heard one by one differ, some of them not trusted
  std::size_t restartAt = 0;  // a new speed epoch at this sample, at a unit of 31 samples
};

class FrameReadingTest : public testing::TestWithParam<FrameCase> {};

// A transmission is read again when it ends, as the frames whose letter count fits it.
TEST_P(FrameReadingTest, ReadsTransmissionsWhole) {
  const FrameCase c = GetParam();
  SignalSpec s{.snrDb = c.snrDb, .seed = c.seed};
  LetterDecoder d(kBeaconAlphabet);
  d.readFrames({U"TNGR", U"0123456789ABCDEF", {22, 16, 8, 8}, 1000});
  d.restart(30);
  std::vector<LetterDecision> oneByOne, whole;
  const auto z = baseband(s, c.text);
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (i == c.restartAt && i > 0) d.restart(31);
    d.push(z[i], noisePerSample(s), true);
    if (d.due()) d.decide(false, oneByOne);
  }
  const auto read = [](const std::vector<LetterDecision>& letters) {
    std::string r;
    for (const auto& l : letters) r += l.confidence >= kTrustedConfidence ? static_cast<char>(l.letter) : 'x';
    return r;
  };
  d.takeTransmissions(whole);
  EXPECT_EQ(read(whole), c.early);
  d.decide(true, oneByOne);
  d.takeTransmissions(whole);
  EXPECT_EQ(read(whole), c.whole);
  EXPECT_EQ(read(oneByOne) != c.whole, c.repaired) << read(oneByOne);
  if (c.snrDb < 0) {
    EXPECT_EQ(read(oneByOne).find('x') != std::string::npos, c.repaired) << "some not trusted";
  }
  d.takeTransmissions(whole);
  EXPECT_EQ(read(whole), c.whole) << "taken twice";
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameReadingTest,
    testing::Values(
        // A letter split in two, two lost and the word's: the count puts them right.
        FrameCase{-11, 35, "TNGR 89D0A76820472FBCA7A01F", "TNGR89D0A76820472FBCA7A01F", "", true},
        // Noise heard as a letter before the word, and a wrong letter trusted.
        FrameCase{-10, 26, "TNGR 89D0A76820472FBCA7A01F", "TNGR89D0A76820472FBCA7A01F", "", true},
        // Two frames joined by a click between them: the click is no frame's letter, and the
        // first frame is read when the next one's beacon word is heard.
        FrameCase{0, 1, "TNGR 89D0A768 E TNGR 2FBCA7A0", "TNGR89D0A768TNGR2FBCA7A0", "TNGR89D0A768", true},
        // The unit changes in the middle of the frame: one transmission still.
        FrameCase{-6, 3, "TNGR 89D0A76820472FBCA7A01F", "TNGR89D0A76820472FBCA7A01F", "", true, 6000},
        // No frame fits: the letters stay as heard.
        FrameCase{0, 1, "ABCDEF 0123456789 ABCDEF12", "ABCDEF0123456789ABCDEF12", "", false}));

}  // namespace
}  // namespace quillon::audio
