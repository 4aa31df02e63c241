// SPDX-License-Identifier: GPL-3.0-or-later
#include "infooptions.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "versiontext.h"

namespace {

// Laid out for help2man, which turns it into quillon(1).
constexpr const char* kHelp = R"(Usage: quillon [--help | --version | QT-OPTION...] [RECORDING...]
Decodes the Morse (CW) telemetry beacon of the amateur satellite Tanager.

The operator copies the hexadecimal letters that follow the beacon word TNGR,
types them (a letter not copied as a lower-case x) and presses the button of the
frame: house keeping (22 letters), satellite status word (8), PDA status word (8)
or both status words (16). The report is appended to the result box. A clock
panel shows local time, UTC and the Julian Date. quillon-decode(1) prints the
same reports for logs and scripts.

Frames also come from a CW decoder's text (Edit > Paste Decoder Text), from
recordings (File > Open Recording, or each RECORDING given: WAV, FLAC, OGG) and
from the receiver (File > Listen). Each frame is checked as if typed.

Options:
  -h, --help     Print this help and exit
  --version      Print the version and exit

Qt's own options, such as -platform NAME and -style NAME, are taken as well.

Environment:
  With none of DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM set there is no
  desktop to show the dialog on: quillon says so and exits with status 1. Run it
  as: xvfb-run -a quillon
)";

int print(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
    std::fputs("quillon: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace

namespace quillon::app {

std::optional<int> answerInfoOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "-h" || word == "--help") return print(kHelp);
    if (word == "--version") return print(quillon::versionText("quillon") + "\n");
  }
  return std::nullopt;
}

}  // namespace quillon::app
