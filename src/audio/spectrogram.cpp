// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/spectrogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace quillon::audio {

struct Spectrogram::Fft {
  explicit Fft(std::size_t n)
      : in(fftwf_alloc_real(n)),
        out(fftwf_alloc_complex(n / 2 + 1)),
        plan(fftwf_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE)) {}
  ~Fft() {
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
  }
  float* in;
  fftwf_complex* out;
  fftwf_plan plan;
};

Spectrogram::Spectrogram(double sampleRate, double topHz, std::size_t bins, double rowsPerSecond)
    : rate(sampleRate),
      top(std::min(topHz, sampleRate / 2)),
      columns(std::max<std::size_t>(bins, 1)),
      frame(static_cast<std::size_t>(std::lround(sampleRate / 10))),  // 10 Hz a bin
      hop(std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(sampleRate / rowsPerSecond)))),
      window(frame),
      ring(frame),
      fft(std::make_unique<Fft>(frame)) {
  for (std::size_t i = 0; i < frame; ++i)
    window[i] =
        static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / frame));
}

Spectrogram::~Spectrogram() = default;

void Spectrogram::feed(std::span<const float> samples) {
  for (const float s : samples) {
    ring[written++ % frame] = std::isfinite(s) ? s : 0.0F;
    if (++sinceRow >= hop && written >= frame) {
      sinceRow = 0;
      analyse();
    }
  }
}

void Spectrogram::analyse() {
  for (std::size_t i = 0; i < frame; ++i) fft->in[i] = ring[(written + i) % frame] * window[i];
  fftwf_execute(fft->plan);
  std::vector<float> row(columns, -200.0F);
  const double binHz = rate / static_cast<double>(frame);
  const std::size_t last = std::min(frame / 2, static_cast<std::size_t>(top / binHz));
  for (std::size_t k = 0; k <= last; ++k) {
    const double power = fft->out[k][0] * fft->out[k][0] + fft->out[k][1] * fft->out[k][1];
    const auto column = std::min(columns - 1, static_cast<std::size_t>(k * binHz / top * columns));
    row[column] = std::max(row[column], static_cast<float>(10 * std::log10(power + 1e-20)));
  }
  rows.push_back(std::move(row));
}

std::vector<std::vector<float>> Spectrogram::takeRows() { return std::exchange(rows, {}); }

}  // namespace quillon::audio
