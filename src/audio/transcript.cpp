// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/transcript.h"

#include <charconv>

namespace quillon::audio {

namespace {

void appendUtf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool number(std::string_view s, int& value) {
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  return error == std::errc() && end == s.data() + s.size();
}

}  // namespace

void Transcript::add(const HeardLetter& letter, std::string& done) {
  ended_ = false;
  if (!line_.empty() && letter.gapBefore == Gap::Pause) {
    done += line_;
    line_.clear();
    ended_ = true;
  } else if (!line_.empty() && letter.gapBefore == Gap::Word) {
    line_ += ' ';
  }
  // A code no letter has shows as '?', never as nothing: the operator sees it was heard.
  appendUtf8(line_, letter.letter ? letter.letter : U'?');
}

std::optional<std::chrono::sys_seconds> satnogsStart(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  constexpr std::string_view kPrefix = "satnogs_";
  if (!name.starts_with(kPrefix)) return std::nullopt;
  name.remove_prefix(kPrefix.size());
  const std::size_t id = name.find('_');
  if (id == 0 || id == std::string_view::npos) return std::nullopt;
  for (const char c : name.substr(0, id)) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  name.remove_prefix(id + 1);
  // YYYY-MM-DDTHH-MM-SS, then an extension.
  if (name.size() < 21 || name[4] != '-' || name[7] != '-' || name[10] != 'T' || name[13] != '-' ||
      name[16] != '-' || name[19] != '.') {
    return std::nullopt;
  }
  int y, mo, d, h, mi, s;
  if (!number(name.substr(0, 4), y) || !number(name.substr(5, 2), mo) || !number(name.substr(8, 2), d) ||
      !number(name.substr(11, 2), h) || !number(name.substr(14, 2), mi) || !number(name.substr(17, 2), s)) {
    return std::nullopt;
  }
  using namespace std::chrono;
  const year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!date.ok() || h > 23 || mi > 59 || s > 60) return std::nullopt;
  return sys_days{date} + hours{h} + minutes{mi} + seconds{s};
}

}  // namespace quillon::audio
