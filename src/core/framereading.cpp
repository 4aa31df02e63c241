// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/framereading.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <numeric>

#include "core/morse.h"

namespace quillon {

namespace {

constexpr MorseBits bitsOf(std::string_view code) {
  if (code.empty() || code.size() > kMaxElements) return 0;
  unsigned bits = 1;
  for (char c : code) {
    if (c != '.' && c != '-' && c != '_') return 0;
    bits = bits << 1 | (c == '.' ? 0U : 1U);
  }
  return static_cast<MorseBits>(bits);
}

constexpr int elementCount(MorseBits bits) { return bits == 0 ? 0 : std::bit_width(bits) - 1; }

// The code of a heard letter followed by the code of the next; 0 when too long.
constexpr MorseBits joined(MorseBits head, MorseBits tail) {
  const int n = elementCount(tail);
  if (elementCount(head) + n > kMaxElements) return 0;
  return static_cast<MorseBits>(head << n | (tail & ((1U << n) - 1)));
}

constexpr int hexOfLetter(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  return c >= U'A' && c <= U'F' ? static_cast<int>(c - U'A') + 10 : -1;
}

constexpr auto kHexOfBits = [] {
  std::array<std::int8_t, 64> table{};
  table.fill(-1);
  for (const MorseLetter& m : kMorseLetters) {
    if (hexOfLetter(m.letter) >= 0) table[bitsOf(m.code)] = static_cast<std::int8_t>(hexOfLetter(m.letter));
  }
  return table;
}();

constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr int editDistance(MorseBits a, MorseBits b) {
  const int n = elementCount(a);
  const int m = elementCount(b);
  std::array<int, kMaxElements + 1> row{};
  std::iota(row.begin(), row.end(), 0);  // from no element of a
  for (int i = 1; i <= n; ++i) {
    int diagonal = row[0];
    row[0] = i;
    for (int j = 1; j <= m; ++j) {
      const int up = row[j];
      const bool same = ((a >> (n - i)) & 1U) == ((b >> (m - j)) & 1U);
      row[j] = std::min({up + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[m];
}

constexpr int kTooFar = 3;
constexpr unsigned kShortCodes = 1U << 9;  // codes of at most 8 elements

// Flipped, lost or added dits and dahs between a code and the nearest hex letter's.
const auto kHexDistances = [] {
  std::array<std::uint8_t, kShortCodes> table{};
  for (unsigned bits = 0; std::uint8_t & nearest : table) {
    nearest = kTooFar;
    for (const MorseLetter& m : kMorseLetters) {
      if (hexOfLetter(m.letter) < 0) continue;
      nearest = static_cast<std::uint8_t>(
          std::min(int{nearest}, editDistance(static_cast<MorseBits>(bits), bitsOf(m.code))));
    }
    ++bits;
  }
  return table;
}();

// --- Readings of a run ---------------------------------------------------------------

struct Letter {
  char c = 'x';
  bool repaired = false;  // why tells the repair of a hex letter too
  LetterRepair why = LetterRepair::NotHex;
  float confidence = 1;
};

// A letter's doubt in halves: one not copied is two, an E one (noise makes short codes most).
constexpr std::size_t halvesOf(char c) { return c == 'x' ? 2 : (c == 'E' ? 1 : 0); }

bool cannotBeInFrame(const Sound& s) { return s.hex < 0 || !s.trusted; }

// Dits and dahs flipped, lost or added between a code and the nearest hex letter's, up to
// kTooFar (for no code too).
int hexDistance(MorseBits bits) { return bits != 0 && bits < kShortCodes ? kHexDistances[bits] : kTooFar; }

// How unlikely a heard letter is as one frame letter with a dit or dah flipped or lost: a
// code far from every hex letter's is two letters run together.
int doubt(const Sound& s) {
  if (!cannotBeInFrame(s)) return 0;
  if (!s.trusted || s.bits == 0) return 1;
  return hexDistance(s.bits);
}

Letter asHeard(const Sound& s) {
  if (!s.trusted) return {'x', true, LetterRepair::NotTrusted, s.confidence};
  if (s.hex >= 0) return {kHexDigits[s.hex], false, LetterRepair::NotHex, s.confidence};
  return {'x', true, s.unrecognised ? LetterRepair::UnknownCode : LetterRepair::NotHex, s.confidence};
}

// An unknown letter, within a join or a division, is not copied for its own reason.
Letter unknownOf(const Sound& a, const Sound& b) {
  return {'x', true, !a.trusted || !b.trusted ? LetterRepair::NotTrusted : LetterRepair::UnknownCode,
          std::min(a.confidence, b.confidence)};
}

// One join (two heard letters -> one) or division (one -> two) at heard letter `at`.
struct Mend {
  std::size_t at;
  std::size_t heard;  // 2 for a join, 1 for a division
  std::array<Letter, 2> letters;
  int doubt = 0;  // of a letter it gives that is no hex letter's code but near one
};

// A letter of a mend whose code is a dit or dah away from a hex letter's: a second error in
// the same letters, not copied. Farther, the mend is no reading.
constexpr int kMostMendDoubt = 1;
Letter damaged(float confidence) { return {'x', true, LetterRepair::NotHex, confidence}; }

void addDivisions(std::span<const Sound> run, std::vector<Mend>& out) {
  for (std::size_t i = 0; i < run.size(); ++i) {
    const Sound& s = run[i];
    if (!cannotBeInFrame(s)) continue;
    if (!s.trusted || s.bits == 0) {
      out.push_back({i, 1, {unknownOf(s, s), unknownOf(s, s)}});
      continue;
    }
    const int n = elementCount(s.bits);
    const auto part = [&](MorseBits bits) {
      const int hex = hexValue(bits);
      return hex >= 0 ? Letter{kHexDigits[hex], true, LetterRepair::Divided, s.confidence}
                      : damaged(s.confidence);
    };
    for (int tail = 1; tail < n; ++tail) {
      const auto head = static_cast<MorseBits>(s.bits >> tail);
      const auto rest = static_cast<MorseBits>((1U << tail) | (s.bits & ((1U << tail) - 1)));
      const int doubt = hexDistance(head) + hexDistance(rest);
      if (doubt <= kMostMendDoubt) out.push_back({i, 1, {part(head), part(rest)}, doubt});
    }
  }
}

void addJoins(std::span<const Sound> run, std::vector<Mend>& out) {
  for (std::size_t i = 0; i + 1 < run.size(); ++i) {
    const Sound& a = run[i];
    const Sound& b = run[i + 1];
    if (!a.trusted || !b.trusted) {
      out.push_back({i, 2, {unknownOf(a, b)}});
    } else if (a.bits == 0 || b.bits == 0) {
      // An unknown code has four dits and dahs or more (every shorter code is a letter), so
      // with a hex letter's five at most the other was an E.
      if (elementCount(a.bits) + elementCount(b.bits) == 1) out.push_back({i, 2, {unknownOf(a, b)}});
    } else {
      const MorseBits code = joined(a.bits, b.bits);
      const float confidence = std::min(a.confidence, b.confidence);
      if (const int hex = hexValue(code); hex >= 0) {
        out.push_back({i, 2, {Letter{kHexDigits[hex], true, LetterRepair::Joined, confidence}}});
      } else if ((cannotBeInFrame(a) || cannotBeInFrame(b)) && hexDistance(code) <= kMostMendDoubt) {
        out.push_back({i, 2, {damaged(confidence)}, hexDistance(code)});
      }
    }
  }
}

// The readings whose heard letters left as they are have the least doubt, merged place by
// place.
class Consensus {
 public:
  Consensus(std::span<const Sound> run, std::size_t length) : run(run), length(length) {}

  void add(std::span<const Mend*> mends) {
    std::array<Letter, 40> reading;
    std::size_t n = 0;
    int unexplained = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < run.size();) {
      if (next < mends.size() && mends[next]->at == i) {
        const Mend& m = *mends[next++];
        unexplained += m.doubt;
        for (std::size_t k = 0; k < 3 - m.heard; ++k) reading[n++] = m.letters[k];
        i += m.heard;
      } else {
        unexplained += doubt(run[i]);
        reading[n++] = asHeard(run[i++]);
      }
    }
    if (unexplained > fewest) return;
    std::size_t halves = 0;
    for (std::size_t k = 0; k < length; ++k) halves += halvesOf(reading[k].c);
    if (unexplained < fewest) {
      fewest = unexplained;
      fewestHalves = halves;
      letters = reading;
      differs.fill(false);
      return;
    }
    fewestHalves = std::min(fewestHalves, halves);
    for (std::size_t k = 0; k < length; ++k) differs[k] = differs[k] || reading[k].c != letters[k].c;
  }

  bool found() const { return fewest != kNone; }
  // The doubt of the likeliest readings' letters, in halves: where readings disagree on which
  // letter is which, the letters heard are no less a frame's.
  std::size_t halves() const { return fewestHalves; }

  void write(RunReading& out) const {
    out.letters.clear();
    out.repairs.clear();
    out.confidence.clear();
    for (std::size_t k = 0; k < length; ++k) {
      Letter l = letters[k];
      if (differs[k]) l = {'x', true, LetterRepair::TwoReadings, l.confidence};
      out.letters += l.c;
      out.confidence.push_back(l.confidence);
      if (l.repaired) out.repairs.push_back({static_cast<std::uint8_t>(k), l.why});
    }
  }

 private:
  static constexpr int kNone = 1 << 30;
  std::span<const Sound> run;
  std::size_t length;
  int fewest = kNone;
  std::size_t fewestHalves = 0;
  std::array<Letter, 40> letters;
  std::array<bool, 40> differs{};
};

// Every choice of `count` mends that do not overlap, in order of place.
void chooseMends(std::span<const Mend> mends, std::size_t from, std::size_t freeAt,
                 std::span<const Mend*> chosen, std::size_t count, Consensus& consensus) {
  if (count == chosen.size()) {
    consensus.add(chosen);
    return;
  }
  for (std::size_t k = from; k < mends.size(); ++k) {
    if (mends[k].at < freeAt) continue;
    chosen[count] = &mends[k];
    chooseMends(mends, k + 1, mends[k].at + mends[k].heard, chosen, count + 1, consensus);
  }
}

// --- The beacon word -------------------------------------------------------------------

constexpr std::array<MorseBits, 7> kBeaconParts = {
    bitsOf("-"),   bitsOf("-."),    bitsOf("--."),    bitsOf(".-."),  // T N G R
    bitsOf("--."), bitsOf("-.--."), bitsOf("--..-."),                 // TN NG GR heard as one
};
constexpr int kMostDamage = 2;

// Elements to change between a code of at most 8 elements and each part, capped at kTooFar;
// kTooFar for no code.
const auto kPartDistances = [] {
  std::array<std::array<std::uint8_t, kBeaconParts.size()>, kShortCodes> table{};
  for (unsigned bits = 0; auto& row : table) {
    for (std::size_t p = 0; p < row.size(); ++p) {
      const int d = bits < 2 ? kTooFar : editDistance(static_cast<MorseBits>(bits), kBeaconParts[p]);
      row[p] = static_cast<std::uint8_t>(std::min(kTooFar, d));
    }
    ++bits;
  }
  return table;
}();

int distance(MorseBits bits, std::size_t part) {
  return bits < kShortCodes ? kPartDistances[bits][part] : kTooFar;
}

}  // namespace

MorseBits morseBits(std::string_view code) { return bitsOf(code); }

std::size_t mostRepairs(std::size_t length) { return length < 16 ? 1 : kMaxRepairs; }

int hexValue(MorseBits bits) { return bits < kHexOfBits.size() ? kHexOfBits[bits] : -1; }

bool readRun(std::span<const Sound> run, std::size_t length, std::size_t mostDoubt, RunReading& out) {
  if (length == 0 || length > 32) return false;
  const std::size_t repairs = run.size() > length ? run.size() - length : length - run.size();
  if (repairs > mostRepairs(length)) return false;
  if (repairs == 0) {
    // The run as heard: the common case, kept quick.
    out.letters.resize(length);
    out.repairs.clear();
    out.confidence.resize(length);
    for (std::size_t k = 0; k < length; ++k) {
      out.confidence[k] = run[k].confidence;
      if (run[k].trusted && run[k].hex >= 0) {
        out.letters[k] = kHexDigits[run[k].hex];
      } else {
        out.letters[k] = 'x';
        out.repairs.push_back({static_cast<std::uint8_t>(k), asHeard(run[k]).why});
      }
    }
    std::size_t halves = 0;
    for (char c : out.letters) halves += halvesOf(c);
    return halves <= 2 * mostDoubt;
  }
  Consensus consensus(run, length);
  std::array<const Mend*, kMaxRepairs> chosen{};
  std::vector<Mend> mends;
  mends.reserve(4 * run.size());
  run.size() < length ? addDivisions(run, mends) : addJoins(run, mends);
  chooseMends(mends, 0, 0, std::span(chosen).first(repairs), 0, consensus);
  if (!consensus.found()) return false;
  consensus.write(out);
  return consensus.halves() <= 2 * mostDoubt;
}

BeaconMatch beaconStart(std::span<const MorseBits> codes, std::uint32_t wordStarts) {
  constexpr int kNone = 1 << 20;
  const std::size_t n = std::min<std::size_t>(codes.size(), 8);
  // The word as sent, the common case.
  if (n >= 4 && ((wordStarts >> (n - 4)) & 0xFU) == 1U &&
      std::equal(codes.begin() + static_cast<std::ptrdiff_t>(n - 4),
                 codes.begin() + static_cast<std::ptrdiff_t>(n), kBeaconParts.begin())) {
    return {static_cast<int>(n - 4), true};
  }
  // Each dit or dah more or fewer than the word's 9, and each letter more or fewer than its
  // 4, costs 1 at least: starts that cost too much that way need no reading.
  int elements = 0;
  bool unknown = false;
  std::uint32_t starts = 0;
  for (std::size_t i = n; i-- > 0;) {
    elements += elementCount(codes[i]);
    unknown = unknown || codes[i] == 0;
    const int letters = static_cast<int>(n - i);
    if (((wordStarts >> i) & 1U) != 0 &&
        (unknown || std::abs(elements - 9) + std::abs(letters - 4) <= kMostDamage)) {
      starts |= 1U << i;
    }
  }
  if (starts == 0) return {};
  // cost[i][j]: heard letters before i read as the first j letters of the word.
  std::array<std::array<int, 5>, 9> cost;
  std::array<std::array<int, 5>, 9> start{};
  for (auto& row : cost) row.fill(kNone);
  auto relax = [&](std::size_t i, std::size_t j, int c, int from) {
    if (c < cost[i][j] || (c == cost[i][j] && from < start[i][j])) {
      cost[i][j] = c;
      start[i][j] = from;
    }
  };
  for (std::size_t i = 0; i < n; ++i) {
    if ((starts >> i) & 1U) relax(i, 0, 0, static_cast<int>(i));
    for (std::size_t j = 0; j < 4; ++j) {
      const int c = cost[i][j];
      if (c > kMostDamage) continue;
      const MorseBits a = codes[i];
      relax(i + 1, j + 1, c + (a != 0 ? distance(a, j) : 1), start[i][j]);
      if (j + 2 <= 4) relax(i + 1, j + 2, c + (a != 0 ? 1 + distance(a, 4 + j) : 2), start[i][j]);
      if (i + 1 < n) {
        const MorseBits b = codes[i + 1];
        relax(i + 2, j + 1, c + (a != 0 && b != 0 ? 1 + distance(joined(a, b), j) : 2), start[i][j]);
      }
    }
  }
  if (cost[n][4] > kMostDamage) return {};
  return {start[n][4], cost[n][4] == 0};
}

}  // namespace quillon
