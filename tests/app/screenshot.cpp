// Renders the dialog after one house-keeping check, for the README's picture.
// Usage: dialog_screenshot OUT.png (run offscreen or under xvfb-run).
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "dialog_template.h"
#include "quillon_dlg.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: dialog_screenshot OUT.png\n");
    return 2;
  }
  // A fixed moment, so the picture only changes when the dialog does.
  const stm::ClockReading moment{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};
  CQuillonDlg dlg({stm::fixedClock(moment), nullptr});
  dlg.show();
  dlg.control<QLineEdit>(quillon::app::kHouseKeepingInput)
      ->setText(QStringLiteral("89D0A76820472FBCA7A01F"));
  dlg.control<QPushButton>(quillon::app::kHouseKeepingButton)->click();

  int status = 1;
  QTimer::singleShot(300, &dlg, [&] {  // a few clock ticks
    status = dlg.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    app.quit();
  });
  app.exec();
  return status;
}
