// SPDX-License-Identifier: GPL-3.0-or-later
#include "listener.h"

#include <QIODevice>
#include <cstring>

#include "frames/framelist.h"

namespace quillon::app {

namespace {

// One sample of one channel as a float in -1..1.
float sampleAt(const char* at, QAudioFormat::SampleFormat format) {
  switch (format) {
    case QAudioFormat::UInt8: return (static_cast<unsigned char>(*at) - 128) / 128.0F;
    case QAudioFormat::Int16: {
      std::int16_t v;
      std::memcpy(&v, at, sizeof v);
      return v / 32768.0F;
    }
    case QAudioFormat::Int32: {
      std::int32_t v;
      std::memcpy(&v, at, sizeof v);
      return static_cast<float>(v / 2147483648.0);
    }
    case QAudioFormat::Float: {
      float v;
      std::memcpy(&v, at, sizeof v);
      return v;
    }
    default: return 0;
  }
}

}  // namespace

Listener::Listener(QObject* parent) : QObject(parent) {}

Listener::~Listener() = default;

QString Listener::start(QIODevice* samples, const QAudioFormat& sampleFormat) {
  stop();
  if (sampleFormat.sampleRate() < audio::kMinSampleRate || sampleFormat.sampleRate() > audio::kMaxSampleRate)
    return tr("the input's rate of %1 Hz is outside 8,000-48,000 Hz").arg(sampleFormat.sampleRate());
  if (sampleFormat.bytesPerSample() == 0 || sampleFormat.channelCount() < 1)
    return tr("the input's samples are of a kind not read here");
  device = samples;
  format = sampleFormat;
  std::vector<std::size_t> lengths;
  for (const FrameRule* frame : allFrames()) lengths.push_back(frame->letters);
  beacon = std::make_unique<audio::BeaconListener>(format.sampleRate(), lengths,
                                                   [this](const audio::HeardFrame& frame) { emit frameHeard(frame); });
  spectrum = std::make_unique<audio::Spectrogram>(format.sampleRate());
  began = std::chrono::system_clock::now();
  toneHz = 0;
  chosenAtS = 0;
  partial.clear();
  connect(samples, &QIODevice::readyRead, this, &Listener::readSamples);
  readSamples();
  return {};
}

void Listener::stop() {
  if (device) disconnect(device, nullptr, this, nullptr);
  device = nullptr;
  if (!beacon) return;
  beacon->finish();  // the last letters and frame heard still count
  const auto letters = beacon->takeHeard();
  if (!letters.empty()) emit lettersHeard(letters);
  beacon.reset();
  spectrum.reset();
}

void Listener::followTone(double hz) {
  if (!beacon) return;
  beacon->followTone(hz);
  toneHz = hz;
  chosenAtS = seconds();
}

double Listener::seconds() const { return beacon ? beacon->decoder().secondsFed() : 0; }

void Listener::readSamples() {
  if (!device || !beacon) return;
  partial += device->readAll();
  const int frameBytes = format.bytesPerFrame();
  const int channels = format.channelCount();
  const auto frames = static_cast<std::size_t>(partial.size() / frameBytes);
  if (frames == 0) return;
  mono.resize(frames);
  for (std::size_t f = 0; f < frames; ++f) {
    const char* at = partial.constData() + f * frameBytes;
    float sum = 0;
    for (int c = 0; c < channels; ++c) sum += sampleAt(at + c * format.bytesPerSample(), format.sampleFormat());
    mono[f] = sum / static_cast<float>(channels);
  }
  partial.remove(0, static_cast<qsizetype>(frames) * frameBytes);
  beacon->feed(mono);
  spectrum->feed(mono);
  const auto letters = beacon->takeHeard();
  if (!letters.empty()) {
    // Letters keyed before the operator chose a tone still come out of the decoder for a few
    // seconds: the mark stays on the chosen tone meanwhile.
    if (letters.back().heard.startS >= chosenAtS) toneHz = letters.back().signal.toneHz;
    emit lettersHeard(letters);
  }
  const auto rows = spectrum->takeRows();
  if (!rows.empty()) emit spectrumRows(rows, spectrum->topHz(), toneHz);
}

}  // namespace quillon::app
