#pragma once
// The application object: it runs the main dialog modally, and the program ends with it.

#include <QApplication>

namespace quillon::app {

class CQuillonApp : public QApplication {
  Q_OBJECT

 public:
  CQuillonApp(int& argc, char** argv);

  // Shows the dialog until File > Exit or the close box; false: no event loop follows.
  bool StartApplication();
};

}  // namespace quillon::app
