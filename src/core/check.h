// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one check: typed text in; the report, the JSON Lines record and the CSV row out.
//
//   typed text --letters--> frame letters --decodeFrame--> fields --> report
//                                                                 \-> JSON record, CSV row
//
// The report: the title, "UTC : " and "LocalTime : " in time form 1, "Data = " with the
// text as shown, an empty line, then a line per analysed field, each group of fields
// closed by an empty line. Its line ends are the caller's: LF, or CR LF as the beacon
// logs keep them.
//
// The JSON Lines record:
//   {"kind", "data", "utc", "local", "fields": {key: value...}, "notAnalyzed": [key...]}
// fields in report order: engineering values as numbers at full precision, counts as
// integers, states as their texts. A frame of several words nests a "fields" and
// "notAnalyzed" pair under each word's key ("satellite", "pda") instead.
//
// The CSV row (RFC 4180, for spreadsheets): utc, local, data, then a cell per field (a word's
// keys prefixed "satellite."), as the record holds it; empty for a field not analysed.
//
// The dialog checks one frame at a time; quillon-decode checks millions through the same
// object, which keeps what stays the same from frame to frame: the texts of one clock
// reading, and the text of each field for each raw value it has taken.

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame.h"
#include "time/clocksnapshot.h"

namespace quillon {

enum class LineEnd { Lf, CrLf };

constexpr std::string_view lineEnd(LineEnd end) { return end == LineEnd::CrLf ? "\r\n" : "\n"; }

inline constexpr std::string_view kCsvRowEnd = "\r\n";

// A field's value as the report prints it: "%.3lf", "%d" or the state text.
void appendFieldValue(std::string& out, const Field& field);

class Check {
 public:
  explicit Check(const FrameRule& rule);
  const FrameRule& rule() const { return frame; }

  // Decodes a typed frame (any bytes); false, with nothing decoded, when it does not have
  // the frame's number of letters.
  bool decode(std::string_view typed);
  std::span<const Field> fields() const { return decoded; }
  const std::string& shown() const { return shownText; }  // the typed text as reports show it

  // The last frame decoded, at one clock reading, appended to `out`.
  void appendReport(std::string& out, const stm::ClockReading& reading, LineEnd end);
  // The record without a line end; `more` holds members to add at its end ("\"source\":...").
  void appendRecord(std::string& out, const stm::ClockReading& reading, std::string_view more = {});
  void appendCsvHeader(std::string& out) const;
  // The row. In a table of several frames, each in columns of its own, `lead` (cells with
  // their commas) comes first and `before` and `after` empty cells stand around the fields.
  void appendCsvRow(std::string& out, const stm::ClockReading& reading, std::string_view lead = {},
                    std::size_t before = 0, std::size_t after = 0);
  // ",<prefix><key>" for every field, a word's keys prefixed with its key.
  void appendCsvKeys(std::string& out, std::string_view prefix = {}) const;

 private:
  enum Form { ReportLf, ReportCrLf, JsonMember, CsvCell, kForms };
  struct Text {
    static constexpr std::uint32_t kNotReady = ~std::uint32_t{0};
    std::uint32_t at = kNotReady;
    std::uint32_t size = 0;
  };
  struct RowTexts {
    std::uint32_t keptAt[kForms] = {};  // where its texts start in `kept`, by raw value
    bool isKept = false;                // false for a field too wide to keep
    Text missingKey;                    // its JSON key, as "notAnalyzed" lists it
    bool endsGroup = false;
    bool startsBlock = false;
  };
  // The frame's output is built by plain copies and handed to `out` whole: a long log
  // costs a few dozen copies a frame.
  class Builder {
   public:
    static constexpr std::size_t kShort = 64;  // texts up to this long are copied in one move
    void start() { at = room.data(); }
    void put(std::string_view text) {
      if (text.size() > left()) grow(text.size());
      std::memcpy(at, text.data(), text.size());
      at += text.size();
    }
    void put(char c) { put(std::string_view(&c, 1)); }
    // A text with kShort bytes readable after its start: one fixed-size move, whatever its length.
    void putPadded(std::string_view text) {
      if (text.size() > kShort || left() < kShort) return put(text);
      std::memcpy(at, text.data(), kShort);
      at += text.size();
    }
    void flushTo(std::string& out) { out.append(room.data(), static_cast<std::size_t>(at - room.data())); }

   private:
    // Room before the last kShort bytes, which a fixed-size move may write into.
    std::size_t left() const { return static_cast<std::size_t>(room.data() + room.size() - kShort - at); }
    void grow(std::size_t more);
    std::vector<char> room = std::vector<char>(4096);
    char* at = nullptr;
  };
  void useReading(const stm::ClockReading& reading);
  void useIsoTimes(const stm::ClockReading& reading);
  Text keep(std::string_view text);
  std::string_view textOf(Text text) const { return {arena.data() + text.at, text.size}; }
  void putFieldText(std::size_t i, Form form);
  static void writeFieldText(std::string& out, const Field& field, Form form);

  const FrameRule& frame;
  std::u32string letters;
  std::vector<Field> decoded;
  std::string shownText;
  std::vector<RowTexts> rows;
  std::vector<Text> kept;  // each kept field's texts, by form and raw value
  std::string arena;       // every kept text, one after the other, and kShort bytes to spare
  std::string wide;        // the text of a field too wide to keep
  std::string json;        // scratch for the texts of one frame
  Builder built;

  bool haveReading = false;
  stm::ClockReading reading;
  std::string header[2];  // up to and including "Data = ", LF and CR LF; empty until needed
  std::string utcIso;     // empty until needed
  std::string localIso;
  std::string recordTimes;  // ,"utc":"...","local":"..."
  std::string recordStart;  // {"kind":"hk","data":
};

// A check as the dialog makes it: the report and the record (with its line end) of one
// reading; nullopt when the typed text has the wrong number of letters.
struct CheckTexts {
  std::string report;
  std::string record;
};
std::optional<CheckTexts> checkTexts(const FrameRule& rule, std::string_view typed,
                                     const stm::ClockReading& reading, LineEnd end, std::string_view more = {});

}  // namespace quillon
