// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the README's picture of the dialog listening: a seeded recording of the beacon, fed
// to the dialog as an audio input hands samples over, and the window grabbed after it.
// Usage: listening_screenshot OUT.png (run offscreen or under xvfb-run)
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "cquillondlg.h"
#include "samplepipe.h"
#include "support/beaconsignal.h"

using namespace quillon::app;

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
  quillon::testsupport::SignalSpec beacon;
  beacon.snrDb = -9;
  beacon.fadeDb = 6;
  beacon.toneHz = 700;
  beacon.tailS = 2;
  const auto recording =
      quillon::testsupport::makeRecording(beacon, "TNGR 89D0A76820472FBCA7A01F TNGR 8A5C3E1F TNGR 89D0A7");
  SamplePipe samples;
  dlg.listenTo(&samples, SamplePipe::format());
  samples.writeRecording(recording.samples);

  int status = 1;
  QTimer::singleShot(400, &dlg, [&] {
    status = dlg.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
