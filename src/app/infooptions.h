// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// --help and --version, answered before the application object exists: they need no display.

#include <optional>

namespace quillon::app {

// The exit status when argv asks for help or the version (after printing it), nothing otherwise.
std::optional<int> answerInfoOption(int argc, char** argv);

}  // namespace quillon::app
