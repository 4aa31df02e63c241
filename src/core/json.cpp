// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/json.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/letters.h"

namespace quillon {

namespace {

// Bytes a JSON string holds as they are: printable ASCII but the quote and the backslash.
constexpr auto kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
  return plain;
}();

// True when one of eight bytes may not be plain (a byte below 0x20 may also flag the
// bytes after it): the common text is then skipped eight bytes at a time.
bool mayNeedCare(std::uint64_t bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kHigh = 0x8080808080808080;
  const auto zeroByte = [](std::uint64_t x) { return (x - kOnes) & ~x & kHigh; };
  return ((bytes - kOnes * 0x20) | zeroByte(bytes ^ (kOnes * '"')) | zeroByte(bytes ^ (kOnes * '\\')) |
          bytes) &
         kHigh;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
  out += '"';
  std::size_t run = 0;  // start of the bytes not yet copied
  for (std::size_t i = 0; i < text.size();) {
    std::uint64_t eight;
    if (i + 8 <= text.size() && (std::memcpy(&eight, text.data() + i, 8), !mayNeedCare(eight))) {
      i += 8;
      continue;
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (kPlain[c]) {
      ++i;
      continue;
    }
    if (const std::size_t n = c >= 0x80 ? utf8Length(text, i) : 0; n != 0) {
      i += n;
      continue;
    }
    out.append(text, run, i - run);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += "0123456789abcdef"[c >> 4];
          out += "0123456789abcdef"[c & 15];
        } else {
          out += "\xef\xbf\xbd";  // a byte that is not UTF-8
        }
    }
    run = ++i;
  }
  out.append(text, run);
  out += '"';
}

void appendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  // The shortest digits from the standard library, then the layout: plain decimals while
  // the point falls within 15 digits of the first one, down to 0.000ddd; else d.ddde+XX.
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  const char* at = text;
  if (*at == '-') out += *at++;
  char digits[20];
  int k = 0;
  for (; *at != 'e'; ++at) {
    if (*at != '.') digits[k++] = *at;
  }
  const char* exponent = at[1] == '+' ? at + 2 : at + 1;
  int n = 0;
  std::from_chars(exponent, end, n);
  ++n;  // the point's place: after digit n
  const std::string_view all(digits, static_cast<std::size_t>(k));
  if (value == 0 || (k <= n && n <= 15)) {
    out += all;
    if (value != 0) out.append(static_cast<std::size_t>(n - k), '0');
    out += ".0";
  } else if (0 < n && n <= 15) {
    out += all.substr(0, static_cast<std::size_t>(n));
    out += '.';
    out += all.substr(static_cast<std::size_t>(n));
  } else if (-4 < n && n <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-n), '0');
    out += all;
  } else {
    out += all[0];
    if (k > 1) (out += '.') += all.substr(1);
    const int e = n - 1;
    out += e < 0 ? "e-" : "e+";
    if (std::abs(e) < 10) out += '0';
    out += std::to_string(std::abs(e));
  }
}

}  // namespace quillon
