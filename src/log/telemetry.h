// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telemetry read back from the kept log, or from any JSON Lines file quillon-decode wrote,
// for the chart:
//
//   JSON Lines record --Telemetry::addLine--> numeric values per field over UTC
//   files and new checks --TelemetrySources--> one set of series, each record once
//   series --decimate--> at most two points a pixel
//
// Every field with a number charts: engineering values on the axis of their unit, counts
// on one of their own (seconds for the periods). A field of a status word is one series
// whether its record held that word alone or both words ("satpda").
//
// A record is taken only when a frame could have given it: its time within the clock's
// years (1900-2100) and every value one its field's bits can give. Anything else is a
// malformed line, counted, so an absurd record can neither skew the chart nor overflow a
// time.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/frame.h"

namespace quillon {

// Milliseconds since 1970 of "2026-12-06T18:25:28.123Z"; nullopt for any other form and
// for a year outside 1900..2100.
std::optional<double> isoUtcMilliseconds(std::string_view iso);

// The value axis a field charts on: the unit its row prints ("[V]", "['C]", "[A]"), "[sec]"
// for a count of seconds ("FM packet interval(sec)"), "count" for any other count; empty
// for a state, which does not chart.
std::string chartUnit(const FieldRow& row);

struct TelemetryPoint {
  double utcMs;
  double value;
};

// One numeric field, point by point.
struct TelemetrySeries {
  const FieldRow* row;
  std::vector<const FrameRule*> frames;  // the frames that carry it
  std::string unit;                      // chartUnit(*row)
  std::vector<TelemetryPoint> points;
  double lowest, highest;    // what the row gives over every raw value
  std::size_t records = 0;   // records of its frames, with its value or without
  std::string name() const;  // "voltage of battery [V]", "number of pictures"
};

// Why a series has no point: "no House Keeping record yet", "not analyzed in any of its
// 73 records".
std::string noPointsReason(const TelemetrySeries& series);

class Telemetry {
 public:
  Telemetry();  // one empty series for every numeric field of every frame, in list order

  // One JSON Lines record; blank lines are skipped. A line that is not a record of a
  // known frame with its UTC time, or whose time or values no frame could give, is
  // counted as malformed and skipped.
  void addLine(std::string_view line);
  // Every line of the file at `path`, until `stop` answers true. Only a regular file is
  // read, opened without waiting: a FIFO or a device never blocks the reader. Empty on
  // success, else why the file could not be read.
  std::string readFile(const std::string& path, const std::function<bool()>& stop = {});
  // Another source's points and counts; both in time order, the points stay so.
  void merge(const Telemetry& other);
  void sortByTime();
  // True when a record of the same frame, time and letters as `line` was taken.
  bool holds(std::string_view line) const;

  const std::vector<TelemetrySeries>& series() const { return all; }
  std::size_t records() const { return recordCount; }
  std::size_t malformed() const { return malformedCount; }
  // "1,204 records; 2 malformed lines skipped (lines 3, 7)"; "no records", "90 records,
  // none with a value to plot" say why nothing plots.
  std::string note() const;

 private:
  using RecordKey = std::pair<double, std::size_t>;  // time, hash of frame and letters
  std::vector<TelemetrySeries> all;
  std::vector<RecordKey> keys;
  std::size_t lines = 0;
  std::size_t recordCount = 0;
  std::size_t malformedCount = 0;
  std::vector<std::size_t> firstMalformed;  // line numbers, the first few
};

// What the chart shows: each file as last read (read again, it replaces what it gave) and
// the checks made since, a check counted once when a file read holds it too.
class TelemetrySources {
 public:
  // A file's read, in time order; `error` says why it could not be read.
  void setFile(const std::string& path, Telemetry read, const std::string& error = {});
  void addCheck(std::string_view record);
  const Telemetry& all() const { return merged; }
  // One line a file, "checks.jsonl: 73 records", then "new checks: 2 records".
  std::string note() const;

 private:
  void rebuild();
  struct File {
    std::string path;
    Telemetry read;
    std::string error;
  };
  std::vector<File> files;
  std::vector<std::string> checks;  // those no file read holds
  Telemetry checkRecords;
  Telemetry merged;
};

// At most two points a bucket (its lowest and highest), in time order: what a chart of
// `buckets` pixels can show of any number of points.
std::vector<TelemetryPoint> decimate(std::span<const TelemetryPoint> points, std::size_t buckets);

// A UTC time in milliseconds since 1970 (years 1900-2100, as records hold) as time form `form`
// ("%04d/%02d/%02d ..."), for axes.
std::string utcTimeText(double utcMs, int form);

// A hovered point, its time as the reports write it: "3.769 [V] at 2026/12/06 18:25:28:123 UTC",
// a count as a whole number.
std::string pointText(const TelemetrySeries& series, const TelemetryPoint& point);

}  // namespace quillon
