// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/check.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "core/csv.h"
#include "core/json.h"
#include "core/letters.h"

namespace quillon {

namespace {

// Fields up to this many bits keep their texts; wider ones are written for every frame.
constexpr unsigned kKeptBits = 12;

void appendInteger(std::string& out, long long value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// "Unknown (12)": a value past its row's table.
void appendUnknown(std::string& out, const Field& field) {
  out += field.row->unknown;
  out += " (";
  appendInteger(out, field.raw);
  out += ')';
}

}  // namespace

void appendFieldValue(std::string& out, const Field& field) {
  // to_chars prints exactly what printf's "%.3lf" and "%d" print, in every locale.
  if (!isKnownValue(field)) return appendUnknown(out, field);
  switch (field.row->form) {
    case FieldForm::Engineering: {
      char number[400];
      const double value = engineeringValue(field);
      out.append(number, std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 3).ptr);
      break;
    }
    case FieldForm::Count: appendInteger(out, countValue(field)); break;
    case FieldForm::State: out += stateText(field); break;
  }
}

void Check::Builder::grow(std::size_t more) {
  const std::size_t used = static_cast<std::size_t>(at - room.data());
  room.resize(2 * room.size() + more);
  at = room.data() + used;
}

Check::Check(const FrameRule& rule) : frame(rule), arena(Builder::kShort, '\0') {
  rows.resize(fieldCount(rule));
  std::size_t i = 0;
  const Block* block = nullptr;
  for (const FieldGroup& group : rule.groups) {
    for (const FieldRow& row : group.rows) {
      RowTexts& place = rows[i];
      std::string key;
      appendJsonString(key, row.key);
      place.missingKey = keep(key);
      place.startsBlock = i == 0 || group.block != block;
      place.endsGroup = &row == &group.rows.back();
      place.isKept = row.bits.width <= kKeptBits;
      for (std::uint32_t& at : place.keptAt) {
        at = static_cast<std::uint32_t>(kept.size());
        if (place.isKept) kept.resize(kept.size() + (std::size_t{1} << row.bits.width));
      }
      block = group.block;
      ++i;
    }
  }
  recordStart = R"({"kind":)";
  appendJsonString(recordStart, rule.name);
  recordStart += R"(,"data":)";
}

bool Check::decode(std::string_view typed) {
  // Printable ASCII, the common case, is one letter a byte and shown as typed.
  const bool plain = isPrintableAscii(typed);
  if (plain) {
    letters.resize(typed.size());
    std::copy(typed.begin(), typed.end(), letters.begin());
  } else {
    toLetters(typed, letters);
  }
  shownText.clear();
  if (!decodeFrame(frame, letters, decoded)) return false;
  if (plain) {
    shownText = typed;
  } else {
    appendShownText(shownText, typed);
  }
  return true;
}

void Check::useReading(const stm::ClockReading& now) {
  if (haveReading && now.utc == reading.utc && now.local == reading.local) return;
  reading = now;
  haveReading = true;
  header[0].clear();
  header[1].clear();
  utcIso.clear();
}

void Check::useIsoTimes(const stm::ClockReading& now) {
  useReading(now);
  if (!utcIso.empty()) return;
  utcIso = stm::isoUtcText(reading.utc);
  localIso = stm::isoLocalText(reading);
  recordTimes = R"(,"utc":)";
  appendJsonString(recordTimes, utcIso);
  recordTimes += R"(,"local":)";
  appendJsonString(recordTimes, localIso);
}

void Check::writeFieldText(std::string& out, const Field& field, Form form) {
  const FieldRow& row = *field.row;
  switch (form) {
    case ReportLf:
    case ReportCrLf:
      out += row.label;
      appendFieldValue(out, field);
      out += row.unit;
      out += lineEnd(form == ReportLf ? LineEnd::Lf : LineEnd::CrLf);
      break;
    case JsonMember:
      appendJsonString(out, row.key);
      out += ':';
      if (row.form == FieldForm::Engineering) {
        appendJsonNumber(out, engineeringValue(field));
      } else if (row.form == FieldForm::Count && isKnownValue(field)) {
        appendInteger(out, countValue(field));
      } else {
        std::string text;
        appendFieldValue(text, field);
        appendJsonString(out, text);
      }
      break;
    case CsvCell:
      if (row.form == FieldForm::Engineering) {
        appendJsonNumber(out, engineeringValue(field));
      } else {
        std::string text;
        appendFieldValue(text, field);
        appendCsvCell(out, text);
      }
      break;
    case kForms: break;
  }
}

Check::Text Check::keep(std::string_view text) {
  arena.resize(arena.size() - Builder::kShort);
  const Text kept{static_cast<std::uint32_t>(arena.size()), static_cast<std::uint32_t>(text.size())};
  arena += text;
  arena.append(Builder::kShort, '\0');
  return kept;
}

// The text of analysed field i, written once for each raw value it takes.
void Check::putFieldText(std::size_t i, Form form) {
  const Field& field = decoded[i];
  if (!rows[i].isKept) {
    wide.clear();
    writeFieldText(wide, field, form);
    return built.put(wide);
  }
  Text& text = kept[rows[i].keptAt[form] + field.raw];
  if (text.at == Text::kNotReady) {
    std::string written;
    writeFieldText(written, field, form);
    text = keep(written);
  }
  built.putPadded(textOf(text));
}

void Check::appendReport(std::string& out, const stm::ClockReading& now, LineEnd end) {
  useReading(now);
  std::string& start = header[end == LineEnd::CrLf];
  if (start.empty()) {
    start += frame.title;
    start += lineEnd(end);
    start += "UTC : ";
    start += stm::timeText(reading.utc, 1);
    start += lineEnd(end);
    start += "LocalTime : ";
    start += stm::timeText(reading.local, 1);
    start += lineEnd(end);
    start += "Data = ";
  }
  const std::string_view eol = lineEnd(end);
  const Form form = end == LineEnd::CrLf ? ReportCrLf : ReportLf;
  built.start();
  built.put(start);
  built.put(shownText);
  built.put(eol);
  built.put(eol);
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i].analyzed) putFieldText(i, form);
    if (rows[i].endsGroup) built.put(eol);
  }
  built.flushTo(out);
}

