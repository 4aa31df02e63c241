// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/linereader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/beacon.h"

namespace quillon::cli {

ByteSource fileSource(int fd) {
  return [fd](char* buffer, std::size_t size) -> std::ptrdiff_t {
    for (;;) {
      const ssize_t n = ::read(fd, buffer, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  };
}

ByteSource memorySource(std::string_view bytes) {
  return [bytes](char* buffer, std::size_t size) mutable -> std::ptrdiff_t {
    const std::size_t n = std::min(size, bytes.size());
    std::memcpy(buffer, bytes.data(), n);
    bytes.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  };
}

LineReader::LineReader(ByteSource source, std::size_t chunkBytes)
    : source(std::move(source)), buffer(std::max(chunkBytes, 2 * kKeptBytes), '\0') {}

bool LineReader::refill() {
  if (atEnd) return false;
  const std::ptrdiff_t n = source(buffer.data() + end, buffer.size() - end);
  if (n <= 0) {
    atEnd = true;
    readFailed = n < 0;
    return false;
  }
  end += static_cast<std::size_t>(n);
  return true;
}

bool LineReader::next(Line& line) {
  if (!nextLine(line)) return false;
  constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";
  if (line.number == 1 && line.text.starts_with(kByteOrderMark)) {
    line.text.remove_prefix(kByteOrderMark.size());
    line.bytes -= kByteOrderMark.size();
  }
  return true;
}

// A whole line held from `begin` to `stop`. A CR at its end is its line end: a line of
// kKeptBytes and a CR is kept whole.
void LineReader::takeLine(Line& line, std::size_t stop) {
  const char* start = buffer.data() + begin;
  const std::size_t bytes = stop - begin;
  const std::size_t kept = bytes == kKeptBytes + 1 && start[kKeptBytes] == '\r' ? bytes : kKeptBytes;
  line.number = ++lineNumber;
  line.bytes = bytes;
  line.text = std::string_view(start, std::min(bytes, kept));
}

bool LineReader::nextLine(Line& line) {
  std::size_t scanned = begin;  // bytes before this held no LF
  for (;;) {
    const char* start = buffer.data();
    const void* lf = std::memchr(start + scanned, '\n', end - scanned);
    if (lf != nullptr) {
      const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - start);
      takeLine(line, at);
      begin = at + 1;
      return true;
    }
    // Past the kept bytes and a CR: cut, whatever follows.
    if (end - begin > kKeptBytes + 1) {
      skipRestOfLine(line);
      return true;
    }
    if (atEnd) {
      if (readFailed || end == begin) return false;
      takeLine(line, end);
      begin = end;
      return true;
    }
    // Move the partial line to the front so the next read has room after it.
    std::memmove(buffer.data(), start + begin, end - begin);
    end -= begin;
    begin = 0;
    scanned = end;
    refill();
  }
}

// The line has outgrown kKeptBytes without an LF: keep its prefix at the front of the
// buffer and read on into the space behind it, counting, until the LF or the end.
void LineReader::skipRestOfLine(Line& line) {
  std::memmove(buffer.data(), buffer.data() + begin, kKeptBytes);
  line.number = ++lineNumber;
  line.bytes = end - begin;
  line.text = std::string_view(buffer.data(), kKeptBytes);
  begin = end = kKeptBytes;
  while (refill()) {
    const char* from = buffer.data() + kKeptBytes;
    const void* lf = std::memchr(from, '\n', end - kKeptBytes);
    if (lf != nullptr) {
      const auto rest = static_cast<std::size_t>(static_cast<const char*>(lf) - from);
      line.bytes += rest;
      begin = kKeptBytes + rest + 1;  // the next line starts behind the LF
      return;
    }
    line.bytes += end - kKeptBytes;
    end = kKeptBytes;
  }
  begin = end;
}

std::optional<std::string_view> frameText(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  if (line.empty()) return std::nullopt;
  line.remove_prefix(beaconWordLength(line));
  return line;
}

}  // namespace quillon::cli
