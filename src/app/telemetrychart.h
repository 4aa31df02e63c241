// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The telemetry chart: engineering fields over UTC time, from the kept log (earlier
// sessions too), from JSON Lines files the operator opens, and from each new check.
//
//   file --worker thread: core Telemetry--> merged series --decimated to the width--> chart
//
// Files are read off the user-interface thread, so 100,000 records never freeze the
// dialog; what the chart draws is at most two points a pixel, however long the log.
// Closing the chart cancels a read at once, and only regular files are read, so neither a
// long log nor a FIFO keeps the program from ending.

#include <QFutureWatcher>
#include <QStringList>
#include <QWidget>
#include <string>
#include <utility>

#include "log/telemetry.h"

class QChart;
class QChartView;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace quillon::app {

class TelemetryChart : public QWidget {
  Q_OBJECT

 public:
  explicit TelemetryChart(const QString& logPath, QWidget* parent = nullptr);
  ~TelemetryChart() override;

  // Reads a JSON Lines file in the background and adds its records.
  void openFile(const QString& path);
  // A check just logged (one JSON Lines record).
  void addRecord(const std::string& record);
  // Writes the chart as a PNG image, all or nothing; false, with the reason in the note,
  // on failure.
  bool exportPng(const QString& path);
  QString note() const;

 signals:
  void fileRead();  // a file's records have been added

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void askForFile();
  void askForPng();
  void readNext();
  void takeRead();
  void refresh();
  void showPointAt(const QPointF& pointer);

  quillon::Telemetry telemetry;
  QStringList notes;
  QStringList queue;  // files still to read, one at a time
  QString reading;  // the file being read, empty when none is
  using FileRead = std::pair<quillon::Telemetry, std::string>;  // records, why unread
  QFutureWatcher<FileRead> reader;
  QListWidget* fields;
  QChart* chart;
  QChartView* view;
  QLabel* noteLabel;
};

}  // namespace quillon::app