void Check::appendRecord(std::string& out, const stm::ClockReading& now, std::string_view more) {
  useIsoTimes(now);
  built.start();
  built.put(recordStart);
  json.clear();
  appendJsonString(json, shownText);
  built.put(json);
  built.put(recordTimes);
  // Each word's fields, then the keys it left out.
  for (std::size_t first = 0, end = 0; first < decoded.size(); first = end) {
    for (end = first + 1; end < decoded.size() && !rows[end].startsBlock;) ++end;
    const Block* block = decoded[first].group->block;
    built.put(',');
    if (block) {
      json.clear();
      appendJsonString(json, block->key);
      built.put(json);
      built.put(":{");
    }
    built.put(R"("fields":{)");
    bool none = true;
    for (std::size_t i = first; i < end; ++i) {
      if (!decoded[i].analyzed) continue;
      if (!none) built.put(',');
      none = false;
      putFieldText(i, JsonMember);
    }
    built.put(R"(},"notAnalyzed":[)");
    none = true;
    for (std::size_t i = first; i < end; ++i) {
      if (decoded[i].analyzed) continue;
      if (!none) built.put(',');
      none = false;
      built.putPadded(textOf(rows[i].missingKey));
    }
    built.put(']');
    if (block) built.put('}');
  }
  if (!more.empty()) {
    built.put(',');
    built.put(more);
  }
  built.put('}');
  built.flushTo(out);
}

void Check::appendCsvHeader(std::string& out) const {
  out += "utc,local,data";
  appendCsvKeys(out);
  out += kCsvRowEnd;
}

void Check::appendCsvKeys(std::string& out, std::string_view prefix) const {
  for (const FieldGroup& group : frame.groups) {
    for (const FieldRow& row : group.rows) {
      out += ',';
      // A frame of several words has keys in more than one ("apd33VAPower"): the word keeps them apart.
      std::string key(prefix);
      if (group.block) (key += group.block->key) += '.';
      appendCsvCell(out, key += row.key);
    }
  }
}

void Check::appendCsvRow(std::string& out, const stm::ClockReading& now, std::string_view lead,
                         std::size_t before, std::size_t after) {
  useIsoTimes(now);
  json = lead;
  appendCsvCell(json, utcIso);
  json += ',';
  appendCsvCell(json, localIso);
  json += ',';
  appendCsvCell(json, shownText);
  json.append(before, ',');
  built.start();
  built.put(json);
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    built.put(',');
    if (decoded[i].analyzed) putFieldText(i, CsvCell);
  }
  for (std::size_t i = 0; i < after; ++i) built.put(',');
  built.put(kCsvRowEnd);
  built.flushTo(out);
}

std::optional<CheckTexts> checkTexts(const FrameRule& rule, std::string_view typed,
                                     const stm::ClockReading& reading, LineEnd end, std::string_view more) {
  Check check(rule);
  if (!check.decode(typed)) return std::nullopt;
  CheckTexts texts;
  check.appendReport(texts.report, reading, end);
  check.appendRecord(texts.record, reading, more);
  texts.record += '\n';
  return texts;
}

}  // namespace quillon
