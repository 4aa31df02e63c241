// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The spectrum over time, for the dialog's waterfall:
//
//   samples (any rate 8-48 kHz, chunks of any size) -> Hann-windowed FFT frames of 0.1 s,
//   one every 1/rowsPerSecond s -> a row of levels [dB], `bins` columns from 0 to topHz
//
// Each column holds the strongest FFT bin within it, so a narrow tone stays visible however
// few columns the strip has.

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace quillon::audio {

class Spectrogram {
 public:
  Spectrogram(double sampleRate, double topHz = 3000, std::size_t bins = 300, double rowsPerSecond = 20);
  ~Spectrogram();
  Spectrogram(const Spectrogram&) = delete;
  Spectrogram& operator=(const Spectrogram&) = delete;

  void feed(std::span<const float> samples);
  // The rows completed since the last call, oldest first.
  std::vector<std::vector<float>> takeRows();

  double topHz() const { return top; }

 private:
  struct Fft;
  void analyse();

  double rate;
  double top;
  std::size_t columns;
  std::size_t frame;  // samples an FFT reads
  std::size_t hop;    // samples between rows
  std::vector<float> window;
  std::vector<float> ring;  // the last `frame` samples
  std::size_t written = 0;
  std::size_t sinceRow = 0;
  std::unique_ptr<Fft> fft;
  std::vector<std::vector<float>> rows;
};

}  // namespace quillon::audio
