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

std::string chartUnit(const FieldRow& row) {
  if (row.form == FieldForm::Engineering)
    return std::string(row.unit.substr(row.unit.find_first_not_of(' ')));
  if (row.form == FieldForm::State) return {};
  return row.label.find("(sec)") != std::string_view::npos ? "[sec]" : "count";
}

std::string TelemetrySeries::name() const { return fieldName(*row) + std::string(row->unit); }

std::string noPointsReason(const TelemetrySeries& series) {
  if (series.records == 1) return "not analyzed in its one record";
  if (series.records > 1) return "not analyzed in any of its " + std::to_string(series.records) + " records";
  std::string frames;
  for (const FrameRule* frame : series.frames)
    frames += (frames.empty() ? "" : " or ") + std::string(frame->label);
  return "no " + frames + " record yet";
}

namespace {

// Where a record holds a number: the word's key ("satellite"; empty in a frame of one
// word) and the field's key.
struct Place {
  std::string_view word, key;
  bool operator==(const Place&) const = default;
};

// A numeric field of a frame: where records hold it, and its series.
struct Charted {
  std::size_t place;
  std::size_t series;
};

struct Layout {
  std::vector<TelemetrySeries> series;     // one for each numeric row, however many frames carry it
  std::vector<std::vector<Charted>> rows;  // for each frame of the list
  std::vector<Place> places;               // of every frame
};

// Every numeric field of every frame, with the values its bits can give: worked out once,
// from the rows themselves.
const Layout& layout() {
  static const Layout all = [] {
    Layout out;
    for (const FrameRule* frame : allFrames()) {
      auto& charted = out.rows.emplace_back();
      for (const FieldGroup& group : frame->groups) {
        for (const FieldRow& row : group.rows) {
          if (chartUnit(row).empty()) continue;
          auto same = std::find_if(out.series.begin(), out.series.end(),
                                   [&](const auto& s) { return s.row == &row; });
          if (same == out.series.end()) {
            double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
            for (std::uint64_t raw = 0; raw >> row.bits.width == 0; ++raw) {
              const double value = row.form == FieldForm::Engineering
                                       ? row.formula(static_cast<std::uint32_t>(raw))
                                   : row.counts.empty()      ? static_cast<double>(raw)
                                   : raw < row.counts.size() ? row.counts[raw]
                                                             : lowest;  // past the table: no number
              if (std::isinf(value)) continue;
              lowest = std::min(lowest, value);
              highest = std::max(highest, value);
            }
            same = out.series.insert(out.series.end(), {&row, {}, chartUnit(row), {}, lowest, highest});
          }
          if (same->frames.empty() || same->frames.back() != frame) same->frames.push_back(frame);
          const Place place{group.block ? group.block->key : std::string_view(), row.key};
          auto at = std::find(out.places.begin(), out.places.end(), place);
          if (at == out.places.end()) at = out.places.insert(at, place);
          charted.push_back({static_cast<std::size_t>(at - out.places.begin()),
                             static_cast<std::size_t>(same - out.series.begin())});
        }
      }
    }
    return out;
  }();
  return all;
}

const std::vector<Charted>& chartedRows(const FrameRule& rule) {
  const auto frames = allFrames();
  return layout()
      .rows[static_cast<std::size_t>(std::find(frames.begin(), frames.end(), &rule) - frames.begin())];
}

// What a field can hold: a value its bits give; a count is one of its table's entries.
bool fits(const TelemetrySeries& series, double value) {
  if (!(value >= series.lowest && value <= series.highest)) return false;  // not finite, or out of range
  const FieldRow& row = *series.row;
  if (row.form != FieldForm::Count) return true;
  return value == std::floor(value) &&
         (row.counts.empty() || std::find(row.counts.begin(), row.counts.end(), value) != row.counts.end());
}

// What the chart reads of a record, taken while its line is parsed: no document is built,
// which makes reading a long log several times quicker.
class RecordScan final : public nlohmann::json_sax<nlohmann::json> {
 public:
  explicit RecordScan(std::string_view line) : values(layout().places.size()) {
    sound = nlohmann::json::sax_parse(line.begin(), line.end(), this) && isRecord;
    if (sound && rule && !data.empty())
      identity = std::hash<std::string_view>()(rule->name) ^ std::hash<std::string>()(data);
  }

