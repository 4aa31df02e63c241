// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/telemetry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>

#include "core/hint.h"
#include "frames/framelist.h"
#include "time/clocksnapshot.h"
#include "time/juliandate.h"

namespace quillon {

std::optional<double> isoUtcMilliseconds(std::string_view iso) {
  // YYYY-MM-DDThh:mm:ss.mmmZ
  constexpr std::string_view kForm = "dddd-dd-ddTdd:dd:dd.dddZ";
  if (iso.size() != kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digit = iso[i] >= '0' && iso[i] <= '9';
    if (kForm[i] == 'd' ? !digit : iso[i] != kForm[i]) return std::nullopt;
  }
  const auto number = [&](std::size_t at, std::size_t width) {
    int n = 0;
    for (std::size_t i = at; i < at + width; ++i) n = n * 10 + (iso[i] - '0');
    return n;
  };
  if (!stm::IsValidYear(number(0, 4))) return std::nullopt;  // the clock's own years
  using namespace std::chrono;
  const year_month_day date{year(number(0, 4)), month(static_cast<unsigned>(number(5, 2))),
                            day(static_cast<unsigned>(number(8, 2)))};
  if (!date.ok() || number(11, 2) > 23 || number(14, 2) > 59 || number(17, 2) > 60) return std::nullopt;
  const auto t = sys_days(date) + hours(number(11, 2)) + minutes(number(14, 2)) + seconds(number(17, 2)) +
                 milliseconds(number(20, 3));
  return static_cast<double>(duration_cast<milliseconds>(t.time_since_epoch()).count());
}

std::string TelemetrySeries::name() const { return fieldName(*row) + std::string(row->unit); }

namespace {

// Every engineering field of every frame, with the values its formula can give: worked out
// once, from the rows themselves.
const std::vector<TelemetrySeries>& noPoints() {
  static const std::vector<TelemetrySeries> all = [] {
    std::vector<TelemetrySeries> series;
    for (const FrameRule* frame : allFrames()) {
      for (const FieldGroup& group : frame->groups) {
        for (const FieldRow& row : group.rows) {
          if (row.form != FieldForm::Engineering) continue;
          double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
          for (std::uint64_t raw = 0; raw >> row.bits.width == 0; ++raw) {
            lowest = std::min(lowest, row.formula(static_cast<std::uint32_t>(raw)));
            highest = std::max(highest, row.formula(static_cast<std::uint32_t>(raw)));
          }
          series.push_back({frame, &row, {}, lowest, highest});
        }
      }
    }
    return series;
  }();
  return all;
}

}  // namespace

Telemetry::Telemetry() : all(noPoints()) {}

void Telemetry::addLine(std::string_view line) {
  ++lines;
  if (line.find_first_not_of(" \t\r") == std::string_view::npos) return;
  const auto record = nlohmann::json::parse(line, nullptr, false);
  const FrameRule* rule = nullptr;
  std::optional<double> utc;
  if (record.is_object()) {
    const auto kind = record.find("kind");
    const auto time = record.find("utc");
    if (kind != record.end() && kind->is_string()) rule = frameNamed(kind->get_ref<const std::string&>());
    if (time != record.end() && time->is_string()) utc = isoUtcMilliseconds(time->get_ref<const std::string&>());
  }
  // The record's values, all kept or none: one its field cannot hold makes the line malformed.
  bool sound = rule && utc;
  std::vector<std::pair<TelemetrySeries*, double>> values;
  const auto fields = sound ? record.find("fields") : record.end();
  for (TelemetrySeries& series : all) {
    if (series.frame != rule || fields == record.end() || !fields->is_object()) continue;
    const auto value = fields->find(std::string(series.row->key));
    if (value == fields->end() || !value->is_number()) continue;
    const double number = value->get<double>();
    if (!(number >= series.lowest && number <= series.highest)) sound = false;  // not finite, or out of range
    values.emplace_back(&series, number);
  }
  if (!sound) {
    ++malformedCount;
    if (firstMalformed.size() < 5) firstMalformed.push_back(lines);
    return;
  }
  ++recordCount;
  for (const auto& [series, number] : values) series->points.push_back({*utc, number});
}

std::string Telemetry::readFile(const std::string& path, const std::function<bool()>& stop) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat file {};
  std::FILE* in = ::fstat(fd, &file) == 0 && S_ISREG(file.st_mode) ? ::fdopen(fd, "r") : nullptr;
  if (!in) {
    ::close(fd);
    return "not a regular file";
  }
  char* text = nullptr;
  std::size_t capacity = 0;
  for (ssize_t n; !(stop && stop()) && (n = ::getline(&text, &capacity, in)) >= 0;) {
    addLine(std::string_view(text, static_cast<std::size_t>(n) - (n > 0 && text[n - 1] == '\n')));
  }
  const int error = std::ferror(in) ? errno : 0;
  std::free(text);
  std::fclose(in);
  return error ? std::strerror(error) : "";
}

