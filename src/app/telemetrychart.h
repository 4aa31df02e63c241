// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The telemetry chart: numeric fields over UTC time, from the kept log (earlier sessions
// too), from JSON Lines files the operator opens, and from each new check.
//
//   file --worker thread: core Telemetry--> TelemetrySources (a file read again replaces
//   itself) --the ticked fields, decimated to the width--> lines on one value axis a unit
//
// Files are read off the user-interface thread, so 100,000 records never freeze the
// dialog; what the chart draws is at most two points a pixel of the time shown, however
// long the log. Closing the chart cancels a read at once, and only regular files are read,
// so neither a long log nor a FIFO keeps the program from ending. The ticks are the core's
// (log/chartaxes.h): round values, round times that never crowd their labels. A drag zooms
// into its rectangle, the wheel zooms the time around the pointer, a right click zooms
// out, Reset Zoom shows everything again. The chart takes a dark theme in a dark palette.

#include <QFutureWatcher>
#include <QStringList>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "log/telemetry.h"

class QCategoryAxis;
class QColor;
class QIcon;
class QChart;
class QChartView;
class QLabel;
class QListWidget;
class QPushButton;

namespace quillon::app {

class TelemetryChart : public QWidget {
  Q_OBJECT

 public:
  explicit TelemetryChart(const QString& logPath, QWidget* parent = nullptr);
  ~TelemetryChart() override;

  // Reads a JSON Lines file in the background and shows its records, in place of what
  // an earlier read of the same file gave.
  void openFile(const QString& path);
  // A check just made (one JSON Lines record).
  void addRecord(const std::string& record);
  // Writes the chart as a PNG image, all or nothing; false, with the reason in the note,
  // on failure.
  bool exportPng(const QString& path);
  QString note() const;
  // What the chart says instead of lines, or above them for ticked fields that have none;
  // empty when every ticked field plots.
  QString message() const;
  void resetZoom();

 signals:
  void fileRead();  // a file's records have been added

 protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Range = std::pair<double, double>;
  void askForFile();
  void askForPng();
  void readNext();
  void takeRead();
  void tickFirstField();
  void refreshSoon();
  void refresh();
  void addAxes(const std::vector<std::pair<std::string, Range>>& units);  // each unit's values shown
  void wheelZoom(const QPointF& pointer, double factor);
  void showPointAt(const QPointF& pointer);
  void followPalette();
  QIcon swatch(const QColor& colour) const;

  quillon::TelemetrySources sources;
  QStringList queue;  // files still to read, one at a time
  QString reading;    // the file being read, empty when none is
  using FileRead = std::shared_ptr<std::pair<quillon::Telemetry, std::string>>;  // records, why unread
  QFutureWatcher<FileRead> reader;
  bool ticked = false;  // a field was ticked once: no more first look
  // The zoom: the time and each unit's values shown; a missing one shows all.
  std::optional<Range> timeZoom;
  std::map<std::string, Range> valueZoom;
  Range allTime{}, shownTime{};
  double plotWidth = 0;   // the width the lines and ticks were made for
  QString said;           // message()
  bool building = false;  // axes set by refresh(), not by a zoom
  bool refreshQueued = false;
  QListWidget* fields;
  QChart* chart;
  QChartView* view;
  QLabel* emptyLabel;  // over the plot, when there are no lines
  QPushButton* reset;
  QLabel* noteLabel;
};

}  // namespace quillon::app
