// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/beacon.h"

namespace quillon {

std::size_t beaconWordLength(std::string_view text) {
  if (text.size() < kBeaconWord.size()) return 0;
  for (std::size_t i = 0; i < kBeaconWord.size(); ++i) {
    if ((text[i] & ~0x20) != kBeaconWord[i]) return 0;
  }
  std::size_t end = kBeaconWord.size();
  if (end < text.size() && !isBlank(text[end])) return 0;
  while (end < text.size() && isBlank(text[end])) ++end;
  return end;
}

}  // namespace quillon
