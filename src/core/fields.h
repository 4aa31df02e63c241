// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Field tables: a field of a frame is one row saying where its bits are and how they
// become the value. One decoder class reads any row, so a new field is a new row.
//
//   letters --TableDecoder::parse--> nibbles + not-copied letters
//   row (bits, conversion) --TableDecoder::field--> Field (analysed? value)
//
// A field is analysed when its decoder's letters were all valid and every letter that
// holds one of its bits was copied.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quillon {

// Where a field's bits are: a unit of `letters` letters starting at letter `letter`
// (0-based, in the decoder's own letters; the first letter is the most significant
// nibble), and within that unit `width` bits from bit `low` (0 = least significant).
// The rest is worked out once, when the table is built.
struct BitField {
  std::uint8_t letter;
  std::uint8_t letters;
  std::uint8_t low;
  std::uint8_t width;
  std::uint8_t firstLetter = 0;  // the letters that hold the field's bits
  std::uint8_t lastLetter = 0;
  std::uint32_t letterMask = 0;  // bit n: letter n holds one of them
};

constexpr BitField bitField(int letter, int letters, int low, int width) {
  // Bit b of the unit lies in its letter (letters - 1 - b / 4).
  const int last = letter + letters - 1 - low / 4;
  const int first = letter + letters - 1 - (low + width - 1) / 4;
  std::uint32_t mask = 0;
  for (int n = first; n <= last; ++n) mask |= 1U << n;
  return {static_cast<std::uint8_t>(letter), static_cast<std::uint8_t>(letters), static_cast<std::uint8_t>(low),
          static_cast<std::uint8_t>(width),  static_cast<std::uint8_t>(first),   static_cast<std::uint8_t>(last),
          mask};
}

// Frame byte k (letters 2k+1 and 2k+2), or some of its bits.
constexpr BitField byteBits(int k, int low = 0, int width = 8) { return bitField(2 * k, 2, low, width); }
// Bits of an 8-letter status word: letter 1 holds bits 31-28.
constexpr BitField wordBits(int low, int width = 1) { return bitField(0, 8, low, width); }

enum class FieldForm {
  Engineering,  // a formula of the raw bits, printed "%.3lf" with a unit
  Count,        // the raw bits, or a table entry they pick, printed "%d"
  State,        // the state text the raw bits pick
};

struct FieldRow {
  std::string_view key;    // name for scripts, e.g. "voltage33V"
  std::string_view label;  // report label, e.g. "Voltage of 3.3V system is "
  BitField bits;
  FieldForm form;
  double (*formula)(std::uint32_t raw) = nullptr;  // Engineering
  std::span<const int> counts = {};                // Count: empty means the raw bits themselves
  std::span<const std::string_view> states = {};   // State: one text per raw value
  std::string_view unit = {};                      // report suffix, e.g. " [V]"
};

constexpr FieldRow engineering(std::string_view key, std::string_view label, BitField bits,
                               double (*formula)(std::uint32_t), std::string_view unit) {
  return {key, label, bits, FieldForm::Engineering, formula, {}, {}, unit};
}
constexpr FieldRow count(std::string_view key, std::string_view label, BitField bits,
                         std::span<const int> counts = {}) {
  return {key, label, bits, FieldForm::Count, nullptr, counts, {}, {}};
}
constexpr FieldRow state(std::string_view key, std::string_view label, BitField bits,
                         std::span<const std::string_view> states) {
  return {key, label, bits, FieldForm::State, nullptr, {}, states, {}};
}

inline constexpr std::string_view kNotAnalyzed = "not analyzed";

// One decoded field. A field that is not analysed answers -2.0, -2 or "not analyzed";
// reports never print it.
struct Field {
  const FieldRow* row = nullptr;
  std::string_view block;  // "" in a frame of one word; "satellite" or "pda" in the combined frame
  int group = 0;           // report group: the report closes each with an empty line
  bool analyzed = false;
  double engineering = -2.0;
  int count = -2;
  std::string_view state = kNotAnalyzed;
};

inline constexpr char32_t kNotCopiedMark = U'x';

// The decoder of a run of letters (at most 32). parse() checks every letter first and
// changes nothing when one is invalid.
class TableDecoder {
 public:
  static constexpr std::size_t kMaxLetters = 32;

  explicit TableDecoder(std::size_t letters = 0);

  // Exactly the decoder's number of letters; false, with nothing changed, otherwise.
  bool parse(std::u32string_view letters);
  void setAllAnalyzed(bool value);

  bool isAnalyzed(const BitField& bits) const;
  std::uint32_t raw(const BitField& bits) const;  // a not-copied letter reads as 0
  Field field(const FieldRow& row) const;

 private:
  std::size_t letterCount;
  char32_t notCopiedMark = kNotCopiedMark;
  std::array<std::uint8_t, kMaxLetters> nibbles{};
  std::uint32_t notCopied = 0;  // bit n: letter n was the mark
  bool analyzed = false;
};

}  // namespace quillon
