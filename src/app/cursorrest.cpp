// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursorrest.h"

#include <QApplication>
#include <QEvent>

namespace quillon::app {

CursorRest::CursorRest(std::chrono::milliseconds after) : flashTime(QApplication::cursorFlashTime()) {
  rest.setSingleShot(true);
  rest.setInterval(after);
  connect(&rest, &QTimer::timeout, this, [] { QApplication::setCursorFlashTime(0); });
  rest.start();
  qApp->installEventFilter(this);
}

CursorRest::~CursorRest() {
  if (!rest.isActive()) QApplication::setCursorFlashTime(flashTime);
}

bool CursorRest::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
      if (!rest.isActive()) QApplication::setCursorFlashTime(flashTime);
      rest.start();
      break;
    default: break;
  }
  return false;
}

}  // namespace quillon::app
