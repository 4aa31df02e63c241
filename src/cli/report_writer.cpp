#include "cli/report_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>

#include "hk/letters.h"

namespace quillon::cli {

namespace {

using Json = nlohmann::ordered_json;  // keeps the fields in report order

bool isAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long long secondsOf(const stm::CalendarTime& t) {
  return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600LL + t.minute * 60LL + t.second;
}

std::string isoText(const stm::CalendarTime& t, const char* zone) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%s", t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.millisecond, zone);
  return text;
}

Json fieldValue(const Field& field) {
  switch (field.form) {
    case FieldForm::Engineering: return field.engineering;
    case FieldForm::Count: return field.count;
    case FieldForm::State: break;
  }
  return std::string(field.state);
}

}  // namespace

stm::ClockSource millisecondCachedSystemClock() {
  struct Cache {
    std::chrono::sys_time<std::chrono::milliseconds> at{};
    bool valid = false;
    stm::ClockReading reading;
  };
  auto cache = std::make_shared<Cache>();
  return [cache] {
    const auto now = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
    if (!cache->valid || now != cache->at) {
      cache->reading = stm::readingAt(now);
      cache->at = now;
      cache->valid = true;
    }
    return cache->reading;
  };
}

ReportWriter::ReportWriter(FrameKind kind, OutputForm form, stm::ClockSource clock)
    : kind(kind), form(form), clock(std::move(clock)) {}

bool ReportWriter::append(std::string_view typed, std::string& out) {
  // An invalid byte is one letter and shows as one U+FFFD: counted, never dropped.
  std::string sanitized;
  std::string_view data = typed;
  if (isAscii(typed)) {
    letters.assign(typed.begin(), typed.end());  // no allocation per frame in long logs
  } else {
    sanitized = sanitizeUtf8(typed);
    data = sanitized;
    letters = toLetters(data);
  }
  if (letters.size() != rule().letters) return false;
  readClock();
  if (form == OutputForm::Json) {
    appendJson(data, letters, out);
  } else {
    appendText(data, letters, out);
  }
  return true;
}

void ReportWriter::readClock() {
  const stm::ClockReading now = clock();
  if (haveReading && now.utc == reading.utc && now.local == reading.local) return;
  reading = now;
  haveReading = true;
  if (form == OutputForm::Json) {
    utcIso = isoUtcText(now.utc);
    localIso = isoLocalText(now);
    return;
  }
  // The core's header with empty data ends in "Data = " and "\r\n\r\n"; a frame's data
  // goes in between, so the start is built once per reading.
  const auto snapshot = stm::ClockSnapshot::Read(stm::fixedClock(now));
  const std::string header = reportHeader(kind, "", snapshot);
  headerStart.clear();
  appendLines(headerStart, std::string_view(header).substr(0, header.size() - 4),
              form == OutputForm::TextCrLf);
}

void ReportWriter::appendText(std::string_view data, std::u32string_view frame, std::string& out) {
  const bool crlf = form == OutputForm::TextCrLf;
  out += headerStart;
  out += data;
  out += crlf ? "\r\n\r\n" : "\n\n";
  appendLines(out, reportBody(decodeFrame(kind, frame)), crlf);
}

// Single frames: {"kind", "data", "utc", "local", "fields": {...}, "notAnalyzed": [...]};
// the combined frame nests one such "fields"/"notAnalyzed" pair under each group name.
void ReportWriter::appendJson(std::string_view data, std::u32string_view frame, std::string& out) {
  Json report = {
      {"kind", std::string(rule().name)}, {"data", std::string(data)}, {"utc", utcIso}, {"local", localIso}};
  const std::vector<FieldGroup> groups = decodeFrame(kind, frame);
  Json fields = Json::object();
  Json missing = Json::array();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const FieldGroup& group = groups[i];
    for (const Field& field : group.fields) {
      if (field.analyzed) {
        fields[std::string(field.key)] = fieldValue(field);
      } else {
        missing.push_back(std::string(field.key));
      }
    }
    const bool blockEnds = i + 1 == groups.size() || groups[i + 1].name != group.name;
    if (!blockEnds) continue;
    if (group.name.empty()) {
      report["fields"] = std::move(fields);
      report["notAnalyzed"] = std::move(missing);
    } else {
      report[std::string(group.name)] = {{"fields", std::move(fields)}, {"notAnalyzed", std::move(missing)}};
    }
    fields = Json::object();
    missing = Json::array();
  }
  out += report.dump(-1, ' ', false, Json::error_handler_t::replace);
  out += '\n';
}

void appendLines(std::string& out, std::string_view crlfText, bool crlf) {
  if (crlf) {
    out += crlfText;
    return;
  }
  for (;;) {
    const void* cr = std::memchr(crlfText.data(), '\r', crlfText.size());
    if (cr == nullptr) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - crlfText.data());
    const bool lineEnd = at + 1 < crlfText.size() && crlfText[at + 1] == '\n';
    out.append(crlfText.data(), lineEnd ? at : at + 1);  // a CR of a line end is left out
    crlfText.remove_prefix(at + 1);
  }
  out += crlfText;
}

std::string isoUtcText(const stm::CalendarTime& utc) { return isoText(utc, "Z"); }

std::string isoLocalText(const stm::ClockReading& reading) {
  const long long offset = secondsOf(reading.local) - secondsOf(reading.utc);
  const long long size = std::llabs(offset);
  char zone[32];
  int n = std::snprintf(zone, sizeof zone, "%c%02lld:%02lld", offset < 0 ? '-' : '+', size / 3600,
                        size % 3600 / 60);
  if (size % 60 != 0) std::snprintf(zone + n, sizeof zone - n, ":%02lld", size % 60);
  return isoText(reading.local, zone);
}

}  // namespace quillon::cli
