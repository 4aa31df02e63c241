// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A nearly full disk without root or a disk: while a FileSizeLimit lives, the kernel cuts a
// write short at `bytes` into any file, and the next write fails ("File too large").
#include <sys/resource.h>

#include <csignal>

struct FileSizeLimit {
  rlimit before{};
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed test
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limit{bytes, before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};
