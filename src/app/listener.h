// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Listening to the receiver:
//
//   audio input (QAudioSource), or any device of samples a test feeds -> mono floats
//     -> BeaconListener: each frame heard, every letter heard (for the heard line)
//     -> Spectrogram: rows for the waterfall, with the tone the decoder follows
//
// All on the dialog's thread: the decoder takes about a thousandth of real time, and the
// samples come in blocks a few times a second.

#include <QAudioFormat>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <memory>
#include <vector>

#include "audio/beaconlistener.h"
#include "audio/spectrogram.h"

class QIODevice;

namespace quillon::app {

class Listener : public QObject {
  Q_OBJECT

 public:
  explicit Listener(QObject* parent = nullptr);
  ~Listener() override;

  // Listens to the samples `device` delivers as `format` says (8-48 kHz, 8, 16 or 32 bits
  // or floats, channels mixed to one); empty, or why it cannot.
  QString start(QIODevice* device, const QAudioFormat& format);
  void stop();
  // The operator clicked a tone: the decoder follows it, and the waterfall marks it.
  void followTone(double hz);
  bool listening() const { return beacon != nullptr; }
  // When listening began, and how much has been heard since [s].
  std::chrono::system_clock::time_point startedAt() const { return began; }
  double seconds() const;

 signals:
  void frameHeard(const quillon::audio::HeardFrame& frame);
  void lettersHeard(const std::vector<quillon::audio::AudioLetter>& letters);
  // New waterfall rows (0 Hz to topHz), and the tone the decoder follows (0: none yet).
  void spectrumRows(const std::vector<std::vector<float>>& rows, double topHz, double toneHz);

 private:
  void readSamples();

  QPointer<QIODevice> device;
  QAudioFormat format;
  std::unique_ptr<audio::BeaconListener> beacon;
  std::unique_ptr<audio::Spectrogram> spectrum;
  std::chrono::system_clock::time_point began;
  QByteArray partial;  // bytes of a frame not yet whole
  std::vector<float> mono;
  double toneHz = 0;
  double chosenAtS = 0;  // when the operator last chose a tone [s heard]
};

}  // namespace quillon::app
