// SPDX-License-Identifier: GPL-3.0-or-later
#include "cquillonapp.h"

#include "cquillondlg.h"

namespace quillon::app {

CQuillonApp::CQuillonApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The name also names the settings file and the log folder (~/.local/share/Quillon).
  setApplicationName(QString::fromLatin1(kApplicationName));
  setApplicationVersion(QStringLiteral(QUILLON_VERSION));
  setDesktopFileName(QStringLiteral("quillon"));
}

void CQuillonApp::prepareEnvironment() {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

bool CQuillonApp::StartApplication() {
  CQuillonDlg dlg;
  dlg.exec();  // Exit and the close box end the program alike.
  return false;
}

}  // namespace quillon::app
