// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// quillon-decode's decoding at memory speed: a frame's texts in the output form, from a
// cache.
//
//   letters --TableDecoder per part--> runs of fields --cache--> texts
//
// A field's value is a function of its row and of the letters its bits are in. Rows that
// read the same letter or byte (the mode byte's seven states) form a run, cached by those
// letters: each case is decoded and written once, and a long log then costs copies, not
// number formatting. A row of a wider unit (a status word) is a run of its own, cached
// by its raw bits when it is analysed.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/frames.h"

namespace quillon::cli {

// What the output form writes for a run of fields: `text` (report lines, CSV cells or
// JSON members) and `missing` (the JSON keys left out).
struct RunText {
  std::string text;
  std::string missing;
};

// Writes a run's texts; `endsGroup` when the run is the last of its report group.
using RunWriter = std::function<void(RunText& out, std::span<const Field> fields, bool endsGroup)>;

struct TextPiece {
  std::string_view block;  // "" in a frame of one word; "satellite" or "pda" in the combined frame
  std::string_view text;
  std::string_view missing;
};

class FieldTexts {
 public:
  FieldTexts(FrameKind kind, RunWriter write);

  // Decodes a frame's letters; false for any number of letters but the frame's.
  bool decode(std::u32string_view letters);
  // The texts of the last frame decoded, run by run in report order.
  std::span<const TextPiece> pieces() const { return found; }

 private:
  // A run's texts, kept one after the other in `arena`: small, so that the entries of a
  // long log stay in the processor's cache.
  struct Entry {
    static constexpr std::uint32_t kNotReady = ~std::uint32_t{0};
    std::uint32_t at = kNotReady;
    std::uint32_t textSize = 0;
    std::uint32_t missingSize = 0;
  };
  struct Run {
    std::size_t part = 0;
    bool byLetters = false;  // cached by its letters, else by its row's raw bits
    std::span<const FieldRow> rows;
    std::string_view block;
    int group = 0;
    bool endsGroup = false;
    Entry missing;             // nothing analysed
    std::vector<Entry> byKey;  // empty for a row too wide to cache: written for every frame
  };
  // A part of the frame, as the last frame has it.
  struct Part {
    std::u32string_view letters;
    bool valid = false;         // every letter hexadecimal or the mark
    bool needsDecoder = false;  // it has a run cached by raw bits
    bool decoded = false;       // `decoder` has parsed `letters`
    TableDecoder decoder;
  };
  static constexpr std::uint8_t kInvalid = 0xff;
  std::uint8_t letterKey(char32_t c) const;  // 0-15, 16 for the mark, or kInvalid
  const TableDecoder& decoderOf(Part& part);
  Entry textOf(Run& run);

  const FrameRule& rule;
  RunWriter write;
  std::uint8_t asciiKeys[128];
  std::vector<Part> parts;
  std::vector<Run> runs;
  std::string arena;
  std::size_t cachedBytes = 0;  // the arena's part that holds cached texts
  std::vector<Field> fields;    // scratch for a run's fields
  RunText written;              // scratch for a run's texts
  std::vector<Entry> entries;   // the last frame's
  std::vector<TextPiece> found;
};

}  // namespace quillon::cli