  bool sound = false;  // a JSON object
  const FrameRule* rule = nullptr;
  std::optional<double> utc;
  std::size_t identity = 0;                   // hash of frame and letters
  std::vector<std::optional<double>> values;  // at each place

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t n) override { return take(static_cast<double>(n)); }
  bool number_unsigned(number_unsigned_t n) override { return take(static_cast<double>(n)); }
  bool number_float(number_float_t n, const string_t&) override { return take(n); }
  bool string(string_t& text) override { return take(text); }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return open(true); }
  bool key(string_t& name) override { return lastKey = name, true; }
  bool end_object() override { return levels.pop_back(), true; }
  bool start_array(std::size_t) override { return open(false); }
  bool end_array() override { return levels.pop_back(), true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  enum class In { Record, Word, Fields, Other };
  struct Level {
    In in;
    std::string_view word;  // Word, Fields: the word's key
  };

  bool take(const std::string& text) {
    if (levels.size() != 1) return true;
    if (lastKey == "kind") rule = frameNamed(text);
    if (lastKey == "utc") utc = isoUtcMilliseconds(text);
    if (lastKey == "data") data = text;
    return true;
  }
  bool take(double number) {
    if (levels.empty() || levels.back().in != In::Fields) return true;
    const auto& places = layout().places;
    const auto at = std::find(places.begin(), places.end(), Place{levels.back().word, lastKey});
    if (at != places.end()) values[static_cast<std::size_t>(at - places.begin())] = number;
    return true;
  }
  bool open(bool object) {
    In in = In::Other;
    std::string_view word;
    if (levels.empty()) {
      isRecord = object;
      in = In::Record;
    } else if (object && lastKey == "fields" &&
               (levels.back().in == In::Record || levels.back().in == In::Word)) {
      in = In::Fields;
      word = levels.back().word;
    } else if (object && levels.back().in == In::Record) {
      for (const Place& place : layout().places) {
        if (!place.word.empty() && place.word == lastKey) in = In::Word, word = place.word;
      }
    }
    levels.push_back({in, word});
    return true;
  }

  std::vector<Level> levels;
  std::string lastKey, data;
  bool isRecord = false;
};

bool earlier(const TelemetryPoint& a, const TelemetryPoint& b) { return a.utcMs < b.utcMs; }

}  // namespace

Telemetry::Telemetry() : all(layout().series) {}

void Telemetry::addLine(std::string_view line) {
  ++lines;
  if (line.find_first_not_of(" \t\r") == std::string_view::npos) return;
  const RecordScan record(line);
  // The record's values, all kept or none: one its field cannot hold makes the line malformed.
  bool sound = record.sound && record.rule && record.utc;
  static const std::vector<Charted> kNone;
  const std::vector<Charted>& charted = sound ? chartedRows(*record.rule) : kNone;
  for (const Charted& field : charted) {
    const auto& value = record.values[field.place];
    sound = sound && (!value || fits(all[field.series], *value));
  }
  if (!sound) {
    ++malformedCount;
    if (firstMalformed.size() < 5) firstMalformed.push_back(lines);
    return;
  }
  ++recordCount;
  for (const Charted& field : charted) {
    ++all[field.series].records;
    if (const auto& value = record.values[field.place])
      all[field.series].points.push_back({*record.utc, *value});
  }
  keys.emplace_back(*record.utc, record.identity);
}