void Telemetry::merge(const Telemetry& other) {
  for (std::size_t i = 0; i < all.size(); ++i) {
    auto& points = all[i].points;
    const auto middle = points.insert(points.end(), other.all[i].points.begin(), other.all[i].points.end());
    std::inplace_merge(points.begin(), middle, points.end(),
                       [](const TelemetryPoint& a, const TelemetryPoint& b) { return a.utcMs < b.utcMs; });
  }
  recordCount += other.recordCount;
  malformedCount += other.malformedCount;
}

void Telemetry::sortByTime() {
  for (TelemetrySeries& series : all) {
    std::stable_sort(series.points.begin(), series.points.end(),
                     [](const TelemetryPoint& a, const TelemetryPoint& b) { return a.utcMs < b.utcMs; });
  }
}

std::string Telemetry::note() const {
  std::string out = std::to_string(recordCount) + (recordCount == 1 ? " record" : " records");
  if (malformedCount == 0) return out;
  out += "; " + std::to_string(malformedCount) + (malformedCount == 1 ? " malformed line" : " malformed lines") +
         " skipped (line";
  out += firstMalformed.size() == 1 ? " " : "s ";
  for (std::size_t i = 0; i < firstMalformed.size(); ++i) out += (i ? ", " : "") + std::to_string(firstMalformed[i]);
  return out + (malformedCount > firstMalformed.size() ? ", ...)" : ")");
}

std::vector<TelemetryPoint> decimate(std::span<const TelemetryPoint> points, std::size_t buckets) {
  if (buckets == 0 || points.size() <= 2 * buckets) return {points.begin(), points.end()};
  std::vector<TelemetryPoint> out;
  out.reserve(2 * buckets);
  const double first = points.front().utcMs;
  const double span = std::max(points.back().utcMs - first, 1.0);
  std::size_t begin = 0;
  while (begin < points.size()) {
    const auto bucket = static_cast<std::size_t>((points[begin].utcMs - first) / span * (buckets - 1));
    std::size_t end = begin, low = begin, high = begin;
    while (end < points.size() &&
           static_cast<std::size_t>((points[end].utcMs - first) / span * (buckets - 1)) == bucket) {
      if (points[end].value < points[low].value) low = end;
      if (points[end].value > points[high].value) high = end;
      ++end;
    }
    out.push_back(points[std::min(low, high)]);
    if (low != high) out.push_back(points[std::max(low, high)]);
    begin = end;
  }
  return out;
}

std::string utcTimeText(double utcMs, int form) {
  const std::chrono::system_clock::time_point at{std::chrono::milliseconds(static_cast<long long>(std::floor(utcMs)))};
  return stm::timeText(stm::readingAt(at).utc, form);
}

std::string pointText(const TelemetrySeries& series, const TelemetryPoint& point) {
  char value[400];  // "%.3lf" in every locale, as the reports print it
  const std::string shown(value, std::to_chars(value, value + sizeof value, point.value, std::chars_format::fixed, 3).ptr);
  return shown + std::string(series.row->unit) + " at " + utcTimeText(point.utcMs, 1) + " UTC";
}

}  // namespace quillon
