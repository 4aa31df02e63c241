// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/decodertext.h"

#include <array>

#include "core/beacon.h"
#include "core/receptiontime.h"

namespace quillon {

namespace {

enum class Kind : std::uint8_t { Break, Blank, LineEnd, Letter, Unknown, OpenCode };

struct ByteKind {
  Kind kind = Kind::Break;
  MorseBits bits = 0;
};

const auto kByteKinds = [] {
  std::array<ByteKind, 256> table{};
  for (const MorseLetter& m : kMorseLetters) {
    const MorseBits bits = morseBits(m.code);
    table[m.letter] = {Kind::Letter, bits};
    if (m.letter >= U'A' && m.letter <= U'Z') table[m.letter - U'A' + U'a'] = {Kind::Letter, bits};
  }
  table[' '] = table['\t'] = table['\r'] = {Kind::Blank};
  table['\n'] = {Kind::LineEnd};
  table['*'] = {Kind::Unknown};
  table['<'] = {Kind::OpenCode};
  return table;
}();

constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";
constexpr std::size_t kLongestCode = 64;  // bracketed elements kept before giving up

bool isElement(char c) { return c == '.' || c == '-' || c == '_'; }
bool endsTime(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

void DecoderTextReader::feed(std::string_view bytes, SoundListener& to) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (mode != Mode::Text) {
      step(bytes[i], to);
      continue;
    }
    // Letters in a row, without the byte-by-byte state machine.
    const ByteKind& k = kByteKinds[static_cast<unsigned char>(bytes[i])];
    if (k.kind != Kind::Letter) {
      step(bytes[i], to);
      continue;
    }
    to.onLetter(k.bits, false, {line, offset++});
  }
}

void DecoderTextReader::step(char c, SoundListener& to) {
  const std::uint64_t at = offset++;
  switch (mode) {
    case Mode::Text: text(c, at, to); return;
    case Mode::LineStart:
      if (c == ' ' || c == '\t' || (line == 1 && at < 3 && c == kByteOrderMark[at])) return;
      mode = Mode::Time;
      held.clear();
      heldFrom = at;
      [[fallthrough]];
    case Mode::Time:
      held += c;
      if (utcTimeShape(held) != TimeShape::None) return;
      held.pop_back();
      if (endsTime(c)) {
        if (const auto time = parseUtcTime(held)) {
          to.onLineTime(line, *time);
          mode = Mode::Text;
          text(c, at, to);
          return;
        }
      }
      replay(std::string_view(&c, 1), to);
      return;
    case Mode::Code:
      if (isElement(c) && held.size() <= kLongestCode) {
        held += c;
        return;
      }
      if (c == '>' && held.size() > 1) {
        to.onLetter(morseBits(std::string_view(held).substr(1)), true, {line, heldFrom});
        mode = Mode::Text;
        return;
      }
      replay(std::string_view(&c, 1), to);
      return;
  }
}

void DecoderTextReader::text(char c, std::uint64_t at, SoundListener& to) {
  const ByteKind& k = kByteKinds[static_cast<unsigned char>(c)];
  switch (k.kind) {
    case Kind::Letter: to.onLetter(k.bits, false, {line, at}); return;
    case Kind::Unknown: to.onLetter(0, true, {line, at}); return;
    case Kind::Break:
    case Kind::Blank: to.onBreak(Gap::Word); return;
    case Kind::LineEnd:
      to.onBreak(Gap::Pause);
      ++line;
      mode = Mode::LineStart;
      return;
    case Kind::OpenCode:
      mode = Mode::Code;
      held.assign(1, c);
      heldFrom = at;
      return;
  }
}

void DecoderTextReader::replay(std::string_view more, SoundListener& to) {
  std::string bytes = std::move(held);
  held.clear();
  bytes += more;
  const bool code = mode == Mode::Code;
  mode = Mode::Text;
  offset = heldFrom;
  std::size_t i = 0;
  if (code) {
    to.onBreak(Gap::Word);
    ++offset;
    i = 1;
  }
  for (; i < bytes.size(); ++i) step(bytes[i], to);
}

void DecoderTextReader::finish(SoundListener& to) {
  if (mode == Mode::Time) {
    if (const auto time = parseUtcTime(held)) {
      to.onLineTime(line, *time);
      mode = Mode::Text;
    }
  }
  while (mode == Mode::Time || mode == Mode::Code) replay({}, to);
  to.onBreak(Gap::Pause);
}

std::string pastedLetters(std::string_view pasted) {
  auto dropped = [](char c) { return isBlank(c) || c == '\r' || c == '\n'; };
  while (!pasted.empty() && dropped(pasted.front())) pasted.remove_prefix(1);
  const std::string_view word = pasted.substr(0, kBeaconWord.size());
  if (beaconWordLength(word) == kBeaconWord.size() &&
      (pasted.size() == word.size() || dropped(pasted[word.size()]))) {
    pasted.remove_prefix(word.size());
  }
  std::string letters;
  for (char c : pasted) {
    if (!dropped(c)) letters += c;
  }
  return letters;
}

}  // namespace quillon
