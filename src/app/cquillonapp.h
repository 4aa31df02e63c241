// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: it runs the main dialog modally, and the program ends with it.

#include <QApplication>

namespace quillon::app {

class CQuillonApp : public QApplication {
  Q_OBJECT

 public:
  CQuillonApp(int& argc, char** argv);

  // Before the application object exists: the clock panel's updates are a few hundred
  // pixels, 20 times a second. Sending them over the X connection costs less than shared
  // memory, whose completion event wakes the program once more per tick. The user's own
  // setting wins.
  static void prepareEnvironment();

  // Settings kept before the program named its organisation, under Qt's "Unknown
  // Organization", are taken over once, while the program's own are still empty.
  static void takeOverSettings();

  // Shows the dialog until File > Exit or the close box; false: no event loop follows.
  bool StartApplication();
};

}  // namespace quillon::app
