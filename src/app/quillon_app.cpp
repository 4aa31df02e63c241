#include "quillon_app.h"

#include "quillon_dlg.h"

CQuillonApp::CQuillonApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromLatin1(quillon::app::kApplicationName));
  setApplicationVersion(QStringLiteral("0.5"));
  setDesktopFileName(QStringLiteral("quillon"));
}

bool CQuillonApp::StartApplication() {
  CQuillonDlg dlg;
  dlg.exec();  // Exit and the close box end the program alike.
  return false;
}
