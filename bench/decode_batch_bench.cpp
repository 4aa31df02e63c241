// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-decode's batch path: 1,000,000 house-keeping frames read from a file and
// decoded to a null sink, as text, JSON Lines and CSV. Goals on one core: 1,500,000
// frames/s or more as text (2,000,000 hoped for), 1,000,000 as JSON; no allocation per
// frame, so memory stays flat. The "fixed clock" run shows what the clock costs.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "cli/batch.h"
#include "frames/framelist.h"

namespace {

using namespace quillon;
using namespace quillon::cli;

constexpr std::int64_t kFrames = 1'000'000;

// A log of varied frames, about one letter in forty not copied, as an operator's log
// would hold them; written once to a temporary file that is unlinked at once, so nothing
// is left behind.
int logFile() {
  static const int fd = [] {
    char name[] = "/tmp/quillon_decode_bench_XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) std::abort();
    ::unlink(name);
    std::mt19937 random(20261206);
    std::string log;
    log.reserve(kFrames * 28);
    for (std::int64_t i = 0; i < kFrames; ++i) {
      log += "TNGR ";
      for (int k = 0; k < 22; ++k) log += random() % 40 == 0 ? 'x' : "0123456789ABCDEF"[random() % 16];
      log += '\n';
    }
    if (::write(fd, log.data(), log.size()) != static_cast<ssize_t>(log.size())) std::abort();
    return fd;
  }();
  return fd;
}

class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void decodeFile(benchmark::State& state, OutputForm form, bool realClock) {
  NullBuffer null;
  std::ostream out(&null);
  std::ostringstream err;
  const int fd = logFile();
  for (auto _ : state) {
    ::lseek(fd, 0, SEEK_SET);
    ReportWriter writer =
        realClock ? ReportWriter(*frameNamed("hk"), form)
                  : ReportWriter(*frameNamed("hk"), form, stm::fixedClock(stm::readSystemClock()));
    const BatchResult result = decodeLog(fileSource(fd), writer, out, err);
    if (result.reports != static_cast<std::uint64_t>(kFrames)) state.SkipWithError("frames lost");
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * kFrames), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(decodeFile, text, OutputForm::Text, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decodeFile, text_fixed_clock, OutputForm::Text, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(decodeFile, json, OutputForm::Json, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(decodeFile, csv, OutputForm::Csv, true)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
