#pragma once
// What the dialog tests share: recorded message boxes, a watchdog against unexpected modal
// boxes, a clock the tests set by hand, and the report as the operator sees it.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/report.h"
#include "message_boxes.h"
#include "quillon_dlg.h"
#include "time/clock_snapshot.h"

namespace quillon::test {

struct ShownBox {
  QString caption;
  QString text;
  bool operator==(const ShownBox&) const = default;
};

// Records every box and answers it with its only button, OK.
class RecordingMessageBoxes final : public app::MessageBoxes {
 public:
  void inform(QWidget*, const QString& caption, const QString& text) override {
    shown.push_back({caption, text});
  }
  std::vector<ShownBox> shown;
};

// A clock the test sets; every reading of the dialog sees the present value.
struct ManualClock {
  std::shared_ptr<stm::ClockReading> now = std::make_shared<stm::ClockReading>(stm::ClockReading{
      {2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}});
  stm::ClockSource source() const {
    return [now = now] { return *now; };
  }
};

// Polls for modal windows other than the dialog itself. An expected one is handed to
// `expect`; any other is recorded and closed, so a stray box fails the test instead of
// hanging the suite.
class ModalWatchdog : public QObject {
 public:
  ModalWatchdog() {
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &ModalWatchdog::poll);
    timer.start();
  }
  std::function<void(QMessageBox*)> expect;
  QStringList unexpected;

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || qobject_cast<CQuillonDlg*>(modal)) return;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box && expect) {
      std::exchange(expect, nullptr)(box);
      return;
    }
    unexpected << (box ? box->text() : modal->metaObject()->className());
    modal->close();
  }
  QTimer timer;
};

// The report the core builds for that clock, with the LF line ends the box shows.
inline QString expectedReport(FrameKind kind, const QString& letters, const stm::ClockSource& clock) {
  const auto report = buildReport(kind, letters.toStdString(), clock(), LineEnd::Lf);
  return report ? QString::fromStdString(*report) : QString();
}

}  // namespace quillon::test

Q_DECLARE_METATYPE(quillon::FrameKind)
