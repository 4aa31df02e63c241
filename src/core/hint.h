// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live letter check under each input: what the operator has typed so far, and for
// every letter that will cost fields, which fields go.
//
//   typed text --letters--> count, not-copied marks, invalid letters
//   letter n   --frame table--> the fields it removes (decoded, so the tables decide)
//
// A not-copied letter removes the fields with a bit in it; an invalid letter silences
// every decoder part that reads it. The guards and message boxes are not the hint's
// business: it only reads the text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame.h"

namespace quillon {

struct LetterHint {
  std::string line;    // one line under the input, e.g. "17 of 22 letters"
  std::string detail;  // the same with every field named, a sentence a line
  bool warns = false;  // some letter will cost fields
};

LetterHint letterHint(const FrameRule& rule, std::string_view typed);

// The fields that letter `letter` (0-based) of a full frame removes when it is the
// not-copied mark, or when it is invalid; in report order.
std::vector<const FieldRow*> fieldsRemovedBy(const FrameRule& rule, std::size_t letter, bool invalid);

// A field as the hint names it: its report label without the trailing verb,
// "Current of battery is " -> "current of battery".
std::string fieldName(const FieldRow& row);

}  // namespace quillon
