// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the README's picture of the dialog listening: a seeded recording of the beacon, fed
// to the dialog as an audio input hands samples over, and the window grabbed after it.
// Usage: listening_screenshot OUT.png (run offscreen or under xvfb-run)
#include <QApplication>
#include <QAudioFormat>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "cquillondlg.h"
#include "support/beaconsignal.h"

using namespace quillon::app;

namespace {

// A pipe, as an audio input's device is.
struct Samples : QIODevice {
  QByteArray data;
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return data.size() + QIODevice::bytesAvailable(); }
  qint64 readData(char* to, qint64 most) override {
    const qint64 n = std::min<qint64>(most, data.size());
    std::memcpy(to, data.constData(), static_cast<std::size_t>(n));
    data.remove(0, n);
    return n;
  }
  qint64 writeData(const char* from, qint64 n) override { return data.append(from, n), emit readyRead(), n; }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: listening_screenshot OUT.png\n");
    return 2;
  }
  // The system clock: frames heard are timed by it, and the clock panel should agree.
  QTemporaryDir folder;
  CQuillonDlg dlg({stm::readSystemClock, nullptr, folder.path()});
  dlg.show();

  // A weak beacon with some fading: a frame heard whole, then the next one under way.
  quillon::testsupport::SignalSpec spec;
  spec.snrDb = -7;
  spec.fadeDb = 6;
  spec.toneHz = 700;
  spec.tailS = 2;
  const auto recording =
      quillon::testsupport::makeRecording(spec, "TNGR 89D0A76820472FBCA7A01F TNGR 8A5C3E1F TNGR 89D0A7");
  QAudioFormat format;
  format.setSampleRate(8000), format.setChannelCount(1), format.setSampleFormat(QAudioFormat::Int16);
  Samples samples;
  samples.open(QIODevice::ReadWrite);
  dlg.listenTo(&samples, format);
  for (std::size_t at = 0; at < recording.samples.size(); at += 2000) {
    std::vector<std::int16_t> block;
    for (std::size_t i = at; i < std::min(at + 2000, recording.samples.size()); ++i)
      block.push_back(static_cast<std::int16_t>(recording.samples[i] * 32767));
    samples.write(reinterpret_cast<const char*>(block.data()), static_cast<qint64>(block.size() * 2));
  }

  int status = 1;
  QTimer::singleShot(400, &dlg, [&] {
    status = dlg.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
