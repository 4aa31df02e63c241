// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the README's pictures: the dialog after checks, with the live hints showing a
// frame being typed and one with a capital X, and the telemetry chart of a day of checks.
// Usage: dialog_screenshot DIALOG.png CHART.png [dark] (run offscreen or under xvfb-run);
// "dark" renders both in a dark palette, to check that every text still reads.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>

#include "core/check.h"
#include "cquillondlg.h"
#include "dialogtemplate.h"
#include "frames/framelist.h"
#include "log/logwriter.h"
#include "telemetrychart.h"

using namespace quillon::app;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3 && !(argc == 4 && qstrcmp(argv[3], "dark") == 0)) {
    std::fprintf(stderr, "usage: dialog_screenshot DIALOG.png CHART.png [dark]\n");
    return 2;
  }
  if (argc == 4) {
    QPalette dark(QColor(0xe0, 0xe0, 0xe0), QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    QApplication::setPalette(dark);
  }
  // A fixed moment and a log of its own, so the pictures only change when the program does.
  const stm::ClockReading moment{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};
  QTemporaryDir folder;
  {
    // Earlier sessions: a check every 20 minutes for a day, the battery slowly charging.
    std::string log;
    for (int i = 0; i < 72; ++i) {
      stm::ClockReading at = moment;
      at.utc = {2009, 6, 29 + (14 * 60 + i * 20) / 1440, (14 + i / 3) % 24, i % 3 * 20, 0, 0};
      char frame[32];
      const int board =
          0x44 + static_cast<int>(std::lround(6 * std::sin(i * 0.35)));  // in and out of the sun
      std::snprintf(frame, sizeof frame, "89D0%02X6820%02X2FBCA7A01F", 0x98 + i / 4, board);
      log += quillon::checkTexts(*quillon::frameNamed("hk"), frame, at, quillon::LineEnd::Lf)->record;
    }
    quillon::appendLogLine(QDir(folder.path()).filePath(QStringLiteral("checks.jsonl")).toStdString(), log);
  }
  CQuillonDlg dlg({stm::fixedClock(moment), nullptr, folder.path()});
  dlg.show();
  const auto input = [&dlg](const char* name) { return dlg.input(*quillon::frameNamed(name)); };
  input("hk")->setText(QStringLiteral("89D0A76820472FBCA7A01F"));
  dlg.button(*quillon::frameNamed("hk"))->click();
  input("hk")->setText(QStringLiteral("89D0xx6820x72F"));
  input("sat")->setText(QStringLiteral("89D0X768"));
  input("satpda")->setText(QStringLiteral("00000"));
  TelemetryChart* chart = dlg.showChart();
  // Two units, two value axes.
  for (const char* field : {"voltage of battery [V]", "temperature of communication board ['C]"}) {
    chart->findChild<QListWidget*>()
        ->findItems(QString::fromLatin1(field), Qt::MatchExactly)
        .at(0)
        ->setCheckState(Qt::Checked);
  }

  int status = 1;
  QTimer::singleShot(600, &dlg, [&] {  // a few clock ticks, and the log read
    status = dlg.grab().save(QString::fromLocal8Bit(argv[1])) &&
                     chart->grab().save(QString::fromLocal8Bit(argv[2]))
                 ? 0
                 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
