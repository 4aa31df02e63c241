// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/beaconsignal.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "core/morse.h"

namespace quillon::testsupport {

Recording makeRecording(const SignalSpec& spec, std::string_view text) {
  std::mt19937_64 random(spec.seed);
  std::normal_distribution<double> gauss(0, 1);
  const double unit = 1.2 / spec.wpm;
  auto len = [&](double units) {
    return std::max(0.3 * unit, units * unit * (1 + spec.jitter * gauss(random)));
  };

  Recording rec;
  std::vector<std::pair<double, double>> keys;  // key down, key up [s]
  double t = spec.leadS;
  bool first = true;
  double pendingGap = 0;  // units of gap owed before the next letter
  for (const char c : text) {
    if (c == ' ') {
      if (pendingGap >= 0) pendingGap = std::max(pendingGap, spec.wordGapUnits);  // a pause stays
      continue;
    }
    if (c == '|') {
      pendingGap = -3;  // seconds, marked by the sign
      continue;
    }
    const std::string_view code = morseCode(static_cast<char32_t>(static_cast<unsigned char>(c)));
    if (code.empty()) continue;
    if (!first) t += pendingGap < 0 ? -pendingGap : len(std::max(pendingGap, spec.letterGapUnits));
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
  const double total = t + spec.tailS;
  const auto n = static_cast<std::size_t>(total * spec.sampleRate);
  rec.samples.assign(n, 0);

  // The tone: its phase integrates the frequency, which drifts and bounces off the
  // passband's edges, and may step once.
  const double dt = 1 / spec.sampleRate;
  double hz = spec.toneHz, slope = spec.driftHzPerS, phase = 0;
  std::size_t k = 0;
  const double fadePhase = std::uniform_real_distribution<double>(0, 2 * std::numbers::pi)(random);
  for (std::size_t i = 0; i < n; ++i) {
    const double ts = static_cast<double>(i) * dt;
    while (k < keys.size() && keys[k].second + spec.edgeS < ts) ++k;
    double envelope = 0;
    if (k < keys.size() && ts > keys[k].first - spec.edgeS) {
      const auto ramp = [&](double x) {
        return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0));
      };
      envelope = ramp((ts - keys[k].first + spec.edgeS) / (2 * spec.edgeS)) *
                 ramp((keys[k].second + spec.edgeS - ts) / (2 * spec.edgeS));
    }
    if (spec.fadeDb > 0) {
      envelope *= std::pow(
          10.0, spec.fadeDb / 2 * std::sin(2 * std::numbers::pi * ts / spec.fadePeriodS + fadePhase) / 20);
    }
    rec.samples[i] = static_cast<float>(spec.amplitude * envelope * std::sin(phase));
    phase = std::fmod(phase + 2 * std::numbers::pi * hz * dt, 2 * std::numbers::pi);
    hz += slope * dt;
    if ((hz > spec.passHighHz && slope > 0) || (hz < spec.passLowHz && slope < 0)) slope = -slope;
    if (spec.stepHz != 0 && ts < spec.stepAtS && ts + dt >= spec.stepAtS) {
      hz = std::clamp(hz + spec.stepHz, spec.passLowHz, spec.passHighHz);
    }
  }
  if (spec.snrDb < 100) {
    // Noise of power N in 2,500 Hz is white with variance N * (rate / 2) / 2,500.
    const double tonePower = spec.amplitude * spec.amplitude / 2;
    const double noise2500 = tonePower / std::pow(10.0, spec.snrDb / 10);
    const double sigma = std::sqrt(noise2500 * spec.sampleRate / 2 / 2500);
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
