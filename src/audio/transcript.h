// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `listen --text` prints, and when a SatNOGS recording began:
//
//   HeardLetters -> Transcript -> one line for each transmission (a Pause starts the
//   next; the decoder marks a silence of 2 s or more as one), each letter its best guess,
//   a blank for each word gap
//   "satnogs_<id>_<YYYY-MM-DDTHH-MM-SS>.ogg" -> the recording's start in UTC

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/morse.h"

namespace quillon::audio {

class Transcript {
 public:
  // Adds a letter; a line the letter ends (it starts the next) is appended to `done`,
  // without its line end.
  void add(const HeardLetter& letter, std::string& done);
  // Whether a line ended into `done` at the last add().
  bool lineEnded() const { return ended_; }
  // The line still open (empty when none).
  const std::string& open() const { return line_; }

 private:
  std::string line_;
  bool ended_ = false;
};

// The start of a SatNOGS observation's recording, from its file name (any folder before
// it); nothing for another name.
std::optional<std::chrono::sys_seconds> satnogsStart(std::string_view path);

}  // namespace quillon::audio
