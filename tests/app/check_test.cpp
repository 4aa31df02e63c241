// The operator's side of the dialog: typing, checking, guards, the result box, keys, exit.
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "dialog_support.h"
#include "dialog_template.h"

using namespace quillon;
using namespace quillon::app;
using quillon::test::ShownBox;

namespace {

const QString kHouseKeeping = QStringLiteral("89D0A76820472FBCA7A01F");

bool hasHalfSurrogate(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
    } else if (text[i].isSurrogate()) {
      return true;
    }
  }
  return false;
}

}  // namespace

class CheckTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ModalWatchdog> watchdog;
  std::unique_ptr<test::RecordingMessageBoxes> boxes;
  test::ManualClock clock;
  std::unique_ptr<CQuillonDlg> dlg;

  QLineEdit* input(int id) const { return dlg->control<QLineEdit>(id); }
  QPlainTextEdit* resultBox() const { return dlg->control<QPlainTextEdit>(kResultBox); }
  void showDialog() {
    dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
  }

 private slots:
  void init() {
    watchdog = std::make_unique<test::ModalWatchdog>();
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    clock = {};
    dlg = std::make_unique<CQuillonDlg>(DialogSeams{clock.source(), boxes.get()});
    showDialog();
  }

  void cleanup() {
    dlg.reset();
    QVERIFY2(watchdog->unexpected.isEmpty(), qPrintable(watchdog->unexpected.join(", ")));
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(),
                         [](QWidget* w) { return w->isVisible(); }));
  }

  void fullCheck_data() {
    QTest::addColumn<FrameKind>("kind");
    QTest::addColumn<int>("inputId");
    QTest::addColumn<int>("buttonId");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("knownLine");  // from the worked examples
    QTest::newRow("house keeping") << FrameKind::HouseKeeping << int(kHouseKeepingInput)
                                   << int(kHouseKeepingButton) << kHouseKeeping
                                   << "Temperature of battery is22.990 ['C]\n";
    QTest::newRow("house keeping, letters not copied")
        << FrameKind::HouseKeeping << int(kHouseKeepingInput) << int(kHouseKeepingButton)
        << "89D0xx6820x72FxxA7Ax1F" << "Voltage of 5V system is 5.025 [V]\n";
    QTest::newRow("satellite status") << FrameKind::Satellite << int(kSatelliteInput)
                                      << int(kSatelliteButton) << "89D0A768"
                                      << "The number of pictures are 41\n";
    QTest::newRow("PDA status") << FrameKind::Pda << int(kPdaInput) << int(kPdaButton)
                                << "8A5C3E1F" << "Image format is Windows bitmap\n";
    QTest::newRow("combined") << FrameKind::SatellitePda << int(kSatellitePdaInput)
                              << int(kSatellitePdaButton) << "000000008A5C3E1F"
                              << "FM packet interval(sec) is 1\n\nWDT status is enable\n";
  }

  void fullCheck() {
    QFETCH(FrameKind, kind);
    QFETCH(int, inputId);
    QFETCH(int, buttonId);
    QFETCH(QString, letters);
    QFETCH(QString, knownLine);

    QTest::keyClicks(input(inputId), letters);
    QTest::mouseClick(dlg->control(buttonId), Qt::LeftButton);
    const QString first = test::expectedReport(kind, letters, clock.source());
    QCOMPARE(resultBox()->toPlainText(), first);
    QVERIFY(first.contains(QStringLiteral("\nData = ") + letters + QStringLiteral("\n\n")));
    QVERIFY(first.contains(knownLine));
    QVERIFY(!first.contains(QLatin1Char('\r')));
    QCOMPARE(input(inputId)->text(), letters);  // kept for a correction and a second check

    // A second check, a second later: the first report stays, the new one follows it,
    // and the box shows the end.
    clock.now->utc.second += 1;
    clock.now->local.second += 1;
    QTest::mouseClick(dlg->control(buttonId), Qt::LeftButton);
    const QString second = test::expectedReport(kind, letters, clock.source());
    QVERIFY(first != second);
    QCOMPARE(resultBox()->toPlainText(), first + second);
    QScrollBar* bar = resultBox()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(boxes->shown.empty());
  }

  void wrongLength_data() {
    QTest::addColumn<int>("inputId");
    QTest::addColumn<int>("buttonId");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QString>("message");
    QTest::newRow("21 letters") << int(kHouseKeepingInput) << int(kHouseKeepingButton)
                                << kHouseKeeping.left(21) << "Please input 22 Letters";
    QTest::newRow("empty house keeping") << int(kHouseKeepingInput) << int(kHouseKeepingButton)
                                         << "" << "Please input 22 Letters";
    QTest::newRow("7 letters") << int(kSatelliteInput) << int(kSatelliteButton) << "89D0A76"
                               << "Please input 8 Letters";
    QTest::newRow("empty PDA") << int(kPdaInput) << int(kPdaButton) << ""
                               << "Please input 8 Letters";
    QTest::newRow("15 letters") << int(kSatellitePdaInput) << int(kSatellitePdaButton)
                                << "000000008A5C3E1" << "Please input 16 Letters";
  }

  void wrongLength() {
    QFETCH(int, inputId);
    QFETCH(int, buttonId);
    QFETCH(QString, letters);
    QFETCH(QString, message);

    QTest::keyClicks(resultBox(), QStringLiteral("operator note"));
    QTest::keyClicks(input(inputId), letters);
    QTest::mouseClick(dlg->control(buttonId), Qt::LeftButton);
    QCOMPARE(boxes->shown, (std::vector<ShownBox>{{QStringLiteral("Invalidate"), message}}));
    QCOMPARE(resultBox()->toPlainText(), QStringLiteral("operator note"));
    QCOMPARE(input(inputId)->text(), letters);
  }

  void guard_data() {
    QTest::addColumn<int>("inputId");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");   // typed key by key
    QTest::addColumn<QString>("pasted");  // pasted at once
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("message");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    QTest::newRow("23rd typed in the middle")
        << int(kHouseKeepingInput) << kHouseKeeping << 5 << "Z" << ""
        << "89D0AZ76820472FBCA7A01" << "Over 22 letters!";
    QTest::newRow("30 pasted") << int(kHouseKeepingInput) << "" << 0 << ""
                               << "0123456789ABCDEF0123456789ABCD"
                               << "0123456789ABCDEF012345" << "Over 22 letters!";
    QTest::newRow("emoji across the cut")
        << int(kHouseKeepingInput) << kHouseKeeping.left(21) << 21 << "" << emoji + "Z"
        << kHouseKeeping.left(21) + emoji << "Over 22 letters!";
    QTest::newRow("9th typed") << int(kSatelliteInput) << "89D0A768" << 8 << "9" << ""
                               << "89D0A768" << "Over 8 letters!";
    QTest::newRow("PDA pasted") << int(kPdaInput) << "" << 0 << "" << "8A5C3E1F00"
                                << "8A5C3E1F" << "Over 8 letters!";
    QTest::newRow("17th typed first") << int(kSatellitePdaInput) << "000000008A5C3E1F" << 0
                                      << "A" << "" << "A000000008A5C3E1" << "Over 16 letters!";
  }

  void guard() {
    QFETCH(int, inputId);
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(QString, message);

    QLineEdit* box = input(inputId);
    box->setText(before);
    box->setFocus();
    box->setCursorPosition(caret);
    if (!pasted.isEmpty()) {
      QApplication::clipboard()->setText(pasted);
      QTest::keySequence(box, QKeySequence::Paste);
    }
    QTest::keyClicks(box, typed);
    QCOMPARE(boxes->shown, (std::vector<ShownBox>{{QStringLiteral("Quillon"), message}}));
    QCOMPARE(box->text(), after);
    QVERIFY(!hasHalfSurrogate(box->text()));
  }

  void emojiIsOneInvalidLetter() {
    // 21 letters and an emoji make 22 characters: the check runs, and letter 22 being
    // invalid only the power lines go.
    const QString typed = kHouseKeeping.left(21) + QString::fromUtf8("\xF0\x9F\x98\x80");
    input(kHouseKeepingInput)->setText(typed);
    QTest::mouseClick(dlg->control(kHouseKeepingButton), Qt::LeftButton);
    QVERIFY(boxes->shown.empty());
    const QString text = resultBox()->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Data = ") + typed + QStringLiteral("\n")));
    QVERIFY(text.contains(QStringLiteral("Voltage of 3.3V system is 3.309 [V]\n")));
    QVERIFY(!text.contains(QStringLiteral("power is")));
  }

  void operatorTextStaysInFront() {
    QTest::keyClicks(resultBox(), QStringLiteral("heard at 14:05 by JA1ABC"));
    QTextCursor caret = resultBox()->textCursor();
    caret.setPosition(7);
    resultBox()->setTextCursor(caret);
    const QString before = resultBox()->toPlainText();

    QTest::keyClicks(input(kHouseKeepingInput), kHouseKeeping);
    QTest::mouseClick(dlg->control(kHouseKeepingButton), Qt::LeftButton);
    const QString report =
        test::expectedReport(FrameKind::HouseKeeping, kHouseKeeping, clock.source());
    // Exactly the old text, then the report: nothing moved, no separator added.
    QCOMPARE(resultBox()->toPlainText(), before + report);
    QCOMPARE(resultBox()->textCursor().position(), 7);
  }

  void copiesLines() {
    QTest::keyClicks(input(kHouseKeepingInput), kHouseKeeping);
    QTest::mouseClick(dlg->control(kHouseKeepingButton), Qt::LeftButton);
    resultBox()->setFocus();
    QTest::keySequence(resultBox(), QKeySequence::SelectAll);
    QTest::keySequence(resultBox(), QKeySequence::Copy);
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied, test::expectedReport(FrameKind::HouseKeeping, kHouseKeeping, clock.source()));
    QCOMPARE(copied.split(QLatin1Char('\n')).first(),
             QStringLiteral("Tanager CW House Keeping Status"));
    QCOMPARE(resultBox()->document()->blockCount(), copied.count(QLatin1Char('\n')) + 1);
  }

  void enterAndEscapeDoNothing_data() {
    QTest::addColumn<int>("focusId");
    QTest::addColumn<int>("key");
    QTest::newRow("Enter in the input") << int(kHouseKeepingInput) << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in the input") << int(kHouseKeepingInput) << int(Qt::Key_Enter);
    QTest::newRow("Enter on the button") << int(kHouseKeepingButton) << int(Qt::Key_Return);
    QTest::newRow("Enter in the result box") << int(kResultBox) << int(Qt::Key_Return);
    QTest::newRow("Escape in the input") << int(kHouseKeepingInput) << int(Qt::Key_Escape);
    QTest::newRow("Escape in the result box") << int(kResultBox) << int(Qt::Key_Escape);
    QTest::newRow("Escape on a clock field") << int(kUtcField) << int(Qt::Key_Escape);
  }

  void enterAndEscapeDoNothing() {
    QFETCH(int, focusId);
    QFETCH(int, key);
    QTest::keyClicks(input(kHouseKeepingInput), kHouseKeeping);
    QTest::keyClicks(resultBox(), QStringLiteral("note"));
    QWidget* target = dlg->control(focusId);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QTest::qWait(10);
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->result(), 0);
    QCOMPARE(resultBox()->toPlainText(), QStringLiteral("note"));
    QVERIFY(boxes->shown.empty());
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
    QTimer::singleShot(0, dlg.get(), [this, viaMenu] {
      if (viaMenu) {
        dlg->findChild<QAction*>(QStringLiteral("id32771"))->trigger();
      } else {
        dlg->close();
      }
    });
    QCOMPARE(dlg->exec(), result);
    QVERIFY(!dlg->isVisible());
  }

  void realModalBoxes_data() {
    QTest::addColumn<int>("inputId");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<int>("buttonId");  // 0: no click, the guard speaks
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("message");
    QTest::newRow("guard") << int(kHouseKeepingInput) << kHouseKeeping + "0" << 0 << "Quillon"
                           << "Over 22 letters!";
    QTest::newRow("wrong length") << int(kSatelliteInput) << "89D0" << int(kSatelliteButton)
                                  << "Invalidate" << "Please input 8 Letters";
  }

  void realModalBoxes() {
    QFETCH(int, inputId);
    QFETCH(QString, letters);
    QFETCH(int, buttonId);
    QFETCH(QString, caption);
    QFETCH(QString, message);
    dlg = std::make_unique<CQuillonDlg>(DialogSeams{clock.source(), nullptr});
    showDialog();

    std::optional<ShownBox> seen;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons;
    QWidget* owner = nullptr;
    watchdog->expect = [&](QMessageBox* box) {
      seen = ShownBox{box->windowTitle(), box->text()};
      icon = box->icon();
      buttons = box->standardButtons();
      owner = box->parentWidget();
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    };
    QTest::keyClicks(input(inputId), letters);
    if (buttonId) QTest::mouseClick(dlg->control(buttonId), Qt::LeftButton);

    QVERIFY(seen.has_value());
    QCOMPARE(*seen, (ShownBox{caption, message}));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(owner, dlg.get());
    QCOMPARE(input(inputId)->text(), letters.left(22));
    QVERIFY(resultBox()->toPlainText().isEmpty());
  }
};

QTEST_MAIN(CheckTest)
#include "check_test.moc"
