// SPDX-License-Identifier: GPL-3.0-or-later
#include "cquillonapp.h"

#include <QSettings>
#include <QTimer>

#include "cquillondlg.h"

namespace quillon::app {

CQuillonApp::CQuillonApp(int& argc, char** argv) : QApplication(argc, argv) {
  // Settings in ~/.config/Quillon/Quillon.conf; the log folder keeps its own name
  // (~/.local/share/Quillon, CQuillonDlg).
  setOrganizationName(QString::fromLatin1(kApplicationName));
  setOrganizationDomain(QStringLiteral("quillon.github.io"));
  setApplicationName(QString::fromLatin1(kApplicationName));
  setApplicationVersion(QStringLiteral(QUILLON_VERSION));
  setDesktopFileName(QStringLiteral("quillon"));
  takeOverSettings();
}

void CQuillonApp::takeOverSettings() {
  QSettings settings;
  if (!settings.allKeys().isEmpty()) return;
  const QSettings before(QStringLiteral("Unknown Organization"), applicationName());
  for (const QString& key : before.allKeys()) settings.setValue(key, before.value(key));
}

void CQuillonApp::prepareEnvironment() {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

bool CQuillonApp::StartApplication() {
  CQuillonDlg dlg;
  // The words the toolkit left are recordings to open once the dialog shows.
  QStringList recordings = arguments();
  recordings.removeFirst();
  if (!recordings.isEmpty()) QTimer::singleShot(0, &dlg, [&dlg, recordings] { dlg.openRecordings(recordings); });
  dlg.exec();  // Exit and the close box end the program alike.
  return false;
}

}  // namespace quillon::app
