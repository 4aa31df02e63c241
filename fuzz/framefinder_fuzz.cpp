// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as decoder text, in arbitrary chunks: no crash, no sanitizer report, the
// same frames however the text is cut, and every frame a length asked for, of hex letters
// and x only, found where the input has bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/framefinder.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const std::vector<std::size_t> kLengths = {22, 16, 8};

std::string framesOf(std::string_view text, std::uint8_t cut) {
  std::string frames;
  quillon::FrameFinder finder(kLengths, [&](const quillon::FoundFrame& f) {
    check(f.letters.size() == 22 || f.letters.size() == 16 || f.letters.size() == 8);
    check(f.letters.find_first_not_of("0123456789ABCDEFx") == std::string::npos);
    check(f.place.byte < text.size() && f.place.line >= 1);
    for (const quillon::RepairedLetter& r : f.repairs) check(r.letter < f.letters.size());
    frames += f.letters + '@' + std::to_string(f.place.byte) + (f.time ? "~" : "") + ' ';
  });
  // Chunks of 1 to 8 bytes, in a pattern the input chooses.
  for (std::size_t i = 0, n = 0; i < text.size(); i += n, cut = static_cast<std::uint8_t>(cut * 5 + 1)) {
    n = 1 + cut % 8;
    finder.feed(text.substr(i, n));
  }
  finder.finish();
  return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string whole;
  quillon::FrameFinder finder(kLengths, [&](const quillon::FoundFrame& f) {
    whole += f.letters + '@' + std::to_string(f.place.byte) + (f.time ? "~" : "") + ' ';
  });
  finder.feed(text);
  finder.finish();
  check(framesOf(text, data[0]) == whole);
  return 0;
}
