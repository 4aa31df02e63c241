// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telemetry read back from the kept log, or from any JSON Lines file quillon-decode wrote,
// for the chart:
//
//   JSON Lines record --Telemetry::addLine--> engineering values per field over UTC
//   series --decimate--> at most two points a pixel
//
// A record is taken only when a frame could have given it: its time within the clock's
// years (1900-2100) and every engineering value within what its field's formula gives
// over the values its bits can take. Anything else is a malformed line, counted, so an
// absurd record can neither skew the chart nor overflow a time.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame.h"

namespace quillon {

// Milliseconds since 1970 of "2026-12-06T18:25:28.123Z"; nullopt for any other form and
// for a year outside 1900..2100.
std::optional<double> isoUtcMilliseconds(std::string_view iso);

struct TelemetryPoint {
  double utcMs;
  double value;
};

// One engineering field of one frame kind, point by point.
struct TelemetrySeries {
  const FrameRule* frame;
  const FieldRow* row;
  std::vector<TelemetryPoint> points;
  double lowest, highest;    // what the row's formula gives over every raw value
  std::string name() const;  // "voltage of battery [V]"
};

class Telemetry {
 public:
  Telemetry();  // one empty series for every engineering field of every frame

  // One JSON Lines record; blank lines are skipped. A line that is not a record of a
  // known frame with its UTC time, or whose time or values no frame could give, is
  // counted as malformed and skipped.
  void addLine(std::string_view line);
  // Every line of the file at `path`, until `stop` answers true. Only a regular file is
  // read, opened without waiting: a FIFO or a device never blocks the reader. Empty on
  // success, else why the file could not be read.
  std::string readFile(const std::string& path, const std::function<bool()>& stop = {});
  // Another source's points and counts; the points stay in time order.
  void merge(const Telemetry& other);
  void sortByTime();

  const std::vector<TelemetrySeries>& series() const { return all; }
  std::size_t records() const { return recordCount; }
  std::size_t malformed() const { return malformedCount; }
  // "1,204 records; 2 malformed lines skipped (lines 3, 7)"
  std::string note() const;

 private:
  std::vector<TelemetrySeries> all;
  std::size_t lines = 0;
  std::size_t recordCount = 0;
  std::size_t malformedCount = 0;
  std::vector<std::size_t> firstMalformed;  // line numbers, the first few
};

// At most two points a bucket (its lowest and highest), in time order: what a chart of
// `buckets` pixels can show of any number of points.
std::vector<TelemetryPoint> decimate(std::span<const TelemetryPoint> points, std::size_t buckets);

// A UTC time in milliseconds since 1970 (years 1900-2100, as records hold) as time form `form`
// ("%04d/%02d/%02d ..."), for axes.
std::string utcTimeText(double utcMs, int form);

// A hovered point, its time as the reports write it: "3.769 [V] at 2026/12/06 18:25:28:123 UTC".
std::string pointText(const TelemetrySeries& series, const TelemetryPoint& point);

}  // namespace quillon
