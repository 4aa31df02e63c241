// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What --version prints, the same for both programs. QUILLON_VERSION is the project version
// in CMake, defined on each executable, so a release changes it in one place.

#include <string>

#ifndef QUILLON_VERSION
#error "QUILLON_VERSION comes from the build: the project version in CMakeLists.txt"
#endif

namespace quillon {

// The GNU form, which help2man reads into the manual pages; no final line end.
inline std::string versionText(const char* program) {
  constexpr const char* kNotice =
      "Copyright (C) 2026 Quillon developers\n"
      "License GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>\n"
      "This is free software: you are free to change and redistribute it.\n"
      "There is NO WARRANTY, to the extent permitted by law.";
  return std::string(program) + " " + QUILLON_VERSION + "\n" + kNotice;
}

}  // namespace quillon
