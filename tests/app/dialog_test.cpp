// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's wiring: checks, guards and boxes, undo, the log, saving, the live hints, the
// chart, the clock panel, keys, exit, and the layout. The core suites own every text.
#include <sys/stat.h>

#include <QAudioFormat>
#include <QtCharts>
#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <fstream>

#include "../filesizelimit.h"
#include "clockfield.h"
#include "core/check.h"
#include "core/hint.h"
#include "cquillondlg.h"
#include "cursorrest.h"
#include "dialogtemplate.h"
#include "frames/framelist.h"
#include "hintlabel.h"
#include "listenpanel.h"
#include "log/logwriter.h"
#include "samplepipe.h"
#include "support/beaconsignal.h"
#include "telemetrychart.h"

using namespace quillon;
using namespace quillon::app;

namespace {

const QString kHouseKeeping = QStringLiteral("89D0A76820472FBCA7A01F");

using Box = std::pair<QString, QString>;  // caption, text

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A shown dialog on a clock the test sets, logging into a folder of its own. Its boxes are
// recorded and answered; any other modal window is closed and fails the test.
struct Fixture : MessageBoxes {
  std::vector<Box> boxes;
  QStringList strayWindows;  // modal windows other than the dialog: caption and text
  QTimer watchdog;
  std::shared_ptr<stm::ClockReading> now = std::make_shared<stm::ClockReading>(
      stm::ClockReading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}});
  QTemporaryDir folder;
  std::unique_ptr<CQuillonDlg> dlg;

  explicit Fixture(const QString& logFolder = {}, bool realBoxes = false) {
    dlg = std::make_unique<CQuillonDlg>(DialogSeams{[now = now] { return *now; }, realBoxes ? nullptr : this,
                                                    logFolder.isEmpty() ? folder.path() : logFolder});
    dlg->show();
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || modal == dlg.get()) return;
      auto* box = qobject_cast<QMessageBox*>(modal);
      strayWindows << modal->windowTitle() + QStringLiteral(": ") + (box ? box->text() : QString());
      if (box && box->icon() == QMessageBox::NoIcon && box->parentWidget() == dlg.get()) strayWindows.back() += '.';
      modal->close();
    });
    watchdog.start(20);
  }
  void inform(QWidget*, const QString& caption, const QString& text) override { boxes.push_back({caption, text}); }
  QLineEdit* input(const char* frame) const { return dlg->input(*frameNamed(frame)); }
  QPlainTextEdit* box() const { return dlg->resultBox(); }
  void click(const char* frame) const { QTest::mouseClick(dlg->button(*frameNamed(frame)), Qt::LeftButton); }
  void check(const char* frame, const QString& letters) const {
    input(frame)->setText(letters);
    click(frame);
  }
  CheckTexts texts(const char* frame, const QString& letters) const {
    return *checkTexts(*frameNamed(frame), letters.toStdString(), *now, LineEnd::Lf);
  }
  QByteArray log() const { return contents(dlg->logPath()); }
  QString clock(int id) const { return dlg->clockField(id)->text(); }
  QRect pixels(int x, int y, int width, int height) const {
    return DialogUnits(QFontMetrics(dlg->font())).rect(x, y, width, height);
  }
};

int textWidth(const QWidget* widget, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(widget->font()).horizontalAdvance(text)));
}

}  // namespace

class DialogTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Fixture> f;

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
  }
  void init() {
    f = std::make_unique<Fixture>();
    QVERIFY(QTest::qWaitForWindowActive(f->dlg.get()));
  }
  void cleanup() {
    QVERIFY2(f->strayWindows.isEmpty(), qPrintable(f->strayWindows.join(", ")));
    f.reset();
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](QWidget* w) { return w->isVisible(); }));
  }

  void checkAppendsReportAndLogsRecord_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("letters");
    for (const FrameRule* frame : allFrames()) {
      QTest::newRow(frame->name.data()) << QByteArray(frame->name.data(), frame->name.size())
                                        << QStringLiteral("89D0xx6820x72FxxA7Ax1F89D0").left(frame->letters);
    }
  }
  void checkAppendsReportAndLogsRecord() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, letters);
    QTest::keyClicks(f->input(frame), letters);
    f->click(frame);
    const CheckTexts first = f->texts(frame, letters);
    f->now->utc.second += 1;
    f->click(frame);
    const CheckTexts second = f->texts(frame, letters);
    QCOMPARE(f->box()->toPlainText(), QString::fromStdString(first.report + second.report));
    QCOMPARE(f->log(), QByteArray::fromStdString(first.record + second.record));
    // The new report from its title down: at the top, unless the box is scrolled to its end.
    const int top = f->box()->cursorForPosition(QPoint()).position(), title = int(first.report.size());
    QVERIFY(top == title || (top < title && f->box()->verticalScrollBar()->value() == f->box()->verticalScrollBar()->maximum()));
    QCOMPARE(f->input(frame)->text(), letters);  // kept for a correction and a second check
    QVERIFY(f->boxes.empty());
  }

  void undoNeverTakesAReport() {
    QTest::keyClicks(f->box(), QStringLiteral("heard by JA1ABC"));
    QTextCursor caret = f->box()->textCursor();
    caret.setPosition(5);
    f->box()->setTextCursor(caret);
    std::string reports;
    for (const char* frame : {"89D0A76820472FBCA7A01F", "89D0xx6820x72FxxA7Ax1F", "0123456789abcdefABCDEF", "00000000000000000000xx"}) {
      f->check("hk", QString::fromLatin1(frame));
      reports += f->texts("hk", QString::fromLatin1(frame)).report;
    }
    QCOMPARE(f->box()->textCursor().position(), 5);  // the operator's caret stays put
    const auto linesOf = [this](int block) { return f->box()->document()->findBlockByNumber(block).layout()->lineCount(); };
    QCOMPARE(linesOf(1) + linesOf(2), 0);  // reports scrolled out of view give back their layouts
    QTest::keyClicks(f->box(), QStringLiteral("!"));
    for (int i = 0; i < 10; ++i) QTest::keySequence(f->box(), QKeySequence::Undo);
    QCOMPARE(f->box()->toPlainText(), QStringLiteral("heard by JA1ABC") + QString::fromStdString(reports));
    // A caret where a block's separator would be taken out and put back keeps the block as it is.
    caret.setPosition(f->box()->document()->findBlockByNumber(3).position() - 1);
    f->box()->setTextCursor(caret);
    f->check("hk", kHouseKeeping);
    QVERIFY(f->box()->textCursor() == caret && linesOf(3) > 0 && !f->box()->document()->signalsBlocked());
  }

  void boxesOfTheGuardsAndChecks_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");  // the input's text; a box of a check if it differs
    QTest::addColumn<Box>("box");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    QTest::newRow("21 letters") << QByteArray("hk") << kHouseKeeping.left(21) << "" << Box{"Invalidate", "Please input 22 Letters"};
    QTest::newRow("empty PDA") << QByteArray("pda") << "" << "" << Box{"Invalidate", "Please input 8 Letters"};
    QTest::newRow("23 letters") << QByteArray("hk") << kHouseKeeping + "Z" << kHouseKeeping << Box{"Quillon", "Over 22 letters!"};
    QTest::newRow("emoji across the cut") << QByteArray("hk") << kHouseKeeping.left(21) + emoji + "Z"
                                          << kHouseKeeping.left(21) + emoji << Box{"Quillon", "Over 22 letters!"};
    QTest::newRow("17 letters") << QByteArray("satpda") << "89D0A7688A5C3E1F9" << "89D0A7688A5C3E1F" << Box{"Quillon", "Over 16 letters!"};
    // A paste is cleaned of the beacon word, blanks and line breaks first; typing is not.
    QTest::newRow("beacon word and groups") << QByteArray("hk") << "TNGR 89D0 A768 2047 2FBC A7A0 1F\n" << kHouseKeeping << Box{};
    QTest::newRow("a leading blank") << QByteArray("hk") << " " + kHouseKeeping << kHouseKeeping << Box{};
    QTest::newRow("cleaned, then guarded") << QByteArray("sat") << "tngr 89D0 A7689" << "89D0A768" << Box{"Quillon", "Over 8 letters!"};
  }
  void boxesOfTheGuardsAndChecks() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(Box, box);
    QTest::keyClicks(f->box(), QStringLiteral("note"));
    QApplication::clipboard()->setText(pasted);
    f->input(frame)->setFocus();
    QTest::keySequence(f->input(frame), QKeySequence::Paste);
    if (after.isEmpty()) f->click(frame);
    QCOMPARE(f->boxes, box.first.isEmpty() ? std::vector<Box>{} : std::vector<Box>{box});
    QCOMPARE(f->input(frame)->text(), after.isEmpty() ? pasted : after);
    QCOMPARE(f->box()->toPlainText(), QStringLiteral("note"));
    QVERIFY(f->log().isEmpty());
  }

  // Every frame in a decoder's text is checked as if typed, at its line's time if it has one;
  // an 8-letter frame as the operator says, and the status line tells what was found.
  void pasteDecoderTextChecksEveryFrame() {
    const QString text = QStringLiteral("2026-12-07T03:10:12Z TNGR 89D0A76820472FBCA7A01F\nTNGR 8A5C3E1F cq\nT*R 89D0A768*A5C3E1F");
    f->dlg->pasteDecoderText(text);
    QVERIFY(f->box()->toPlainText().startsWith(QStringLiteral("Tanager CW House Keeping Status\nUTC : 2026/12/07 03:10:12:000")));
    QCOMPARE(f->input("satpda")->text(), QStringLiteral("89D0A768xA5C3E1F"));
    QCOMPARE(f->log().count('\n'), 2);
    QCOMPARE(f->dlg->statusLine()->currentMessage(),
             QStringLiteral("Paste Decoder Text: 3 frames found; frame 2 (8 letters) not decoded: Edit > Eight Letters in "
                            "Decoder Text Are; frame 3: letter 9 (unknown code) not copied"));
    f->dlg->findChild<QMenuBar*>()->actions()[1]->menu()->actions()[1]->menu()->actions()[1]->trigger();  // PDA Status
    f->dlg->pasteDecoderText(text);
    QCOMPARE(f->input("pda")->text(), QStringLiteral("8A5C3E1F"));
    QCOMPARE(f->log().count('\n'), 5);
    QSettings().clear();
  }

  // A recording's frames are checked as heard, timed from the start its SatNOGS name gives.
  void openRecordingChecksEveryFrameHeard() {
    testsupport::SignalSpec beacon;
    beacon.snrDb = 10;
    const QString path = f->folder.filePath(QStringLiteral("satnogs_42_2026-12-07T03-10-00.wav"));
    QVERIFY(testsupport::writeSoundFile(
        path.toStdString(),
        testsupport::makeRecording(beacon, "TNGR 89D0A76820472FBCA7A01F | TNGR 8A5C3E1F").samples, 8000,
        0x010002));
    f->dlg->openRecordings({path, f->folder.filePath(QStringLiteral("none.wav"))});
    QTRY_VERIFY(f->dlg->statusLine()->currentMessage().startsWith(QStringLiteral("none.wav: 0 frames heard; ")));
    QVERIFY(f->box()->toPlainText().startsWith(QStringLiteral("Tanager CW House Keeping Status\nUTC : 2026/12/07 03:10:0")));
    QCOMPARE(f->input("hk")->text(), kHouseKeeping);
    QCOMPARE(f->log().count('\n'), 1);  // the 8-letter frame is not decoded unless the operator says what it is
  }

  void listeningChecksEveryFrameHeard_data() {
    QTest::addColumn<double>("clickHz");  // a tone chosen on the waterfall first (0: none)
    QTest::newRow("the tone found") << 0.0;
    QTest::newRow("another tone chosen") << 2000.0;
  }

  // Samples through the interface an audio input hands them over by: each frame heard is
  // checked as heard, its letters in its input, and the heard line shows what was heard.
  // A tone chosen on the waterfall is the only one followed, and is marked at once.
  void listeningChecksEveryFrameHeard() {
    QFETCH(double, clickHz);
    SamplePipe samples;
    testsupport::SignalSpec beacon;
    beacon.snrDb = 10;
    const auto recording = testsupport::makeRecording(beacon, "DE TNGR 89D0A76820472FBCA7A01F");
    f->dlg->listenTo(&samples, SamplePipe::format());
    QVERIFY(f->dlg->listenPanel()->isVisible());
    Waterfall* waterfall = f->dlg->listenPanel()->waterfall();
    samples.writeRecording(recording.samples, [&](std::size_t at) {
      if (at == 8000 && clickHz > 0)  // the waterfall spans 0-3,000 Hz
        QTest::mouseClick(waterfall, Qt::LeftButton, {},
                          QPoint(qRound(clickHz / 3000 * waterfall->width()), 5));
    });
    if (clickHz > 0) {
      QVERIFY(qAbs(waterfall->toneHz() - clickHz) < 30);
      f->dlg->stopListening();
      QCOMPARE(f->log().count('\n'), 0);
      return;
    }
    QVERIFY(qAbs(waterfall->toneHz() - beacon.toneHz) < 10);
    f->dlg->stopListening();
    QCOMPARE(f->input("hk")->text(), kHouseKeeping);
    QVERIFY(f->box()->toPlainText().startsWith(QStringLiteral("Tanager CW House Keeping Status")));
    QCOMPARE(f->log().count('\n'), 1);
    QVERIFY(f->dlg->statusLine()->currentMessage().startsWith(QStringLiteral("Heard a frame at ")));
    QCOMPARE(f->dlg->listenPanel()->heardText(), QStringLiteral("DE TNGR 89D0A76820472FBCA7A01F"));
    QVERIFY(!f->dlg->listenPanel()->isVisible());
  }

  void hintFollowsEveryKey() {
    for (const FrameRule* frame : allFrames()) {
      auto* hint = f->dlg->findChild<QLabel*>(hintName(controlsOf(*frame)->input));
      // Whole, in the room it has: a mark, a wrong letter, the beacon word; only two at once
      // (a mark and an invalid letter, one letter too many, which the guard cuts) may end in "...".
      QStringList typed{QStringLiteral("x0X") + QString(frame->letters - 2, '0'), QStringLiteral("tngr ") + QString(frame->letters - 5, '0')};
      for (int n = 0; n < int(frame->letters) * 3; ++n) typed << QString(frame->letters, '0').replace(n / 3, 1, QStringLiteral("xX ")[n % 3]);
      for (const QString& text : typed) {
        f->dlg->input(*frame)->setText(text);
        const LetterHint want = letterHint(*frame, f->dlg->input(*frame)->text().toStdString());
        const QString line = QString::fromStdString(want.line), shown = hint->text();
        QCOMPARE(hint->accessibleName(), line);
        QCOMPARE(hint->toolTip().toStdString(), want.detail);
        QVERIFY2(shown == line || (text == typed.front() && shown.endsWith(u" \u2026") && line.startsWith(shown.chopped(2))), qPrintable(shown));
        QVERIFY(hint->fontMetrics().boundingRect(hint->contentsRect(), Qt::TextWordWrap, shown).height() <= hint->contentsRect().height());
      }
    }
  }

  // The warning's red stands out 4.5:1 from the window in a light and a dark palette and
  // under a style sheet, each set while the dialog runs.
  void hintReadsInEveryLook() {
    QCOMPARE(std::pair(qRound(contrast(Qt::white, Qt::black) * 100), qRound(contrast(QColor(0x77, 0x77, 0x77), QColor(0x00, 0x00, 0xff)) * 100)), std::pair(2100, 192));  // as the accessibility guidelines reckon them
    f->input("sat")->setText(QStringLiteral("89D0X768"));
    auto* hint = f->dlg->findChild<QLabel*>(hintName(controlsOf(*frameNamed("sat"))->input));
    for (auto [window, styleSheet] : {std::pair{QColor(0xef, 0xef, 0xef), ""}, {QColor(0x2b, 0x2b, 0x2b), ""}, {QColor(0xef, 0xef, 0xef), "QLabel { color: #ddd } QDialog { background: #222 }"}}) {
      QApplication::setPalette(QPalette(window.lightness() < 128 ? Qt::white : Qt::black, window));
      qApp->setStyleSheet(QString::fromLatin1(styleSheet));
      const QImage shown = f->dlg->grab(QRect(hint->mapTo(f->dlg.get(), QPoint()), hint->size())).toImage();
      const QColor background = shown.pixelColor(shown.width() - 1, shown.height() - 1);
      QColor most = background;  // the text's colour: the pixel that stands out most
      for (int i = 0; i < shown.width() * shown.height(); ++i) most = std::max(most, shown.pixelColor(i % shown.width(), i / shown.width()), [&](const QColor& a, const QColor& b) { return contrast(a, background) < contrast(b, background); });
      QVERIFY2(contrast(most, background) >= 4.5 && most.red() > most.green() + 64, qPrintable(most.name() + background.name()));
    }
    qApp->setStyleSheet(QString());
    QApplication::setPalette(QPalette());
  }

  void recordSurvivesAKilledDialog() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--check-then-die"), f->folder.path()});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(f->log(), QByteArray::fromStdString(f->texts("hk", kHouseKeeping).record));
  }

  void fileMenu() {
    f->dlg->findChild<QMenuBar*>()->actions()[0]->menu()->actions()[6]->trigger();  // Keep a Log: off
    f = std::make_unique<Fixture>();  // remembered
    f->check("pda", QStringLiteral("8A5C3E1F"));
    QVERIFY(!QFile::exists(f->dlg->logPath()));
    QSettings().clear();
  }

  // The log is told once and the reports go on; a save or an export is all or nothing:
  // an earlier file of its name is kept unless the whole new one is on the disk.
  void faultsAreToldAndLoseNothing_data() {
    QTest::addColumn<QString>("folder");  // empty: the fixture's
    QTest::addColumn<bool>("fifo");       // at the log's path, read by nothing
    QTest::addColumn<int>("room");        // bytes a file may take; 0: no limit
    QTest::addColumn<QString>("logError");
    QTest::addColumn<QString>("saveError");
    QTest::newRow("all well") << "" << false << 0 << "" << "";
    QTest::newRow("read-only") << "/proc/quillon" << false << 0 << "No such file or directory" << "No such file or directory";
    QTest::newRow("FIFO") << "" << true << 0 << "not a regular file" << "";
    QTest::newRow("nearly full disk") << "" << false << 100 << "" << "File too large";  // the log's: core tests
  }
  void faultsAreToldAndLoseNothing() {
    QFETCH(QString, folder);
    QFETCH(bool, fifo);
    QFETCH(int, room);
    QFETCH(QString, logError);
    QFETCH(QString, saveError);
    f = std::make_unique<Fixture>(folder);
    if (fifo) QCOMPARE(::mkfifo(QFile::encodeName(f->dlg->logPath()), 0600), 0);
    const QString text = (folder.isEmpty() ? f->folder.path() : folder) + "/results.txt", png = text + ".png";
    for (const QString& path : {text, png}) std::ofstream(path.toStdString()) << "73";
    const QByteArray earlier = contents(text);
    TelemetryChart* chart = f->dlg->showChart();
    QTRY_COMPARE(chart->note(), fifo ? "checks.jsonl: not read (not a regular file)" : "");
    f->box()->insertPlainText(QString::fromUtf8("\xE6\x9D\xB1\xE4\xBA\xAC 73"));
    for (int i = 0; i < 2; ++i) f->check("sat", "89D0A768");
    QVERIFY(f->box()->toPlainText().endsWith(QString::fromStdString(f->texts("sat", "89D0A768").report).repeated(2)));
    const FileSizeLimit limit(room ? room : RLIM_INFINITY);
    QCOMPARE(std::pair(f->dlg->saveResults(text), chart->exportPng(png)), std::pair(saveError.isEmpty(), saveError.isEmpty()));
    QCOMPARE(contents(text), saveError.isEmpty() ? f->box()->toPlainText().toUtf8() : earlier);
    QCOMPARE(saveError.isEmpty() ? QImage(png).isNull() : contents(png) != earlier, false);
    std::vector<Box> told;
    if (!logError.isEmpty()) told.push_back({"Quillon", QString::fromStdString(logFailureText(f->dlg->logPath().toStdString(), logError.toStdString()))});
    if (!saveError.isEmpty()) told.push_back({"Quillon", "The results could not be saved: " + text + " (" + saveError + ")."});
    QCOMPARE(f->boxes, told);
    QCOMPARE(chart->findChild<QLabel*>("note")->text(),
             saveError.isEmpty() ? chart->note() : "The chart could not be exported: " + png + " (" + saveError + ").");
  }

  void chartReadsLogsSkipsMalformedLinesFollowsChecks() {
    f->check("hk", kHouseKeeping);  // in the log before the chart opens
    QFile file(f->folder.filePath(QStringLiteral("decoded.jsonl")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    f->now->utc.hour = 15;
    file.write(QByteArray::fromStdString(f->texts("hk", kHouseKeeping).record) + "{oops\n\n[]\n");
    file.close();
    TelemetryChart* chart = f->dlg->showChart();
    QSignalSpy read(chart, &TelemetryChart::fileRead);
    chart->openFile(file.fileName());
    QTRY_COMPARE(read.count(), 2);
    QCOMPARE(chart->note(),
             QStringLiteral("checks.jsonl: 1 record\ndecoded.jsonl: 1 record; 2 malformed lines skipped (lines 2, 4)"));
    const auto points = [chart] {
      const QList<QAbstractSeries*> shown = chart->findChild<QChartView*>()->chart()->series();
      return shown.size() == 1 ? static_cast<QLineSeries*>(shown[0])->count() : -1;
    };
    QCOMPARE(points(), 2);
    chart->openFile(file.fileName());  // read again: in place of its first read
    QTRY_COMPARE(read.count(), 3);
    QCOMPARE(points(), 2);
    f->check("hk", QStringLiteral("0000000000000000000000"));
    QCOMPARE(points(), 3);
    QVERIFY(chart->note().endsWith(QStringLiteral("(lines 2, 4)\nnew checks: 1 record")));
  }

  void chartZoomsTitlesAnAxisAUnitAndFollowsThePalette() {
    TelemetryChart* chart = f->dlg->showChart();
    auto* empty = chart->findChild<QLabel*>(QStringLiteral("emptyChart"));
    QVERIFY(empty->isVisible() && empty->text() == chart->message() && !chart->message().isEmpty());
    for (int minute : {0, 30}) {
      f->now->utc.minute = minute;
      f->check("hk", kHouseKeeping);
      f->check("sat", QStringLiteral("8A5C3E1F"));
    }
    chart->findChild<QListWidget*>()
        ->findItems(QStringLiteral("the number of pictures"), Qt::MatchExactly)[0]
        ->setCheckState(Qt::Checked);
    auto* view = chart->findChild<QChartView*>();
    QStringList titles;
    for (QAbstractAxis* axis : view->chart()->axes()) titles << axis->titleText();
    QCOMPARE(titles, QStringList({"UTC", "[V]", "count"}));
    QVERIFY(!empty->isVisible());
    const auto span = [view] {
      const auto* time = static_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).at(0));
      return time->max() - time->min();
    };
    const double all = span();
    const QRectF area = view->chart()->plotArea();
    const QPoint from = view->mapFromScene(area.topLeft() + QPointF(area.width() / 4, 10));
    const QPoint to = view->mapFromScene(area.bottomRight() - QPointF(area.width() / 4, 10));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view->viewport(), to);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    QTRY_VERIFY(std::abs(span() / all - 0.5) < 0.01);
    QWheelEvent wheel(to, view->viewport()->mapToGlobal(QPointF(to)), {}, {0, 120}, {}, {}, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QCOMPARE(std::round(span() / all * 100), 40);  // each notch in by a fifth
    QTest::mouseClick(chart->findChild<QPushButton*>(QStringLiteral("resetZoom")), Qt::LeftButton);
    QCOMPARE(span(), all);
    chart->resize(chart->minimumSizeHint());  // the start and the end still whole
    const auto times = [view] {
      QStringList shown;
      for (QGraphicsItem* item : view->scene()->items()) {
        const auto* label = dynamic_cast<QGraphicsTextItem*>(item);
        if (label && label->isVisible() && label->toPlainText().contains('/')) shown << label->toPlainText();
      }
      return shown;
    };
    QTRY_VERIFY2(times().size() >= 2 && times().filter(QStringLiteral("...")).isEmpty(),
                 qPrintable(times().join(", ")));
    chart->setPalette(QPalette(Qt::white, QColor(0x20, 0x20, 0x20)));
    QCOMPARE(view->chart()->theme(), QChart::ChartThemeDark);
  }

  void clockPanelTicksAndCopies() {
    QCOMPARE(f->clock(kJulianDateField), QString());  // until the first tick
    *f->now = {{2008, 6, 15, 12, 4, 5, 678}, {2008, 6, 15, 3, 4, 5, 678}};
    QTRY_COMPARE(f->clock(kJulianDateField), QStringLiteral("2454632.6278435"));
    QCOMPARE(f->clock(kUtcField), QStringLiteral("2008/06/15 03:04:05"));
    QCOMPARE(f->clock(kLocalTimeField), QStringLiteral("2008/06/15 12:04:05"));
    ClockField* jd = f->dlg->clockField(kJulianDateField);
    const QImage unselected = jd->grab().toImage();
    // A drag from the left edge to the decimal point selects the days.
    const QPoint dot(2 + QFontMetrics(jd->font()).horizontalAdvance(QStringLiteral("2454632")), jd->height() / 2);
    QTest::mousePress(jd, Qt::LeftButton, {}, QPoint(0, dot.y()));
    QTest::mouseMove(jd, dot);
    QTest::mouseRelease(jd, Qt::LeftButton, {}, dot);
    QCOMPARE(jd->selectedText(), QStringLiteral("2454632"));
    QTest::mouseClick(f->dlg->clockField(kUtcField), Qt::LeftButton);  // the selection leaves with the focus
    QCOMPARE(jd->grab().toImage(), unselected);
    QTest::mouseDClick(jd, Qt::LeftButton);  // all selected, then the clock moves on
    QVERIFY(jd->grab().toImage() != unselected);
    f->now->utc.millisecond = 999;
    QTRY_COMPARE(f->clock(kJulianDateField), QStringLiteral("2454632.6278472"));
    // A tick draws straight into the window: there the field is as a full paint draws it.
    const QRect at(jd->mapTo(f->dlg.get(), QPoint()), jd->size());
    const QImage shown = f->dlg->screen()->grabWindow(f->dlg->winId(), at.x(), at.y(), at.width(), at.height()).toImage();
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), jd->grab().toImage().convertToFormat(QImage::Format_RGB32));
    f->now->utc.year = 2150;  // outside the calendar: the times still show
    QTRY_COMPARE(f->clock(kJulianDateField), QStringLiteral("unavailable"));
    QCOMPARE(f->clock(kUtcField), QStringLiteral("2150/06/15 03:04:05"));
    QTest::keySequence(jd, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("unavailable"));
  }

  void cursorRestsWithoutKeysAndBlinksAgainOnOne() {
    const int desktops = QApplication::cursorFlashTime();
    QVERIFY(desktops > 0);
    {
      CursorRest rest(std::chrono::milliseconds(30));
      QTRY_COMPARE(QApplication::cursorFlashTime(), 0);
      QTest::keyClick(f->input("hk"), Qt::Key_A);
      QCOMPARE(QApplication::cursorFlashTime(), desktops);
      QTRY_COMPARE(QApplication::cursorFlashTime(), 0);
    }
    QCOMPARE(QApplication::cursorFlashTime(), desktops);
  }

  void enterEscapeAndExit() {
    f->input("hk")->setText(kHouseKeeping);
    for (int id : {kHouseKeepingInput, kHouseKeepingButton, kResultBox, kUtcField}) {
      for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(f->dlg->control(id), key);
    }
    QVERIFY(f->dlg->isVisible());
    QVERIFY(f->box()->toPlainText().isEmpty());
    QTimer::singleShot(0, [this] { f->dlg->findChild<QAction*>(QStringLiteral("id32771"))->trigger(); });
    QCOMPARE(f->dlg->exec(), int(QDialog::Accepted));
    QTimer::singleShot(0, [this] { f->dlg->close(); });
    QCOMPARE(f->dlg->exec(), int(QDialog::Rejected));
  }

  void realModalBox() {
    f = std::make_unique<Fixture>(QString(), true);
    f->check("sat", QStringLiteral("89D0"));  // a box of the dialog's, no icon: "."
    QCOMPARE(std::exchange(f->strayWindows, {}), QStringList{"Invalidate: Please input 8 Letters."});
  }

  // Every control where its row puts it [dialog units]; a static text may only grow to hold
  // its text, to the left where the control it names leaves no room, and a clock field's
  // label stands on its field's rows. A larger window's room goes to the result box.
  void layoutFollowsTheTemplate() {
    const QSize design = f->pixels(0, 0, 470, mainDialogTemplate().height).size() +
                         QSize(0, f->dlg->findChild<QMenuBar*>()->height() + f->dlg->statusLine()->height());
    QCOMPARE(f->dlg->size(), design);
    for (QSize extra : {QSize(0, 0), QSize(130, 90), QSize(-40, -30)}) {
      const QSize room = extra.expandedTo(QSize(0, 0));
      f->dlg->resize(design + extra);
      QTRY_COMPARE(f->dlg->size(), design + room);
      QList<QLabel*> labels = f->dlg->findChildren<QLabel*>();
      QList<QGroupBox*> groups = f->dlg->findChildren<QGroupBox*>();
      for (const ControlTemplate& row : mainDialogTemplate().controls) {
        QRect want = f->pixels(row.x, row.y, row.width, row.height);
        // The result box and its box grow; below them, controls move down and boxes widen.
        want.adjust(0, 0, row.follow == Follow::Grows || row.follow == Follow::GrowsBelow ? room.width() : 0, row.follow == Follow::Grows ? room.height() : 0);
        if (row.follow == Follow::MovesDown || row.follow == Follow::GrowsBelow) want.translate(0, room.height());
        QWidget* w = row.id != kNoId ? f->dlg->control(row.id)
                     : row.kind == ControlKind::GroupBox ? static_cast<QWidget*>(groups.takeFirst())
                                                         : labels.takeFirst();
        if (auto* clock = f->dlg->clockField(row.labelFor)) want.setCoords(want.left(), clock->y(), want.right(), clock->geometry().bottom());
        const bool grows = row.kind == ControlKind::Label || row.kind == ControlKind::Hint;
        QVERIFY2(!grows ? w->geometry() == want
                        : w->y() == want.y() && w->height() == want.height() && w->width() >= want.width() &&
                              w->x() <= want.x() && w->x() >= want.x() - f->pixels(0, 0, 8, 0).width(),
                 row.text.data());
    }
    }
  }

  void nothingClippedNothingOverlaps() {
    QList<QWidget*> placed;
    for (QLabel* l : f->dlg->findChildren<QLabel*>()) {
      if (!l->isVisibleTo(f->dlg.get())) continue;  // the heard line shows while listening only
      QVERIFY2(l->wordWrap() || textWidth(l, l->text()) <= l->contentsRect().width(), qPrintable(l->text()));  // hints: hintFollowsEveryKey
      QVERIFY2(l->fontMetrics().height() <= l->contentsRect().height(), qPrintable(l->text()));
      placed << l;
    }
    for (QPushButton* b : f->dlg->findChildren<QPushButton*>()) QVERIFY(textWidth(b, b->text()) + 8 <= b->width());
    QCOMPARE(f->box()->document()->defaultFont(), f->dlg->font());  // reports in the dialog's font
    for (int id : {int{kLocalTimeField}, int{kUtcField}, int{kJulianDateField}, 1006}) {  // longest texts, with margins
      QVERIFY(textWidth(f->dlg->control(id), QStringLiteral("2008/06/15 12:04:05")) + 8 <= f->dlg->control(id)->width());
    }
    for (int id = 1001; id <= 1012; ++id) placed << f->dlg->control(id);
    const QList<QGroupBox*> groups = f->dlg->findChildren<QGroupBox*>();
    QVERIFY(groups.size() == 2 && !groups[0]->geometry().intersects(groups[1]->geometry()));
    for (qsizetype i = 0; i < placed.size(); ++i) {
      const QRect at = placed[i]->geometry();
      QVERIFY(std::any_of(groups.begin(), groups.end(), [&](QGroupBox* g) { return g->geometry().contains(at); }));
      for (qsizetype j = i + 1; j < placed.size(); ++j) QVERIFY(!at.intersects(placed[j]->geometry()));
    }
  }

  void tabOrderNamesAndMenus() {
    QCOMPARE(QApplication::focusWidget(), f->dlg->control(1012));
    for (int id : {1012, 1011, 1001, 1002, 1004, 1005, 1006, 1007, 1003, 1008, 1009, 1010}) {
      QCOMPARE(QApplication::focusWidget()->objectName(), controlName(id));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList names;  // each input its label's, each button its frame's
    for (int id : {1012, 1011, 1001, 1002, 1004, 1005, 1006, 1007, 1003}) names << f->dlg->control(id)->accessibleName();
    QCOMPARE(names.join('|'), QStringLiteral("House Keeping: TNGR|Check ! (House Keeping: TNGR)|Satellite Status|"
                                             "Check ! (Satellite Status)|PDA Status|Check ! (PDA Status)|Sat. + PDA "
                                             "Status|Check ! (Sat. + PDA Status)|CW Analysis Result"));
    QCOMPARE(f->dlg->windowTitle(), QStringLiteral("Tanager II Quillon (Ver.0.5)"));
    QVERIFY(!(f->dlg->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QStringList items;
    for (QAction* menu : f->dlg->findChild<QMenuBar*>()->actions()) {
      items << menu->text();
      for (QAction* item : menu->menu()->actions()) items << item->text();
    }
    QCOMPARE(items.join('|'),
             QStringLiteral("&File|Open &Recording...|&Listen|Listen &To||&Save Results As...|Open &Log Folder|&Keep a Log||E&xit|&Edit|&Paste Decoder Text|"
                            "&Eight Letters in Decoder Text Are|&View|&Telemetry Chart"));
  }
};

// The child of recordSurvivesAKilledDialog: one check, then killed at once.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc == 3 && qstrcmp(argv[1], "--check-then-die") == 0) {
    Fixture f(QString::fromLocal8Bit(argv[2]));
    f.check("hk", kHouseKeeping);
    std::raise(SIGKILL);
  }
  DialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "dialog_test.moc"
