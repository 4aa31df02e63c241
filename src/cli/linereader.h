// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Beacon logs line by line, in bounded memory:
//
//   bytes -> LineReader (lines, numbered; over-long lines cut to a prefix) -> frameText
//
// A log may hold anything, a gigabyte without a newline included, so the reader never
// keeps more than kKeptBytes of one line; the rest is only counted.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::cli {

// Reads up to `size` bytes into `buffer`: the count read, 0 at the end, -1 on error.
// Like POSIX read(), it may return fewer bytes than asked, e.g. one typed line.
using ByteSource = std::function<std::ptrdiff_t(char* buffer, std::size_t size)>;

ByteSource fileSource(int fd);                    // retries EINTR; errno tells the error
ByteSource memorySource(std::string_view bytes);  // bytes must outlive the source

struct Line {
  std::string_view text;     // the line without its LF, at most kKeptBytes and a last CR
  std::uint64_t number = 0;  // 1 for the first line
  std::uint64_t bytes = 0;   // length of the whole line without its LF
  bool cut() const { return bytes > text.size(); }
};

class LineReader {
 public:
  // Longer than any frame with its beacon word and blanks could reasonably be. A line end,
  // LF or CR LF, does not count against it.
  static constexpr std::size_t kKeptBytes = 4096;

  explicit LineReader(ByteSource source, std::size_t chunkBytes = 64 * 1024);

  // The next line, valid until the next call; false at the end of the input or on a
  // read error. A last line without LF is still a line. A UTF-8 byte-order mark at the
  // start of the input, as some editors save one, is not part of line 1.
  bool next(Line& line);
  bool failed() const { return readFailed; }
  // Bytes held at most, whatever the input: the bound the tests check.
  std::size_t capacity() const { return buffer.size(); }

 private:
  bool nextLine(Line& line);
  void takeLine(Line& line, std::size_t stop);
  bool refill();  // appends more bytes after `end`; false at the end or on error
  void skipRestOfLine(Line& line);

  ByteSource source;
  std::string buffer;
  std::size_t begin = 0;  // first byte of the current line
  std::size_t end = 0;    // end of the valid bytes
  std::uint64_t lineNumber = 0;
  bool atEnd = false;
  bool readFailed = false;
};

// The frame in a log line, or nullopt for an empty line to skip. Drops one CR before the
// LF, leading and trailing blanks (an indented log), and the beacon word with the blanks
// after it (core/beacon.h); everything else stays as typed, so a blank among the letters is
// an invalid letter. A line of the beacon word alone is a frame of no letters.
std::optional<std::string_view> frameText(std::string_view line);

}  // namespace quillon::cli
