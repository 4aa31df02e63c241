// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Heard letters compared in dits and dahs, as the frame finder reads them:
//
//   recent heard letters --beaconStart--> does a beacon word end here, damaged or not?
//   a run of heard letters + a frame length --readRun--> hex letters and x, with repairs
//
// A decoder flips or loses a dit or dah, misses a letter gap (E T heard as A), adds one
// (A heard as E T), and prints a code it does not know as '*' or "<.-..>". A run of the
// wrong count is mended with as few joins or divisions of heard letters as possible. Only
// a letter that cannot be in a frame (not hexadecimal, or an unknown code) is divided: a
// hex letter that could be two (B as D E) is far more often a hex letter beside an E that
// lost its one dit, which could be anywhere. A mend may give a letter a dit or dah away
// from a hex letter's (a second error in the same letters): it is not copied, and counts as
// that much doubt. The readings that leave the least doubt win; where several remain, the
// places where they disagree are not copied, though they count as no doubt when judging
// whether the letters are a frame at all.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A code as bits: a leading 1, then one bit per element, dit 0 and dah 1 (".-" is 0b101).
// 0 stands for a code not known.
using MorseBits = std::uint16_t;
inline constexpr int kMaxElements = 15;

// '.' a dit, '-' or '_' a dah; 0 for anything else or more than kMaxElements.
MorseBits morseBits(std::string_view code);
// 0-15 when the bits are a hexadecimal letter's code, else -1.
int hexValue(MorseBits bits);

// Where a heard letter was: line (1 for the first) and byte offset in text, or its start
// in a recording.
struct Place {
  std::uint64_t line = 0;
  std::uint64_t byte = 0;
  double startS = 0;
};

// One heard letter as the finder compares it.
struct Sound {
  MorseBits bits = 0;
  std::int8_t hex = -1;       // hexValue(bits)
  bool unrecognised = false;  // printed as a code the decoder did not know
  bool trusted = true;        // heard at kTrustedConfidence or better
  float confidence = 1;       // as heard: 1 for text
  bool wordStart = false;     // after a blank, a line end or a pause
  Place place;
};

enum class LetterRepair : std::uint8_t {
  UnknownCode,  // x: the decoder printed a code it did not know
  NotHex,       // x: a letter that is not hexadecimal
  NotTrusted,   // x: heard below kTrustedConfidence
  TwoReadings,  // x: the readings that mend the count disagree here
  Joined,       // the letter was heard as two (a letter gap too many)
  Divided,      // the letter and its neighbour were heard as one (a letter gap missed)
};

struct RepairedLetter {
  std::uint8_t letter;  // 0-based place in the frame
  LetterRepair why;
};

struct RunReading {
  std::string letters;  // '0'-'9', 'A'-'F' and 'x'
  std::vector<RepairedLetter> repairs;
  std::vector<float> confidence;  // each letter's: the least of the heard letters it was read from
};

// Joins or divisions a frame of `length` letters may need: 2, or 1 below 16 letters, as a
// short word of chatter with two letters divided would pass for a short frame.
inline constexpr std::size_t kMaxRepairs = 2;
std::size_t mostRepairs(std::size_t length);

// Reads the run as a frame of `length` letters (at most 32): as heard when the count is
// right, else mended with the fewest joins or divisions, at most mostRepairs(length). False
// when nothing mends it, or when the letters have more than `mostDoubt` of doubt, too few
// plausible letters for a frame: a letter not copied is one, an E half (noise makes short
// codes most).
bool readRun(std::span<const Sound> run, std::size_t length, std::size_t mostDoubt, RunReading& out);

// Whether a beacon word ends with the last of `codes` (oldest first, at most 8; bit k of
// `wordStarts`: codes[k] starts a word): `first` is the index of its first letter, which
// starts a word, or -1. Flipped, lost or added dits
// and dahs, missed or added letter gaps and unknown codes cost 1 each, an unknown code for
// two letters 2; "TNGR" with at most 2 passes ("T*R", "TMGR", "ENGR", "T TE G R").
struct BeaconMatch {
  int first = -1;
  bool exact = false;  // "TNGR" as sent, blanks within it aside
};
BeaconMatch beaconStart(std::span<const MorseBits> codes, std::uint32_t wordStarts);

}  // namespace quillon