bool Telemetry::holds(std::string_view line) const {
  const RecordScan record(line);
  return record.sound && record.utc &&
         std::binary_search(keys.begin(), keys.end(), RecordKey(*record.utc, record.identity));
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
    std::inplace_merge(points.begin(), middle, points.end(), earlier);
    all[i].records += other.all[i].records;
  }
  const auto middle = keys.insert(keys.end(), other.keys.begin(), other.keys.end());
  std::inplace_merge(keys.begin(), middle, keys.end());
  recordCount += other.recordCount;
  malformedCount += other.malformedCount;
}

void Telemetry::sortByTime() {
  for (TelemetrySeries& series : all) {
    if (!std::is_sorted(series.points.begin(), series.points.end(), earlier)) {
      std::stable_sort(series.points.begin(), series.points.end(), earlier);
    }
  }
  if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
}

std::string Telemetry::note() const {
  std::string out = recordCount == 0
                        ? "no records"
                        : std::to_string(recordCount) + (recordCount == 1 ? " record" : " records");
  if (recordCount && std::all_of(all.begin(), all.end(), [](const auto& s) { return s.points.empty(); })) {
    out += ", none with a value to plot";
  }
  if (malformedCount == 0) return out;
  out += "; " + std::to_string(malformedCount) +
         (malformedCount == 1 ? " malformed line" : " malformed lines") + " skipped (line";
  out += firstMalformed.size() == 1 ? " " : "s ";
  for (std::size_t i = 0; i < firstMalformed.size(); ++i)
    out += (i ? ", " : "") + std::to_string(firstMalformed[i]);
  return out + (malformedCount > firstMalformed.size() ? ", ...)" : ")");
}

void TelemetrySources::setFile(const std::string& path, Telemetry read, const std::string& error) {
  read.sortByTime();
  const auto same =
      std::find_if(files.begin(), files.end(), [&](const File& file) { return file.path == path; });
  if (same == files.end()) {
    files.push_back({path, std::move(read), error});
  } else {
    *same = {path, std::move(read), error};
  }
  rebuild();
}

void TelemetrySources::addCheck(std::string_view record) {
  if (std::any_of(files.begin(), files.end(), [&](const File& file) { return file.read.holds(record); }))
    return;
  Telemetry one;
  one.addLine(record);
  checks.emplace_back(record);
  checkRecords.merge(one);
  merged.merge(one);
}

void TelemetrySources::rebuild() {
  std::erase_if(checks, [this](const std::string& check) {
    return std::any_of(files.begin(), files.end(), [&](const File& file) { return file.read.holds(check); });
  });
  checkRecords = Telemetry();
  for (const std::string& check : checks) checkRecords.addLine(check);
  checkRecords.sortByTime();
  merged = Telemetry();
  for (const File& file : files) merged.merge(file.read);
  merged.merge(checkRecords);
}

std::string TelemetrySources::note() const {
  std::string out;
  for (const File& file : files) {
    out += (out.empty() ? "" : "\n") + file.path.substr(file.path.rfind('/') + 1) + ": " +
           (file.error.empty() ? file.read.note() : "not read (" + file.error + ")");
  }
  if (checkRecords.records())
    out += (out.empty() ? "" : "\n") + std::string("new checks: ") + checkRecords.note();
  return out;
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
  const std::chrono::system_clock::time_point at{
      std::chrono::milliseconds(static_cast<long long>(std::floor(utcMs)))};
  return stm::timeText(stm::readingAt(at).utc, form);
}

std::string pointText(const TelemetrySeries& series, const TelemetryPoint& point) {
  char value[400];  // "%.3lf" in every locale, as the reports print it; a count "%d"
  const int decimals = series.row->form == FieldForm::Count ? 0 : 3;
  const std::string shown(
      value, std::to_chars(value, value + sizeof value, point.value, std::chars_format::fixed, decimals).ptr);
  return shown + std::string(series.row->unit) + " at " + utcTimeText(point.utcMs, 1) + " UTC";
}

}  // namespace quillon
