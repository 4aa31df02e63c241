// The dialog as laid out and as it starts: template positions, clipping, tab order,
// accessibility, the window, its menus and the clock panel.
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <cmath>

#include "clock_field.h"
#include "dialog_support.h"

using namespace quillon;
using namespace quillon::app;

namespace {
int textWidth(const QWidget* widget, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(widget->font()).horizontalAdvance(text)));
}
}  // namespace

class LookTest : public QObject {
  Q_OBJECT
  std::unique_ptr<test::DialogFixture> f;

  QRect pixels(const QRect& dlu) const {
    return DialogUnits(QFontMetrics(f->dlg->font())).rect(dlu.x(), dlu.y(), dlu.width(), dlu.height());
  }
  QString clock(int id) const { return f->dlg->control<ClockField>(id)->text(); }

 private slots:
  void init() {
    f = std::make_unique<test::DialogFixture>();
    QVERIFY(QTest::qWaitForWindowActive(f->dlg.get()));
  }
  void cleanup() {
    QVERIFY2(f->watchdog.unexpected.isEmpty(), qPrintable(f->watchdog.unexpected.join(", ")));
    QVERIFY(f->boxes.shown.empty());
    f.reset();
  }

  void templatePlaces_data() {
    QTest::addColumn<int>("id");       // or 0 for a label, found by its text
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("dlu");    // x, y, width, height [dialog units]
    QTest::newRow("1012 house-keeping input") << 1012 << "" << QRect(83, 140, 102, 14);
    QTest::newRow("1011 Check !") << 1011 << "" << QRect(154, 157, 31, 14);
    QTest::newRow("1003 result box") << 1003 << "" << QRect(202, 24, 249, 200);
    QTest::newRow("1008 local time") << 1008 << "" << QRect(55, 17, 80, 14);
    QTest::newRow("1009 Julian Date") << 1009 << "" << QRect(54, 51, 80, 14);
    QTest::newRow("1010 UTC") << 1010 << "" << QRect(54, 35, 80, 14);
    QTest::newRow("Local Time") << 0 << "Local Time" << QRect(14, 17, 33, 8);
    QTest::newRow("UTC") << 0 << "UTC" << QRect(23, 35, 14, 8);
    QTest::newRow("Julian Date") << 0 << "Julian Date" << QRect(14, 51, 35, 8);
    QTest::newRow("hint 1") << 0 << "Fill in the blanks with complete data without space." << QRect(18, 79, 152, 8);
    QTest::newRow("hint 2") << 0 << "Use 'x' instead of misscopied characters." << QRect(18, 94, 121, 8);
    QTest::newRow("example") << 0 << "For example,  TNGR \"89D0A76820472FBCA7A01F\"" << QRect(19, 110, 152, 8);
    QTest::newRow("example x") << 0 << "or  TNGR \"89D0xx6820x72FxxA7Ax1F\"" << QRect(50, 124, 118, 8);
    QTest::newRow("house keeping") << 0 << "House Keeping: TNGR" << QRect(16, 143, 65, 8);
    QTest::newRow("result") << 0 << "CW Analysis Result" << QRect(201, 14, 59, 8);
    QTest::newRow("group") << -1 << "Status Checker" << QRect(7, 7, 447, 219);
  }
  void templatePlaces() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(QRect, dlu);
    const QRect want = pixels(dlu);
    QWidget* w = id > 0 ? f->dlg->control(id) : nullptr;
    for (QLabel* l : f->dlg->findChildren<QLabel*>()) w = l->text() == text ? l : w;
    for (QGroupBox* g : f->dlg->findChildren<QGroupBox*>()) w = g->title() == text ? g : w;
    QVERIFY2(w, qPrintable(text));
    if (id != 0) {  // a control keeps its place exactly
      QCOMPARE(w->geometry(), want);
      return;
    }
    // Row and height as drawn; a label may only grow to hold its text, and may start a
    // few units further left where the control it names leaves no room.
    QCOMPARE(w->y(), want.y());
    QCOMPARE(w->height(), want.height());
    QVERIFY(w->width() >= want.width());
    QVERIFY(w->x() <= want.x() && w->x() >= want.x() - pixels(QRect(0, 0, 8, 0)).width());
  }

  void nothingClippedNothingOverlaps() {
    for (int id : {1001, 1004, 1006, 1012}) {  // the longest hints
      f->input(id)->setText(QStringLiteral("0123456X89abcdefABCDEF").left(id == 1012 ? 22 : id == 1006 ? 16 : 8));
    }
    QList<QWidget*> placed;
    for (QLabel* l : f->dlg->findChildren<QLabel*>()) {
      QVERIFY2(textWidth(l, l->text()) <= l->contentsRect().width(), qPrintable(l->text()));
      QVERIFY2(l->fontMetrics().height() <= l->contentsRect().height(), qPrintable(l->text()));
      placed << l;
    }
    for (QPushButton* b : f->dlg->findChildren<QPushButton*>()) {
      QStyleOptionButton option;
      option.initFrom(b);
      QVERIFY(textWidth(b, b->text()) <= b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width());
    }
    for (int id : {kLocalTimeField, kUtcField, kJulianDateField}) {
      for (const char* sample : {"2008/06/15 12:04:05", "2454632.6278435", "unavailable"}) {
        QVERIFY(textWidth(f->dlg->control(id), QString::fromLatin1(sample)) + 4 <= f->dlg->control(id)->width());
      }
    }
    QVERIFY(textWidth(f->input(1006), QStringLiteral("000000008A5C3E1F")) + 8 <= f->input(1006)->contentsRect().width());
    for (int id = 1001; id <= 1012; ++id) placed << f->dlg->control(id);
    const QList<QGroupBox*> groups = f->dlg->findChildren<QGroupBox*>();
    QCOMPARE(groups.size(), 2);
    QVERIFY(!groups[0]->geometry().intersects(groups[1]->geometry()));
    for (qsizetype i = 0; i < placed.size(); ++i) {
      QVERIFY2(std::any_of(groups.begin(), groups.end(), [&](QGroupBox* g) { return g->geometry().contains(placed[i]->geometry()); }),
               qPrintable(placed[i]->objectName()));
      for (qsizetype j = i + 1; j < placed.size(); ++j) {
        QVERIFY2(!placed[i]->geometry().intersects(placed[j]->geometry()),
                 qPrintable(placed[i]->objectName() + placed[j]->objectName()));
      }
    }
  }

  void tabOrderFocusAndNames() {
    QCOMPARE(QApplication::focusWidget(), f->dlg->control(1012));
    for (int id : {1012, 1011, 1001, 1002, 1004, 1005, 1006, 1007, 1003, 1008, 1009, 1010}) {
      QCOMPARE(QApplication::focusWidget()->objectName(), controlName(id));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QSet<QString> names;
    for (auto [id, text] : {std::pair{1012, "House Keeping: TNGR"}, {1001, "Satellite Status"}, {1004, "PDA Status"},
                            {1006, "Sat. + PDA Status"}, {1003, "CW Analysis Result"}}) {
      QCOMPARE(f->dlg->control(id)->accessibleName(), QString::fromLatin1(text));
      names << text << f->dlg->control(id == 1012 ? 1011 : id == 1003 ? 1003 : id + 1)->accessibleName();
    }
    QCOMPARE(names.size(), 9);
  }

  void theWindowAndItsMenus() {
    QCOMPARE(f->dlg->windowTitle(), QStringLiteral("Tanager II Quillon (Ver.0.5)"));
    QVERIFY(!(f->dlg->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(f->dlg->minimumSize(), f->dlg->maximumSize());
    auto* menus = f->dlg->findChild<QMenuBar*>();
    QCOMPARE(f->dlg->size(), pixels(QRect(0, 0, 470, 285)).size() + QSize(0, menus->height()));
    QVERIFY(f->dlg->windowIcon().availableSizes().contains(QSize(48, 48)));
    QStringList items;
    for (QAction* menu : menus->actions()) {
      items << menu->text();
      for (QAction* item : menu->menu()->actions()) items << item->text();
    }
    QCOMPARE(items.join(QLatin1Char('|')),
             QStringLiteral("&File|&Save Results As...|Open &Log Folder|&Keep a Log||E&xit|&View|&Telemetry Chart"));
    QVERIFY(!f->box()->isReadOnly());
    QCOMPARE(f->box()->lineWrapMode(), QPlainTextEdit::NoWrap);
  }

  void clockPanelFollowsTheClock() {
    for (int id : {1008, 1009, 1010}) QVERIFY(clock(id).isEmpty());  // until the first tick
    *f->clock.now = {{2008, 6, 15, 12, 4, 5, 678}, {2008, 6, 15, 3, 4, 5, 678}};
    QTRY_COMPARE(clock(1009), QStringLiteral("2454632.6278435"));
    QCOMPARE(clock(1010), QStringLiteral("2008/06/15 03:04:05"));
    QCOMPARE(clock(1008), QStringLiteral("2008/06/15 12:04:05"));
    QTimerEvent other(0x7fff);  // another timer's tick changes nothing
    f->clock.now->utc.year = 2150;
    QCoreApplication::sendEvent(f->dlg.get(), &other);
    QCOMPARE(clock(1010), QStringLiteral("2008/06/15 03:04:05"));
    QTRY_COMPARE(clock(1009), QStringLiteral("unavailable"));  // outside the calendar: times still shown
    QCOMPARE(clock(1010), QStringLiteral("2150/06/15 03:04:05"));
  }
};

QTEST_MAIN(LookTest)
#include "look_test.moc"
