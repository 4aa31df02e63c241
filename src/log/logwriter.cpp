// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/logwriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quillon {

std::string appendLogLine(const std::string& path, std::string_view line) {
  std::error_code ignored;  // a folder that cannot be made shows up as the open failing
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  int error = 0;
  while (!line.empty() && error == 0) {
    const ssize_t n = ::write(fd, line.data(), line.size());
    if (n > 0) {
      line.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno != EINTR) {
      error = errno;
    }
  }
  // On the disk before the report appears: a crash or a power cut after it loses nothing.
  if (error == 0 && ::fdatasync(fd) != 0 && errno != EINVAL) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? std::string() : std::strerror(error);
}

std::string logFailureText(const std::string& path, const std::string& reason) {
  return "The log could not be written: " + path + " (" + reason +
         ").\nChecks go on and their reports still go into the result box. "
         "File > Keep a Log turns the log off.";
}

}  // namespace quillon
