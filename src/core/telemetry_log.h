// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kept log and the telemetry read back from it.
//
//   check --checkTexts--> report (result box) + JSON Lines record --appendLogLine--> log file
//   log or any JSON Lines file --Telemetry::addLine--> engineering values per field over UTC
//
// The record is the one quillon-decode --json writes, from the check's own clock reading,
// so a report and its record always carry the same time.

#include <cstddef>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/report.h"

namespace quillon {

// The log's file name in the user's data folder.
inline constexpr std::string_view kLogFileName = "checks.jsonl";

struct CheckTexts {
  std::string report;
  std::string record;  // one line, LF-terminated
};

// The report and the log record of one check; nullopt when the length is wrong.
std::optional<CheckTexts> checkTexts(FrameKind kind, std::string_view typed, const stm::ClockReading& reading,
                                     LineEnd end);

// Appends `line` to the file at `path` (its folder is made when missing) and hands it to
// the disk before returning. Empty on success, else why it failed.
std::string appendLogLine(const std::string& path, std::string_view line);

// What the operator is told, once, when the log cannot be written.
std::string logFailureText(const std::string& path, const std::string& reason);

// Milliseconds since 1970 of "2026-12-06T18:25:28.123Z"; nullopt for any other form.
std::optional<double> isoUtcMilliseconds(std::string_view iso);

struct TelemetryPoint {
  double utcMs;
  double value;
};

// One engineering field of one frame kind, point by point.
struct TelemetrySeries {
  FrameKind kind;
  const FieldRow* row;
  std::vector<TelemetryPoint> points;
  std::string name() const;  // "voltage of battery [V]"
};

class Telemetry {
 public:
  Telemetry();  // one empty series for every engineering field of every frame

  // One JSON Lines record; blank lines are skipped. A line that is not a record of a
  // known frame with its UTC time is counted as malformed and skipped.
  void addLine(std::string_view line);
  void read(std::istream& in);
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

// A UTC time in milliseconds since 1970 as time form `form` ("%04d/%02d/%02d ..."), for axes.
std::string utcTimeText(double utcMs, int form);

// A hovered point, its time as the reports write it: "3.769 [V] at 2026/12/06 18:25:28:123 UTC".
std::string pointText(const TelemetrySeries& series, const TelemetryPoint& point);

}  // namespace quillon
