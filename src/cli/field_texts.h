#pragma once
// quillon-decode's decoding at memory speed: a frame's fields, and each field's text in
// the output form, from a cache.
//
//   letters --TableDecoder per part--> (row, raw bits) --cache--> Field + its text
//
// A field's value is a function of its row and of the raw bits the row reads, so each
// (row, raw) pair is decoded and written once; a long log then costs copies, not number
// formatting. The fields are those decodeFrame gives, in report order.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"

namespace quillon::cli {

// Writes the text of one field, analysed or not, in the output form.
using FieldWriter = std::function<void(std::string& out, const Field& field)>;

class FieldTexts {
 public:
  FieldTexts(FrameKind kind, FieldWriter write);

  // Decodes a frame's letters; false for any number of letters but the frame's.
  bool decode(std::u32string_view letters);
  // The last frame decoded: every field, and each one's text (empty if none).
  const std::vector<Field>& fields() const { return decoded; }
  std::span<const std::string_view> texts() const { return written; }

 private:
  // Rows wider than this are decoded and written for every frame (no table has one).
  static constexpr unsigned kCachedBits = 12;

  struct Entry {
    bool ready = false;
    Field field;
    std::string text;
  };
  struct Row {
    std::size_t part = 0;
    Entry missing;             // the field not analysed
    std::vector<Entry> byRaw;  // empty for a row wider than kCachedBits
    Entry scratch;             // for such a row
  };
  const Entry& entry(Row& row, const TableDecoder& decoder);

  const FrameRule& rule;
  FieldWriter write;
  std::vector<TableDecoder> decoders;
  std::vector<Row> rows;
  std::vector<Field> decoded;
  std::vector<std::string_view> written;
};

}  // namespace quillon::cli
