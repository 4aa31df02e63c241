#pragma once
// JSON as quillon-decode --json and the dialog's log write it. One streaming writer
// appends straight to a string: no tree, and no allocation once the string has room.
//
// The JSON Lines record of one decoded frame:
//
//   {"kind", "data", "utc", "local", "fields": {key: value...}, "notAnalyzed": [key...]}
//
// Fields are in report order: engineering values as numbers at full precision, counts as
// integers, states as their texts. The combined frame nests a "fields"/"notAnalyzed"
// pair under "satellite" and under "pda" instead.
//
// A record is put together from one piece per field (see appendJsonPiece), so that a
// writer of many records can keep the pieces of the values it has seen.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"

namespace quillon {

// A JSON string: quotes, backslashes and control characters escaped, every byte that is
// not UTF-8 written as U+FFFD, so that the output is always valid JSON.
void appendJsonString(std::string& out, std::string_view text);

// The shortest digits that read back as the same double, laid out as the JSON library
// the log had always used: "0.0", "3.3094901960784315", "1e-05", "1e+16"; null for a
// value that is not finite.
void appendJsonNumber(std::string& out, double value);

// Values and members in order, with their commas.
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out(out) {}

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }
  void key(std::string_view name);  // the next value is this member's
  void string(std::string_view text);
  void number(double value);
  void integer(int value);
  // Something written before: a value, or a whole "key":value member inside an object.
  void piece(std::string_view json);

 private:
  void item();
  void open(char bracket);
  void close(char bracket);

  std::string& out;
  bool first = true;  // nothing yet in the open object or array, or a key was just written
};

// One field's piece of a record: the member "key":value of an analysed field, or the
// entry "key" of "notAnalyzed" for a field that is not.
void appendJsonPiece(std::string& out, const Field& field);

// Each field's piece as `write` writes it, kept in `text`: for a record of Fields alone.
std::vector<std::string_view> writePieces(const std::vector<Field>& fields,
                                          void (*write)(std::string&, const Field&), std::string& text);

// Appends the record without a line end. `data` is the frame as shown (valid UTF-8).
void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields);

// The same from the fields' pieces, one per field, as appendJsonPiece writes them.
void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields,
                      std::span<const std::string_view> pieces);

}  // namespace quillon
