// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A CW decoder's text, byte by byte, as heard letters for the frame finder:
//
//   bytes -> DecoderTextReader -> letters (dits and dahs), breaks, line times -> listener
//
// A letter is any character Morse has a code for, in either case. '*' is a code the decoder
// did not know; so is "<.-..>" (dahs also as '_'), whose dits and dahs still count. A blank,
// a tab, a CR or a character no decoder prints breaks a word; LF ends a line. A reception
// time at the start of a line (see receptiontime.h) is no letters: the reader hands it on.
// The reader keeps at most a bracketed code or a time of undecided bytes, whatever the input.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/framereading.h"
#include "core/morse.h"
#include "time/clocksnapshot.h"

namespace quillon {

class SoundListener {
 public:
  // A letter's code (0: not known), whether the decoder printed it as a code it did not
  // know, and where it was.
  virtual void onLetter(MorseBits bits, bool unrecognised, Place place) = 0;
  virtual void onBreak(Gap gap) = 0;  // Word: a blank or the like; Pause: a line's end
  virtual void onLineTime(std::uint64_t line, const stm::CalendarTime& utc) = 0;

 protected:
  ~SoundListener() = default;
};

class DecoderTextReader {
 public:
  void feed(std::string_view bytes, SoundListener& to);
  // The end of the input: what is held is read, and the last line ends.
  void finish(SoundListener& to);

 private:
  enum class Mode : std::uint8_t { LineStart, Text, Code, Time };
  void step(char c, SoundListener& to);
  void text(char c, std::uint64_t at, SoundListener& to);
  // Reads the held bytes (and `more`) again as text; a held '<' becomes a word break.
  void replay(std::string_view more, SoundListener& to);

  std::uint64_t line = 1;
  std::uint64_t offset = 0;  // of the next byte
  Mode mode = Mode::LineStart;
  std::string held;
  std::uint64_t heldFrom = 0;
};

// The letters of text pasted into a frame's input box: a leading beacon word, blanks and
// line breaks dropped, everything else kept as typed for the box's own guard.
std::string pastedLetters(std::string_view pasted);

}  // namespace quillon
