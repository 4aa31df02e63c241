// SPDX-License-Identifier: GPL-3.0-or-later
// quillon: the Tanager CW beacon decoder dialog.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "cquillonapp.h"
#include "infooptions.h"

namespace {

const char* programName = "quillon";
QStringList startUpMessages;

[[noreturn]] void noDisplay() {
  std::fprintf(stderr,
               "quillon: cannot open a display for the dialog; without a desktop, run it as: "
               "xvfb-run -a %s\n",
               programName);
  std::exit(1);
}

// Qt aborts when it cannot reach a display. While the application object is created,
// its messages are held back and its fatal error becomes one clear line instead.
void startUpHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) noDisplay();
  startUpMessages << qFormatLogMessage(type, context, message);
}

bool hasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = quillon::app::answerInfoOption(argc, argv)) return *status;
  if (argc > 0) programName = argv[0];
  if (!hasDisplay()) noDisplay();

  quillon::app::CQuillonApp::prepareEnvironment();
  const QtMessageHandler standard = qInstallMessageHandler(startUpHandler);
  quillon::app::CQuillonApp app(argc, argv);
  qInstallMessageHandler(standard);
  for (const QString& message : std::as_const(startUpMessages)) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }

  app.StartApplication();
  return 0;
}
