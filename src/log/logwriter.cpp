// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/logwriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quillon {

namespace {

// Why the record could not be written whole to the open log; empty when it was.
std::string appendTo(int fd, std::string_view line) {
  struct stat file {};
  if (::fstat(fd, &file) != 0) return std::strerror(errno);
  if (!S_ISREG(file.st_mode)) return "not a regular file";
  // The last byte, read once: a line left without its line end gets one, in the same
  // write as the record, so the record never joins it.
  std::string whole;
  char last = '\n';
  if (file.st_size > 0 && ::pread(fd, &last, 1, file.st_size - 1) != 1) return std::strerror(errno);
  if (last != '\n') whole = '\n';
  whole += line;
  ssize_t written;
  do {
    written = ::write(fd, whole.data(), whole.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return std::strerror(errno);
  // One write or none: the rest of a short one, written later, could land behind another
  // writer's record. The torn line stays one malformed line; the next record starts anew.
  if (static_cast<std::size_t>(written) < whole.size()) {
    return "only " + std::to_string(written) + " of " + std::to_string(whole.size()) + " bytes written";
  }
  // On the disk before the report appears: a crash or a power cut after it loses nothing.
  if (::fdatasync(fd) != 0) return std::strerror(errno);
  return {};
}

}  // namespace

std::string appendLogLine(const std::string& path, std::string_view line) {
  std::error_code ignored;  // a folder that cannot be made shows up as the open failing
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  // Read and write: the last byte is read back. Without waiting: a FIFO would block the
  // dialog until something read it.
  const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  std::string error = appendTo(fd, line);
  if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
  return error;
}

std::string logFailureText(const std::string& path, const std::string& reason) {
  return "The log could not be written: " + path + " (" + reason +
         ").\nChecks go on and their reports still go into the result box. "
         "File > Keep a Log turns the log off.";
}

}  // namespace quillon
