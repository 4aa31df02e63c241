#pragma once
// What the dialog tests share: recorded message boxes, a watchdog against unexpected modal
// boxes, a clock the tests set by hand, and a dialog with a log folder of its own.

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/telemetry_log.h"
#include "cquillondlg.h"
#include "dialog_template.h"
#include "message_boxes.h"

namespace quillon::test {

struct ShownBox {
  QString caption;
  QString text;
  bool operator==(const ShownBox&) const = default;
};

// Records every box and answers it with its only button, OK.
class RecordingMessageBoxes final : public app::MessageBoxes {
 public:
  void inform(QWidget*, const QString& caption, const QString& text) override { shown.push_back({caption, text}); }
  std::vector<ShownBox> shown;
};

// A clock the test sets; every reading of the dialog sees the present value.
struct ManualClock {
  std::shared_ptr<stm::ClockReading> now = std::make_shared<stm::ClockReading>(
      stm::ClockReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}});
  stm::ClockSource source() const {
    return [now = now] { return *now; };
  }
  // The report and record a check of `letters` gives now.
  CheckTexts texts(FrameKind kind, const QString& letters) const {
    return checkTexts(kind, letters.toStdString(), *now, LineEnd::Lf).value_or(CheckTexts{});
  }
};

// Polls for modal windows other than the dialog. An expected box is handed to `expect`;
// any other is recorded and closed, so a stray box fails the test instead of hanging it.
class ModalWatchdog : public QObject {
 public:
  ModalWatchdog() {
    connect(&timer, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || qobject_cast<app::CQuillonDlg*>(modal)) return;
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box && expect) return std::exchange(expect, nullptr)(box);
      unexpected << (box ? box->text() : QString::fromLatin1(modal->metaObject()->className()));
      modal->close();
    });
    timer.start(20);
  }
  std::function<void(QMessageBox*)> expect;
  QStringList unexpected;

 private:
  QTimer timer;
};

// A shown dialog on the manual clock, recording its boxes, logging into a folder of its own.
struct DialogFixture {
  ModalWatchdog watchdog;
  RecordingMessageBoxes boxes;
  ManualClock clock;
  QTemporaryDir folder;
  std::unique_ptr<app::CQuillonDlg> dlg;

  explicit DialogFixture(QString logFolder = {}) {
    dlg = std::make_unique<app::CQuillonDlg>(
        app::DialogSeams{clock.source(), &boxes, logFolder.isEmpty() ? folder.path() : logFolder});
    dlg->show();
  }
  QLineEdit* input(int id) const { return dlg->control<QLineEdit>(id); }
  QPlainTextEdit* box() const { return dlg->control<QPlainTextEdit>(app::kResultBox); }
  void check(int inputId, const QString& letters) const {
    input(inputId)->setText(letters);
    QTest::mouseClick(dlg->control(inputId == app::kHouseKeepingInput ? app::kHouseKeepingButton : inputId + 1),
                      Qt::LeftButton);
  }
  QByteArray log() const {
    QFile file(dlg->logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

}  // namespace quillon::test

Q_DECLARE_METATYPE(quillon::FrameKind)
