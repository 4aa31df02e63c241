// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text cursors stop blinking, and stay shown, after a while without a key or a click, as
// desktop text fields do to save power: the idle dialog then wakes for its clock alone.
// The next key or click makes them blink again at the desktop's rate.

#include <QObject>
#include <QTimer>
#include <chrono>

namespace quillon::app {

class CursorRest : public QObject {
 public:
  explicit CursorRest(std::chrono::milliseconds after);
  ~CursorRest() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTimer rest;
  int flashTime;  // the desktop's [ms]
};

}  // namespace quillon::app
