// The dialog as laid out and as it starts: template positions, clipping, tab order,
// accessibility, the window itself and the clock panel.
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <cmath>

#include "dialog_support.h"
#include "dialog_template.h"

using namespace quillon;
using namespace quillon::app;

namespace {

int textWidth(const QWidget* widget, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(widget->font()).horizontalAdvance(text)));
}

}  // namespace

class LookTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ModalWatchdog> watchdog;
  test::RecordingMessageBoxes boxes;
  test::ManualClock clock;
  std::unique_ptr<CQuillonDlg> dlg;

  QLineEdit* field(int id) const { return dlg->control<QLineEdit>(id); }
  QLabel* label(const QString& text) const {
    for (QLabel* l : dlg->findChildren<QLabel*>()) {
      if (l->text() == text) return l;
    }
    return nullptr;
  }

 private slots:
  void init() {
    watchdog = std::make_unique<test::ModalWatchdog>();
    clock = {};
    dlg = std::make_unique<CQuillonDlg>(DialogSeams{clock.source(), &boxes});
  }
  void cleanup() {
    dlg.reset();
    QVERIFY2(watchdog->unexpected.isEmpty(), qPrintable(watchdog->unexpected.join(", ")));
    QVERIFY(boxes.shown.empty());
  }

  void templateControls_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QRect>("dlu");  // x, y, width, height [dialog units]
    QTest::newRow("1012 house-keeping input") << 1012 << QRect(83, 140, 102, 14);
    QTest::newRow("1011 Check !") << 1011 << QRect(154, 157, 31, 14);
    QTest::newRow("1003 result box") << 1003 << QRect(202, 24, 249, 200);
    QTest::newRow("1008 local time") << 1008 << QRect(55, 17, 80, 14);
    QTest::newRow("1009 Julian Date") << 1009 << QRect(54, 51, 80, 14);
    QTest::newRow("1010 UTC") << 1010 << QRect(54, 35, 80, 14);
  }

  void templateControls() {
    QFETCH(int, id);
    QFETCH(QRect, dlu);
    QWidget* widget = dlg->control(id);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), dlg->units().rect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
  }

  void templateTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("dlu");
    QTest::newRow("Local Time") << "Local Time" << QRect(14, 17, 33, 8);
    QTest::newRow("UTC") << "UTC" << QRect(23, 35, 14, 8);
    QTest::newRow("Julian Date") << "Julian Date" << QRect(14, 51, 35, 8);
    QTest::newRow("hint 1") << "Fill in the blanks with complete data without space."
                            << QRect(18, 79, 152, 8);
    QTest::newRow("hint 2") << "Use 'x' instead of misscopied characters." << QRect(18, 94, 121, 8);
    QTest::newRow("example") << "For example,  TNGR \"89D0A76820472FBCA7A01F\""
                             << QRect(19, 110, 152, 8);
    QTest::newRow("example x") << "or  TNGR \"89D0xx6820x72FxxA7Ax1F\"" << QRect(50, 124, 118, 8);
    QTest::newRow("house keeping") << "House Keeping: TNGR" << QRect(16, 143, 65, 8);
    QTest::newRow("result") << "CW Analysis Result" << QRect(201, 14, 59, 8);
  }

  void templateTexts() {
    QFETCH(QString, text);
    QFETCH(QRect, dlu);
    QLabel* l = label(text);
    QVERIFY2(l, qPrintable(text));
    const QRect want = dlg->units().rect(dlu.x(), dlu.y(), dlu.width(), dlu.height());
    // Row and height as drawn; a label may only grow to hold its text, and may start at
    // most a few units further left where the control it names leaves no room.
    QCOMPARE(l->y(), want.y());
    QCOMPARE(l->height(), want.height());
    QVERIFY(l->width() >= want.width());
    QVERIFY(l->x() <= want.x() && l->x() >= want.x() - dlg->units().x(8));
    QVERIFY(l->alignment() & Qt::AlignLeft);
  }

  void nothingClippedNothingOverlaps() {
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    QList<QWidget*> placed;
    for (QLabel* l : dlg->findChildren<QLabel*>()) {
      QVERIFY2(textWidth(l, l->text()) <= l->contentsRect().width(), qPrintable(l->text()));
      QVERIFY2(QFontMetrics(l->font()).height() <= l->contentsRect().height(),
               qPrintable(l->text()));
      placed << l;
    }
    for (QPushButton* b : dlg->findChildren<QPushButton*>()) {
      QStyleOptionButton option;
      option.initFrom(b);
      const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
      QVERIFY(textWidth(b, b->text()) <= room.width());
      placed << b;
    }
    for (int id : {kLocalTimeField, kUtcField, kJulianDateField}) {
      // The widest texts the panel shows, with the edit's own inner margins.
      for (const char* sample : {"2008/06/15 12:04:05", "2454632.6278435", "unavailable"}) {
        QVERIFY(textWidth(field(id), QString::fromLatin1(sample)) + 4 <=
                field(id)->contentsRect().width());
      }
    }
    // The combined input shows its 16 letters without scrolling.
    QVERIFY(textWidth(field(1006), QStringLiteral("000000008A5C3E1F")) + 8 <=
            field(1006)->contentsRect().width());
    for (int id : {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012}) {
      if (!placed.contains(dlg->control(id))) placed << dlg->control(id);
    }
    const QRect group = dlg->findChild<QGroupBox*>()->geometry();
    for (qsizetype i = 0; i < placed.size(); ++i) {
      QVERIFY2(group.contains(placed[i]->geometry()), qPrintable(placed[i]->objectName()));
      for (qsizetype j = i + 1; j < placed.size(); ++j) {
        QVERIFY2(!placed[i]->geometry().intersects(placed[j]->geometry()),
                 qPrintable(placed[i]->objectName() + placed[j]->objectName()));
      }
    }
  }

  void tabOrderAndFirstFocus() {
    dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    QCOMPARE(QApplication::focusWidget(), dlg->control(1012));
    const int order[] = {1012, 1011, 1001, 1002, 1004, 1005, 1006, 1007, 1003, 1008, 1009, 1010};
    for (int id : order) {
      QCOMPARE(QApplication::focusWidget()->objectName(), controlName(id));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
  }

  void accessibleNamesAreTheLabels() {
    // Inputs carry their label's text, buttons "Check !" and their frame: every one distinct.
    const std::pair<int, const char*> inputs[] = {{1012, "House Keeping: TNGR"},
                                                  {1001, "Satellite Status"},
                                                  {1004, "PDA Status"},
                                                  {1006, "Sat. + PDA Status"},
                                                  {1003, "CW Analysis Result"}};
    QSet<QString> names;
    for (auto [id, text] : inputs) {
      QCOMPARE(dlg->control(id)->accessibleName(), QString::fromLatin1(text));
      QCOMPARE(label(QString::fromLatin1(text))->buddy(), dlg->control(id));
      names.insert(dlg->control(id)->accessibleName());
    }
    for (int id : {1011, 1002, 1005, 1007}) {
      QVERIFY(dlg->control(id)->accessibleName().startsWith(QStringLiteral("Check !")));
      names.insert(dlg->control(id)->accessibleName());
    }
    QCOMPARE(names.size(), 9);
  }

  void theWindow() {
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Tanager II Quillon (Ver.0.5)"));
    const Qt::WindowFlags flags = dlg->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
    QCOMPARE(dlg->width(), dlg->units().x(470));
    QCOMPARE(dlg->height(), dlg->units().y(235) + dlg->menu()->height());
    QVERIFY(dlg->windowIcon().availableSizes().contains(QSize(48, 48)));

    const QList<QAction*> menus = dlg->menu()->actions();
    QCOMPARE(menus.size(), 1);
    QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
    const QList<QAction*> items = menus[0]->menu()->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0]->text(), QStringLiteral("E&xit"));
    QCOMPARE(items[0]->objectName(), QStringLiteral("id32771"));

    auto* result = dlg->control<QPlainTextEdit>(1003);
    QVERIFY(!result->isReadOnly());
    QCOMPARE(result->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(result->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    for (int id : {1008, 1009, 1010}) {
      QVERIFY(field(id)->isReadOnly());
      QVERIFY(!field(id)->hasFrame());
    }
  }

  void clockPanelFollowsTheClock() {
    for (int id : {1008, 1009, 1010}) QVERIFY(field(id)->text().isEmpty());  // until the first tick
    *clock.now = {{2008, 6, 15, 12, 4, 5, 678}, {2008, 6, 15, 3, 4, 5, 678}};
    QTRY_COMPARE(field(1009)->text(), QStringLiteral("2454632.6278435"));
    QCOMPARE(field(1010)->text(), QStringLiteral("2008/06/15 03:04:05"));
    QCOMPARE(field(1008)->text(), QStringLiteral("2008/06/15 12:04:05"));

    *clock.now = {{2008, 6, 15, 12, 4, 6, 0}, {2008, 6, 15, 3, 4, 6, 0}};
    QTRY_COMPARE(field(1010)->text(), QStringLiteral("2008/06/15 03:04:06"));
    QCOMPARE(field(1008)->text(), QStringLiteral("2008/06/15 12:04:06"));
  }

  void onlyTheClockTimerTicks() {
    QTRY_VERIFY(!field(1010)->text().isEmpty());
    const QString before = field(1010)->text();
    clock.now->utc.year = 2010;
    QTimerEvent other(0x7fff);
    QCoreApplication::sendEvent(dlg.get(), &other);
    QCOMPARE(field(1010)->text(), before);
  }

  void clockOutOfRange_data() {
    QTest::addColumn<int>("year");
    QTest::newRow("after 2100") << 2150;
    QTest::newRow("before 1900") << 1850;
  }

  void clockOutOfRange() {
    QFETCH(int, year);
    *clock.now = {{year, 1, 1, 9, 0, 0, 0}, {year, 1, 1, 0, 0, 0, 0}};
    dlg = std::make_unique<CQuillonDlg>(DialogSeams{clock.source(), &boxes});
    const QString utc = QStringLiteral("%1/01/01 00:00:00").arg(year);
    QTRY_COMPARE(field(1010)->text(), utc);
    QCOMPARE(field(1008)->text(), QStringLiteral("%1/01/01 09:00:00").arg(year));
    QCOMPARE(field(1009)->text(), QStringLiteral("unavailable"));

    // Reports still carry their times.
    field(1001)->setText(QStringLiteral("89D0A768"));
    QTest::mouseClick(dlg->control(1002), Qt::LeftButton);
    QVERIFY(dlg->control<QPlainTextEdit>(1003)->toPlainText().contains(
        QStringLiteral("UTC : ") + utc + QStringLiteral(":000\nLocalTime : ")));

    // And the Julian Date comes back with the clock.
    *clock.now = {{2008, 6, 15, 12, 4, 5, 678}, {2008, 6, 15, 3, 4, 5, 678}};
    QTRY_COMPARE(field(1009)->text(), QStringLiteral("2454632.6278435"));
  }
};

QTEST_MAIN(LookTest)
#include "look_test.moc"
