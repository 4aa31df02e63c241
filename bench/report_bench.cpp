// SPDX-License-Identifier: GPL-3.0-or-later
// Nanoseconds to build each of the four reports from typed text and one clock reading.
#include <benchmark/benchmark.h>

#include "core/report.h"

namespace {

using quillon::FrameKind;

void buildOne(benchmark::State& state, FrameKind kind, const char* typed) {
  const stm::ClockReading reading{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};
  for (auto _ : state) {
    auto report = quillon::buildReport(kind, typed, reading, quillon::LineEnd::CrLf);
    benchmark::DoNotOptimize(report);
  }
}

void BM_HouseKeepingReport(benchmark::State& s) {
  buildOne(s, FrameKind::HouseKeeping, "89D0A76820472FBCA7A01F");
}
void BM_SatelliteReport(benchmark::State& s) { buildOne(s, FrameKind::Satellite, "89D0A768"); }
void BM_PdaReport(benchmark::State& s) { buildOne(s, FrameKind::Pda, "8A5C3E1F"); }
void BM_SatellitePdaReport(benchmark::State& s) { buildOne(s, FrameKind::SatellitePda, "89D0A7688A5C3E1F"); }

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
