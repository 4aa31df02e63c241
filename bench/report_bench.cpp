// SPDX-License-Identifier: GPL-3.0-or-later
// Nanoseconds for one check as the dialog makes it (a fresh check: report and record) from
// typed text and one clock reading, for every frame of the list.
#include <benchmark/benchmark.h>

#include "core/check.h"
#include "frames/framelist.h"

namespace {

void checkOne(benchmark::State& state, const char* name, const char* typed) {
  const stm::ClockReading reading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};
  const quillon::FrameRule& frame = *quillon::frameNamed(name);
  for (auto _ : state) {
    auto texts = quillon::checkTexts(frame, typed, reading, quillon::LineEnd::Lf);
    benchmark::DoNotOptimize(texts);
  }
}

void BM_HouseKeepingReport(benchmark::State& s) { checkOne(s, "hk", "89D0A76820472FBCA7A01F"); }
void BM_SatelliteReport(benchmark::State& s) { checkOne(s, "sat", "89D0A768"); }
void BM_PdaReport(benchmark::State& s) { checkOne(s, "pda", "8A5C3E1F"); }
void BM_SatellitePdaReport(benchmark::State& s) { checkOne(s, "satpda", "89D0A7688A5C3E1F"); }

// The system clock's cost on its own (clock_gettime + localtime_r + gmtime_r).
void BM_SystemClockSnapshot(benchmark::State& state) {
  for (auto _ : state) {
    stm::ClockSnapshot snapshot;
    benchmark::DoNotOptimize(snapshot);
  }
}

BENCHMARK(BM_HouseKeepingReport);
BENCHMARK(BM_SatelliteReport);
BENCHMARK(BM_PdaReport);
BENCHMARK(BM_SatellitePdaReport);
BENCHMARK(BM_SystemClockSnapshot);

}  // namespace
