// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A recording decoded off the user-interface thread, for File > Open Recording:
//
//   file --worker thread: SoundFile -> BeaconListener--> each frame heard, queued to the
//                                                       dialog's thread -> a check
//                                                   \-> progress, read by a progress bar
//
// A frame is handed out as soon as it is heard; cancel() stops the read at once.

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <optional>

#include "audio/beaconlistener.h"

namespace quillon::app {

class RecordingReader : public QObject {
  Q_OBJECT

 public:
  explicit RecordingReader(QObject* parent = nullptr);
  ~RecordingReader() override;  // cancels a read and waits for it

  // Reads the recording at `path`, which must not be running a read already.
  void read(const QString& path);
  void cancel() { stop = true; }
  bool running() const { return watcher.isRunning(); }
  int percent() const { return done.load(); }
  // When the recording began, where its name tells (a SatNOGS recording).
  std::optional<std::chrono::system_clock::time_point> start() const { return began; }

 signals:
  void frameHeard(const quillon::audio::HeardFrame& frame);
  // The read is over: `problem` says why it could not read it all, else is empty.
  void finished(const QString& problem);

 private:
  QString decode(const QString& path);

  QFutureWatcher<QString> watcher;
  std::atomic<bool> stop = false;
  std::atomic<int> done = 0;  // [%]
  std::optional<std::chrono::system_clock::time_point> began;
};

}  // namespace quillon::app
