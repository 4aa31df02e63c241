// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The beacon word that opens every frame the satellite sends. One rule for every reader of
// typed, pasted and logged text: "TNGR" in any case, followed by blanks or by nothing.

#include <cstddef>
#include <string_view>

namespace quillon {

inline constexpr std::string_view kBeaconWord = "TNGR";

// Blanks between the beacon word and the letters, and between groups of letters.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The bytes the beacon word and the blanks after it take at the start of `text`; 0 when
// the text does not start with the beacon word.
std::size_t beaconWordLength(std::string_view text);

}  // namespace quillon
