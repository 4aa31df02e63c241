// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxes.h"

#include <QMessageBox>

namespace quillon::app {

void ModalMessageBoxes::inform(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace quillon::app
