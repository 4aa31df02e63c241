// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/beaconsignal.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "core/morse.h"

namespace quillon::testsupport {

Recording makeRecording(const SignalSpec& signal, std::string_view text) {
  std::mt19937_64 random(signal.seed);
  std::normal_distribution<double> gauss(0, 1);
  const double unit = 1.2 / signal.wpm;
  auto len = [&](double units) {
    return std::max(0.3 * unit, units * unit * (1 + signal.jitter * gauss(random)));
  };

  Recording rec;
  std::vector<std::pair<double, double>> keys;  // key down, key up [s]
  double t = signal.leadS;
  bool first = true;
  double pendingGap = 0;  // units of gap owed before the next letter
  for (const char c : text) {
    if (c == ' ') {
      if (pendingGap >= 0) pendingGap = std::max(pendingGap, signal.wordGapUnits);  // a pause stays
      continue;
    }
    if (c == '|') {
      pendingGap = -3;  // seconds, marked by the sign
      continue;
    }
    const std::string_view code = morseCode(static_cast<char32_t>(static_cast<unsigned char>(c)));
    if (code.empty()) continue;
    if (!first) t += pendingGap < 0 ? -pendingGap : len(std::max(pendingGap, signal.letterGapUnits));
    first = false;
    pendingGap = 0;
    rec.letters.push_back({c, t});
    for (std::size_t i = 0; i < code.size(); ++i) {
      if (i > 0) t += len(1);
      const double on = len(code[i] == '-' ? 3 : 1);
      keys.push_back({t, t + on});
      t += on;
    }
  }
  const double total = t + signal.tailS;
  const auto n = static_cast<std::size_t>(total * signal.sampleRate);
  rec.samples.assign(n, 0);

  // The tone: its phase integrates the frequency, which drifts and bounces off the
  // passband's edges, and may step once.
  const double dt = 1 / signal.sampleRate;
  double hz = signal.toneHz, slope = signal.driftHzPerS, phase = 0;
  std::size_t k = 0;
  const double fadePhase = std::uniform_real_distribution<double>(0, 2 * std::numbers::pi)(random);
  for (std::size_t i = 0; i < n; ++i) {
    const double ts = static_cast<double>(i) * dt;
    while (k < keys.size() && keys[k].second + signal.edgeS < ts) ++k;
    double envelope = 0;
    if (k < keys.size() && ts > keys[k].first - signal.edgeS) {
      const auto ramp = [&](double x) {
        return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0));
      };
      envelope = ramp((ts - keys[k].first + signal.edgeS) / (2 * signal.edgeS)) *
                 ramp((keys[k].second + signal.edgeS - ts) / (2 * signal.edgeS));
    }
    if (signal.fadeDb > 0) {
      envelope *=
          std::pow(10.0, signal.fadeDb / 2 *
                             std::sin(2 * std::numbers::pi * ts / signal.fadePeriodS + fadePhase) / 20);
    }
    rec.samples[i] = static_cast<float>(signal.amplitude * envelope * std::sin(phase));
    phase = std::fmod(phase + 2 * std::numbers::pi * hz * dt, 2 * std::numbers::pi);
    hz += slope * dt;
    if ((hz > signal.passHighHz && slope > 0) || (hz < signal.passLowHz && slope < 0)) slope = -slope;
    if (signal.stepHz != 0 && ts < signal.stepAtS && ts + dt >= signal.stepAtS) {
      hz = std::clamp(hz + signal.stepHz, signal.passLowHz, signal.passHighHz);
    }
  }
  if (signal.snrDb < 100) {
    // Noise of power N in 2,500 Hz is white with variance N * (rate / 2) / 2,500.
    const double tonePower = signal.amplitude * signal.amplitude / 2;
    const double noise2500 = tonePower / std::pow(10.0, signal.snrDb / 10);
    const double sigma = std::sqrt(noise2500 * signal.sampleRate / 2 / 2500);
    for (float& s : rec.samples) s += static_cast<float>(sigma * gauss(random));
  }
  return rec;
}

bool writeSoundFile(const std::string& path, const std::vector<float>& samples, int rate, int format,
                    int channels) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  std::vector<float> frames;
  frames.reserve(samples.size() * static_cast<std::size_t>(channels));
  for (const float s : samples) {
    for (int c = 0; c < channels; ++c) frames.push_back(s);
  }
  const sf_count_t want = static_cast<sf_count_t>(samples.size());
  const bool ok = sf_writef_float(f, frames.data(), want) == want;
  return sf_close(f) == 0 && ok;
}

}  // namespace quillon::testsupport
