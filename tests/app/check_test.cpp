// The operator's side of the dialog: checks, guards, boxes, undo, the log, saving, the
// live hints, the chart, keys and exit.
#include <QClipboard>
#include <QLabel>
#include <QChartView>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QProcess>
#include <QScrollBar>
#include <QSettings>
#include <csignal>

#include "clock_field.h"
#include "core/hint.h"
#include "dialog_support.h"
#include "telemetry_chart.h"

using namespace quillon;
using namespace quillon::app;
using test::ShownBox;

namespace {
const QString kHouseKeeping = QStringLiteral("89D0A76820472FBCA7A01F");
}

class CheckTest : public QObject {
  Q_OBJECT
  std::unique_ptr<test::DialogFixture> f;

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
  }
  void init() { f = std::make_unique<test::DialogFixture>(); }
  void cleanup() {
    QVERIFY2(f->watchdog.unexpected.isEmpty(), qPrintable(f->watchdog.unexpected.join(", ")));
    f.reset();
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(), [](QWidget* w) { return w->isVisible(); }));
  }

  void checkAppendsReportAndLogsRecord_data() {
    QTest::addColumn<FrameKind>("kind");
    QTest::addColumn<int>("inputId");
    QTest::addColumn<QString>("letters");
    QTest::newRow("house keeping") << FrameKind::HouseKeeping << int(kHouseKeepingInput) << "89D0xx6820x72FxxA7Ax1F";
    QTest::newRow("satellite") << FrameKind::Satellite << int(kSatelliteInput) << "89D0A768";
    QTest::newRow("PDA") << FrameKind::Pda << int(kPdaInput) << "8A5C3E1F";
    QTest::newRow("combined") << FrameKind::SatellitePda << int(kSatellitePdaInput) << "000000008A5C3E1F";
  }
  void checkAppendsReportAndLogsRecord() {
    QFETCH(FrameKind, kind);
    QFETCH(int, inputId);
    QFETCH(QString, letters);
    QTest::keyClicks(f->input(inputId), letters);
    QTest::mouseClick(f->dlg->control(inputId == kHouseKeepingInput ? kHouseKeepingButton : inputId + 1), Qt::LeftButton);
    const CheckTexts first = f->clock.texts(kind, letters);
    f->clock.now->utc.second += 1;
    f->check(inputId, letters);
    const CheckTexts second = f->clock.texts(kind, letters);
    QVERIFY(first.report != second.report);
    QCOMPARE(f->box()->toPlainText(), QString::fromStdString(first.report + second.report));
    QCOMPARE(f->log(), QByteArray::fromStdString(first.record + second.record));
    QCOMPARE(f->box()->verticalScrollBar()->value(), f->box()->verticalScrollBar()->maximum());
    QCOMPARE(f->input(inputId)->text(), letters);  // kept for a correction and a second check
    QVERIFY(f->boxes.shown.empty());
  }

  void undoNeverTakesAReport() {
    QTest::keyClicks(f->box(), QStringLiteral("heard by JA1ABC"));
    QTextCursor caret = f->box()->textCursor();
    caret.setPosition(5);
    f->box()->setTextCursor(caret);
    std::string reports;
    for (const char* frame : {"89D0A76820472FBCA7A01F", "89D0xx6820x72FxxA7Ax1F", "0123456789abcdefABCDEF"}) {
      f->check(kHouseKeepingInput, QString::fromLatin1(frame));
      reports += f->clock.texts(FrameKind::HouseKeeping, QString::fromLatin1(frame)).report;
    }
    QCOMPARE(f->box()->textCursor().position(), 5);  // the operator's caret stays put
    QTest::keyClicks(f->box(), QStringLiteral("!"));
    for (int i = 0; i < 10; ++i) QTest::keySequence(f->box(), QKeySequence::Undo);
    QCOMPARE(f->box()->toPlainText(), QStringLiteral("heard by JA1ABC") + QString::fromStdString(reports));
  }

  void boxesOfTheGuardsAndChecks_data() {
    QTest::addColumn<int>("inputId");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("click");
    QTest::addColumn<QString>("after");
    QTest::addColumn<ShownBox>("box");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    QTest::newRow("21 letters") << int(kHouseKeepingInput) << kHouseKeeping.left(21) << true << kHouseKeeping.left(21)
                                << ShownBox{"Invalidate", "Please input 22 Letters"};
    QTest::newRow("empty PDA") << int(kPdaInput) << "" << true << "" << ShownBox{"Invalidate", "Please input 8 Letters"};
    QTest::newRow("15 letters") << int(kSatellitePdaInput) << "000000008A5C3E1" << true << "000000008A5C3E1"
                                << ShownBox{"Invalidate", "Please input 16 Letters"};
    QTest::newRow("23 letters") << int(kHouseKeepingInput) << kHouseKeeping + "Z" << false << kHouseKeeping
                                << ShownBox{"Quillon", "Over 22 letters!"};
    QTest::newRow("emoji across the cut") << int(kHouseKeepingInput) << kHouseKeeping.left(21) + emoji + "Z" << false
                                          << kHouseKeeping.left(21) + emoji << ShownBox{"Quillon", "Over 22 letters!"};
    QTest::newRow("9 letters") << int(kSatelliteInput) << "89D0A7689" << false << "89D0A768"
                               << ShownBox{"Quillon", "Over 8 letters!"};
  }
  void boxesOfTheGuardsAndChecks() {
    QFETCH(int, inputId);
    QFETCH(QString, typed);
    QFETCH(bool, click);
    QFETCH(QString, after);
    QFETCH(ShownBox, box);
    QTest::keyClicks(f->box(), QStringLiteral("note"));
    QApplication::clipboard()->setText(typed);
    f->input(inputId)->setFocus();
    QTest::keySequence(f->input(inputId), QKeySequence::Paste);
    if (click) QTest::mouseClick(f->dlg->control(inputId == kHouseKeepingInput ? 1011 : inputId + 1), Qt::LeftButton);
    QCOMPARE(f->boxes.shown, std::vector<ShownBox>{box});
    QCOMPARE(f->input(inputId)->text(), after);
    QCOMPARE(f->box()->toPlainText(), QStringLiteral("note"));
    QVERIFY(f->log().isEmpty());
  }

  void hintFollowsEveryKey_data() {
    QTest::addColumn<FrameKind>("kind");
    QTest::addColumn<int>("inputId");
    QTest::addColumn<QString>("typed");
    QTest::newRow("typing") << FrameKind::HouseKeeping << int(kHouseKeepingInput) << "89D0A7682047";
    QTest::newRow("invalid letter, elided") << FrameKind::HouseKeeping << int(kHouseKeepingInput) << "TNGR 89D0A76820472FBCA";
    QTest::newRow("combined") << FrameKind::SatellitePda << int(kSatellitePdaInput) << "0000x";
    QTest::newRow("cut by the guard") << FrameKind::Satellite << int(kSatelliteInput) << "89D0X7689";
  }
  void hintFollowsEveryKey() {
    QFETCH(FrameKind, kind);
    QFETCH(int, inputId);
    QFETCH(QString, typed);
    auto* hint = f->dlg->findChild<QLabel*>(hintName(inputId));
    QCOMPARE(hint->accessibleName().toStdString(), letterHint(kind, "").line);
    QTest::keyClicks(f->input(inputId), typed);
    const LetterHint want = letterHint(kind, f->input(inputId)->text().toStdString());
    QCOMPARE(hint->accessibleName().toStdString(), want.line);
    QCOMPARE(hint->toolTip().toStdString(), want.detail);
    QVERIFY(hint->fontMetrics().horizontalAdvance(hint->text()) <= hint->contentsRect().width());
    QVERIFY(QString::fromStdString(want.line).startsWith(hint->text().chopped(1)));
  }

  void unwritableLogIsToldOnce_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only folder") << "/proc/quillon" << "No such file or directory";
    QTest::newRow("full disk") << "" << "No space left on device";
  }
  void unwritableLogIsToldOnce() {
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    f = std::make_unique<test::DialogFixture>(folder);
    if (folder.isEmpty()) QVERIFY(QFile::link(QStringLiteral("/dev/full"), f->dlg->logPath()));
    f->check(kSatelliteInput, QStringLiteral("89D0A768"));
    f->check(kSatelliteInput, QStringLiteral("89D0A768"));
    const std::string text = logFailureText(f->dlg->logPath().toStdString(), reason.toStdString());
    QCOMPARE(f->boxes.shown, (std::vector<ShownBox>{{"Quillon", QString::fromStdString(text)}}));
    QCOMPARE(f->box()->toPlainText(), QString::fromStdString(f->clock.texts(FrameKind::Satellite, "89D0A768").report).repeated(2));
  }

  void recordSurvivesAKilledDialog() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--check-then-die"), f->folder.path()});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(f->log(), QByteArray::fromStdString(f->clock.texts(FrameKind::HouseKeeping, kHouseKeeping).record));
  }

  void keepingALogIsRemembered() {
    QAction* keep = f->dlg->findChild<QMenuBar*>()->actions()[0]->menu()->actions()[2];
    QVERIFY(keep->isChecked());
    keep->trigger();
    f = std::make_unique<test::DialogFixture>();
    f->check(kPdaInput, QStringLiteral("8A5C3E1F"));
    QVERIFY(!QFile::exists(f->dlg->logPath()));
    QSettings().clear();
  }

  void savesTheBoxAsUtf8() {
    f->box()->insertPlainText(QString::fromUtf8("\xE6\x9D\xB1\xE4\xBA\xAC 73"));
    f->check(kHouseKeepingInput, kHouseKeeping);
    const QString path = f->folder.filePath(QStringLiteral("results.txt"));
    QVERIFY(f->dlg->saveResults(path));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), f->box()->toPlainText().toUtf8());
    QVERIFY(!f->dlg->saveResults(QStringLiteral("/proc/quillon/results.txt")));
    QCOMPARE(f->boxes.shown.size(), std::size_t{1});
  }

  void chartReadsLogsSkipsMalformedLinesFollowsChecks() {
    f->check(kHouseKeepingInput, kHouseKeeping);  // in the log before the chart opens
    const QString file = f->folder.filePath(QStringLiteral("decoded.jsonl"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    f->clock.now->utc.hour = 15;
    out.write(QByteArray::fromStdString(f->clock.texts(FrameKind::HouseKeeping, kHouseKeeping).record) + "{oops\n\n[]\n");
    out.close();
    TelemetryChart* chart = f->dlg->showChart();
    QSignalSpy read(chart, &TelemetryChart::fileRead);
    chart->openFile(file);
    QTRY_COMPARE(read.count(), 2);
    QCOMPARE(chart->note(), QStringLiteral("checks.jsonl: 1 record\ndecoded.jsonl: 1 record; 2 malformed lines skipped (lines 2, 4)"));
    const auto points = [chart] {
      const QList<QAbstractSeries*> shown = chart->findChild<QChartView*>()->chart()->series();
      return shown.size() == 1 ? static_cast<QLineSeries*>(shown[0])->count() : -1;
    };
    QCOMPARE(points(), 2);
    f->check(kHouseKeepingInput, QStringLiteral("0000000000000000000000"));
    QCOMPARE(points(), 3);
    QVERIFY(chart->exportPng(f->folder.filePath(QStringLiteral("chart.png"))));
    QVERIFY(!QImage(f->folder.filePath(QStringLiteral("chart.png"))).isNull());
  }

  void julianDateCopiesWhileItTicks() {
    auto* jd = f->dlg->control<ClockField>(kJulianDateField);
    QTRY_VERIFY(!jd->text().isEmpty());
    QTest::mouseDClick(jd, Qt::LeftButton);
    const QString before = jd->text();
    f->clock.now->utc.minute += 1;
    QTRY_VERIFY(jd->text() != before);
    QTest::keySequence(jd, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), jd->text());
  }

  void enterAndEscapeDoNothing_data() {
    QTest::addColumn<int>("focusId");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in the input") << int(kHouseKeepingInput) << int(Qt::Key_Return);
    QTest::newRow("keypad Enter on the button") << int(kHouseKeepingButton) << int(Qt::Key_Enter);
    QTest::newRow("Enter in the result box") << int(kResultBox) << int(Qt::Key_Return);
    QTest::newRow("Escape on a clock field") << int(kUtcField) << int(Qt::Key_Escape);
  }
  void enterAndEscapeDoNothing() {
    QFETCH(int, focusId);
    QFETCH(int, key);
    f->input(kHouseKeepingInput)->setText(kHouseKeeping);
    QTest::keyClick(f->dlg->control(focusId), Qt::Key(key));
    QTest::qWait(10);
    QVERIFY(f->dlg->isVisible());
    QVERIFY(f->box()->toPlainText().isEmpty());
  }

  void exitEndsTheDialog_data() {
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<int>("result");
    QTest::newRow("File > Exit") << true << int(QDialog::Accepted);
    QTest::newRow("close box") << false << int(QDialog::Rejected);
  }
  void exitEndsTheDialog() {
    QFETCH(bool, viaMenu);
    QFETCH(int, result);
    QTimer::singleShot(0, f->dlg.get(), [this, viaMenu] {
      viaMenu ? f->dlg->findChild<QAction*>(QStringLiteral("id32771"))->trigger() : void(f->dlg->close());
    });
    QCOMPARE(f->dlg->exec(), result);
  }

  void realModalBox() {
    f->dlg = std::make_unique<CQuillonDlg>(DialogSeams{f->clock.source(), nullptr, f->folder.path()});
    f->dlg->show();
    std::optional<ShownBox> seen;
    f->watchdog.expect = [&](QMessageBox* box) {
      seen = ShownBox{box->windowTitle(), box->text()};
      QCOMPARE(box->icon(), QMessageBox::NoIcon);
      QCOMPARE(box->parentWidget(), f->dlg.get());
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    };
    f->check(kSatelliteInput, QStringLiteral("89D0"));
    QCOMPARE(seen, (ShownBox{"Invalidate", "Please input 8 Letters"}));
  }
};

// The child of recordSurvivesAKilledDialog: one check, then killed at once.
int checkThenDie(int argc, char** argv) {
  QApplication app(argc, argv);
  test::DialogFixture f(QString::fromLocal8Bit(argv[2]));
  f.check(kHouseKeepingInput, kHouseKeeping);
  std::raise(SIGKILL);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && qstrcmp(argv[1], "--check-then-die") == 0) return checkThenDie(argc, argv);
  QApplication app(argc, argv);
  CheckTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "check_test.moc"
