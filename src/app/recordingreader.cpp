// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingreader.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>
#include <vector>

#include "audio/soundfile.h"
#include "audio/transcript.h"
#include "frames/framelist.h"

namespace quillon::app {

RecordingReader::RecordingReader(QObject* parent) : QObject(parent) {
  connect(&watcher, &QFutureWatcher<QString>::finished, this, [this] { emit finished(watcher.result()); });
}

RecordingReader::~RecordingReader() {
  cancel();
  watcher.waitForFinished();
}

void RecordingReader::read(const QString& path) {
  stop = false;
  done = 0;
  const auto satnogs = audio::satnogsStart(QFile::encodeName(path).toStdString());
  began = satnogs ? std::optional<std::chrono::system_clock::time_point>(*satnogs) : std::nullopt;
  watcher.setFuture(QtConcurrent::run([this, path] { return decode(path); }));
}

QString RecordingReader::decode(const QString& path) {
  try {
    audio::SoundFile file(QFile::encodeName(path).toStdString());
    std::vector<std::size_t> lengths;
    for (const FrameRule* frame : allFrames()) lengths.push_back(frame->letters);
    audio::BeaconListener listener(file.sampleRate(), lengths, [this](const audio::HeardFrame& frame) {
      QMetaObject::invokeMethod(this, [this, frame] { emit frameHeard(frame); }, Qt::QueuedConnection);
    });
    std::vector<float> samples(16384);
    while (!stop) {
      const std::size_t n = file.read(samples);
      if (n == 0) break;
      listener.feed(std::span(samples).first(n));
      listener.takeHeard();
      if (file.announcedFrames() > 0) done = static_cast<int>(100 * file.framesRead() / file.announcedFrames());
    }
    if (stop) return tr("cancelled");
    listener.finish();
    if (file.cutShort()) return tr("the file ends before its header says it does; what it holds was decoded");
    if (!listener.decoder().toneHeard()) return tr("no tone heard");
    return {};
  } catch (const audio::SoundFileError& e) {
    return QString::fromStdString(e.what());
  }
}

}  // namespace quillon::app
