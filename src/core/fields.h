// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Field tables: a field of a frame is one row saying where its bits are and how they
// become the value. One decoder class reads any row, so a new field is a new row.
//
//   letters --TableDecoder::parse--> nibbles + not-copied letters
//   row (bits, conversion) --TableDecoder::field--> Field (analysed? raw bits)
//   Field --engineeringValue / countValue / stateText--> the value
//
// A field is analysed when its decoder's letters were all valid and every letter that
// holds one of its bits was copied.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/letters.h"

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
  for (int n = first; n <= last && n >= 0 && n < 32; ++n) mask |= 1U << n;
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
  // A value past the table prints this word and the value, "Unknown (12)"; empty: the
  // table must have an entry for every value the bits can take (checked when it is built).
  std::string_view unknown = {};
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

struct FieldGroup;

// One decoded field: its row, its report group and its raw bits.
struct Field {
  const FieldRow* row = nullptr;
  const FieldGroup* group = nullptr;
  std::uint32_t raw = 0;  // a not-copied letter reads as 0
  bool analyzed = false;
};

// A field's value. One that is not analysed answers -2.0, -2 or "not analyzed", and
// reports never print it. A value past its row's table is not known: -1 and "".
double engineeringValue(const Field& field);
int countValue(const Field& field);
std::string_view stateText(const Field& field);
bool isKnownValue(const Field& field);

// Letters as the decoders read them, at most 64.
struct Nibbles {
  static constexpr std::size_t kMaxLetters = 64;
  std::array<std::uint8_t, kMaxLetters> values{};  // a not-copied letter reads as 0
  std::uint64_t notCopied = 0;                     // bit n: letter n is the mark
  std::uint64_t invalid = 0;                       // bit n: letter n is neither a hex letter nor the mark
};

namespace detail {
// ASCII letters as nibble values; kMarkNibble for the not-copied mark, kBadNibble for the rest.
inline constexpr std::uint8_t kMarkNibble = 16, kBadNibble = 17;
inline constexpr auto kAsciiNibbles = [] {
  std::array<std::uint8_t, 128> nibbles{};
  for (char32_t c = 0; c < 128; ++c) {
    nibbles[c] = c == kNotCopiedMark                   ? kMarkNibble
                 : isHexLetterOrMark(c, kNotCopiedMark) ? static_cast<std::uint8_t>(hexLetterValue(c))
                                                       : kBadNibble;
  }
  return nibbles;
}();
}  // namespace detail

// Reads up to kMaxLetters letters; the rest are left out.
inline Nibbles readNibbles(std::u32string_view letters, char32_t mark = kNotCopiedMark) {
  Nibbles n;
  for (std::size_t i = 0; i < letters.size() && i < Nibbles::kMaxLetters; ++i) {
    const char32_t c = letters[i];
    const std::uint8_t nibble =
        c < 128 && mark == kNotCopiedMark ? detail::kAsciiNibbles[c]
        : c == mark                       ? detail::kMarkNibble
        : isHexLetterOrMark(c, mark)      ? static_cast<std::uint8_t>(hexLetterValue(c))
                                          : detail::kBadNibble;
    if (nibble < 16) {
      n.values[i] = nibble;
    } else {
      (nibble == detail::kMarkNibble ? n.notCopied : n.invalid) |= std::uint64_t{1} << i;
    }
  }
  return n;
}

// The field's raw bits in a unit whose letter 0 is `letters[0]`.
inline std::uint32_t rawBits(const std::uint8_t* letters, const BitField& bits) {
  const std::uint8_t* first = letters + bits.firstLetter;
  std::uint64_t value = first[0];  // a byte's or a word's bits are in one or two letters
  if (bits.lastLetter > bits.firstLetter) value = value << 4 | first[1];
  // A 31-bit field that does not start on a letter spans nine letters: 36 bits.
  for (std::size_t n = bits.firstLetter + 2; n <= bits.lastLetter; ++n) value = value << 4 | letters[n];
  return static_cast<std::uint32_t>(value >> (bits.low % 4) & ((std::uint64_t{1} << bits.width) - 1));
}

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
  std::uint32_t raw(const BitField& bits) const { return rawBits(nibbles.values.data(), bits); }
  Field field(const FieldRow& row) const;

 private:
  std::size_t length;
  char32_t notCopiedMark = kNotCopiedMark;
  Nibbles nibbles;
  bool analyzed = false;
};

}  // namespace quillon
