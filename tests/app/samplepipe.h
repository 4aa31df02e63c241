// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A pipe of samples, as an audio input's device is: a recording is written into it in blocks
// of a quarter of a second (8 kHz, 16 bits, one channel), and the dialog reads each as it comes.

#include <QAudioFormat>
#include <QIODevice>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace quillon::app {

class SamplePipe : public QIODevice {
 public:
  SamplePipe() { open(QIODevice::ReadWrite); }

  static QAudioFormat format() {
    QAudioFormat f;
    f.setSampleRate(8000), f.setChannelCount(1), f.setSampleFormat(QAudioFormat::Int16);
    return f;
  }

  // `beforeBlock(first sample)` runs before each block is written.
  void writeRecording(const std::vector<float>& samples,
                      const std::function<void(std::size_t)>& beforeBlock = {}) {
    for (std::size_t at = 0; at < samples.size(); at += 2000) {
      if (beforeBlock) beforeBlock(at);
      std::vector<std::int16_t> block;
      for (std::size_t i = at; i < std::min(at + 2000, samples.size()); ++i)
        block.push_back(static_cast<std::int16_t>(samples[i] * 32767));
      write(reinterpret_cast<const char*>(block.data()), static_cast<qint64>(block.size() * 2));
    }
  }

  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return data.size() + QIODevice::bytesAvailable(); }

 protected:
  qint64 readData(char* to, qint64 most) override {
    const qint64 n = std::min<qint64>(most, data.size());
    std::memcpy(to, data.constData(), static_cast<std::size_t>(n));
    data.remove(0, n);
    return n;
  }
  qint64 writeData(const char* from, qint64 n) override { return data.append(from, n), emit readyRead(), n; }

 private:
  QByteArray data;
};

}  // namespace quillon::app
