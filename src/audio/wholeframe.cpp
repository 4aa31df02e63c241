// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wholeframe.h"

#include <algorithm>
#include <cmath>

#include "audio/logsum.h"

namespace quillon::audio {

namespace {

// Readings this far below the best at a grid step are not followed: their share of any
// sum is below e^-30.
constexpr double kBeam = 30;
constexpr int kNever = 1 << 29;  // a grid step no transmission reaches

int longest(const LatticeShape& shape) { return *std::max_element(shape.length.begin(), shape.length.end()); }

// Log masses of one place over grid steps, kept from the first step set on: a place of a
// frame is possible over a short stretch of the transmission only.
class Track {
 public:
  double at(int r) const {
    const int i = r - base_;
    return i >= 0 && i < static_cast<int>(v_.size()) ? v_[static_cast<std::size_t>(i)] : kLogZero;
  }
  double& set(int r) {
    if (v_.empty()) base_ = r;
    if (r < base_) {
      v_.insert(v_.begin(), static_cast<std::size_t>(base_ - r), kLogZero);
      base_ = r;
    }
    if (r - base_ >= static_cast<int>(v_.size()))
      v_.resize(static_cast<std::size_t>(r - base_ + 1), kLogZero);
    return v_[static_cast<std::size_t>(r - base_)];
  }
  // Room for the steps `other` holds, set to nothing.
  void cover(const Track& other) {
    base_ = other.base_;
    v_.assign(other.v_.size(), kLogZero);
  }

 private:
  int base_ = 0;
  std::vector<double> v_;
};

}  // namespace

double everyReading(const ScoreRows& rows, std::size_t from, std::size_t to, const LatticeShape& shape) {
  const int starts = static_cast<int>(to - from);
  if (starts <= 0) return 0;
  const int length = starts + longest(shape) + 1;
  std::vector<double> endF(static_cast<std::size_t>(length), kLogZero), fwd(static_cast<std::size_t>(length));
  const auto cost = [&](int gap) { return gap >= shape.oddGap ? -shape.oddCost : 0.0; };
  for (int r = 0; r < length; ++r) {
    fwd[r] = logAdd(r > 0 ? fwd[r - 1] : 0.0, endF[r]);
    if (r >= starts) continue;
    double pf = r >= shape.wordGap ? fwd[r - shape.wordGap] : 0.0;
    for (int gap = shape.minGap; gap < shape.wordGap && gap <= r; ++gap)
      pf = logAdd(pf, endF[r - gap] + cost(gap));
    const std::vector<float>& row = rows[from + static_cast<std::size_t>(r)];
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int e = r + shape.length[i];
      if (e <= starts) endF[e] = logAdd(endF[e], pf + row[i]);
    }
  }
  return fwd[static_cast<std::size_t>(length - 1)];
}

FrameReadingOdds readWholeFrame(const ScoreRows& rows, std::size_t from, std::size_t to,
                                const LatticeShape& shape, const std::vector<FramePlace>& places) {
  const int starts = static_cast<int>(to - from);
  const int n = static_cast<int>(places.size());
  if (starts <= 0 || n == 0) return {};
  const int length = starts + longest(shape) + 1;
  std::vector<std::vector<std::size_t>> allowed(static_cast<std::size_t>(n));
  for (int s = 0; s < n; ++s) {
    for (std::size_t i = 0; i < shape.letter.size(); ++i) {
      if (places[s].letters.find(shape.letter[i]) != std::u32string::npos) allowed[s].push_back(i);
    }
  }
  // The cost of a gap before place s: gaps under wordGap by their length, longer ones
  // longCost(s). A word gap is never shorter than an odd gap; a letter gap may run long.
  const auto cost = [&](int s, int gap) {
    if (gap >= shape.oddGap) return -shape.frameOddCost;
    return places[s].after == FramePlace::After::WordGap ? kLogZero : 0.0;
  };
  const auto longCost = [&](int s) {
    return places[s].after == FramePlace::After::LetterGap ? -2 * shape.frameOddCost : 0.0;
  };
  //   endF[s](e)    readings whose s-th letter ends at e
  //   fwd[s](r)     readings of s letters, the last ending at or before r
  //   follow[s](r)  readings of s letters that a letter starting at r may follow, on
  //                 [lo[s], hi[s]], where place s may start
  std::vector<Track> endF(n + 1), fwd(n + 1), follow(n);
  std::vector<int> lo(n, -1), hi(n, -2), firstEnd(n + 1, kNever);
  std::vector<bool> dead(n, false);
  firstEnd[0] = -shape.minGap;
  // A place left behind by every likely reading for this long is not taken up again.
  const int patience = 3 * (longest(shape) + shape.wordGap);
  int low = 0;  // the first place not left behind
  for (int r = 0; r < length; ++r) {
    for (int s = std::max(1, low); s <= n && firstEnd[s] <= r; ++s) {
      const double v = logAdd(fwd[s].at(r - 1), endF[s].at(r));
      fwd[s].set(r) = v;
    }
    if (r >= starts) continue;
    double best = kLogZero;
    int high = low;
    for (int s = low; s < n && firstEnd[s] + shape.minGap <= r; ++s, ++high) {
      if (dead[s]) continue;
      double pf = 0;
      if (s > 0) {
        pf = fwd[s].at(r - shape.wordGap) + longCost(s);
        for (int gap = shape.minGap; gap < shape.wordGap && gap <= r; ++gap)
          pf = logAdd(pf, endF[s].at(r - gap) + cost(s, gap));
      }
      follow[s].set(r) = pf;
      best = std::max(best, pf);
    }
    const std::vector<float>& row = rows[from + static_cast<std::size_t>(r)];
    for (int s = low; s < high; ++s) {
      if (dead[s]) continue;
      const double pf = follow[s].at(r);
      if (pf == kLogZero || pf < best - kBeam) {
        follow[s].set(r) = kLogZero;
        if (hi[s] >= 0 && r - hi[s] > patience) dead[s] = true;
        continue;
      }
      if (lo[s] < 0) lo[s] = r;
      hi[s] = r;
      for (const std::size_t i : allowed[s]) {
        const int e = r + shape.length[i];
        if (e > starts) continue;
        const double v = logAdd(endF[s + 1].at(e), pf + row[i]);
        endF[s + 1].set(e) = v;
        firstEnd[s + 1] = std::min(firstEnd[s + 1], e);
      }
    }
    while (low < n && dead[low]) ++low;
  }
  const double total = fwd[n].at(length - 1);
  if (total == kLogZero) return {};
  //   after[s](e)   readings of what follows the s-th letter when it ends at e (only
  //                 where one may end)
  //   startB[s](r)  readings of the letters from the s-th on, that one starting at r
  //   bwd[s](r)     the same, the s-th starting at r or later
  std::vector<Track> after(n), startB(n), bwd(n);
  for (int s = 0; s < n; ++s) {
    after[s].cover(endF[s]);
    startB[s].cover(follow[s]);
    bwd[s].cover(follow[s]);
  }
  const auto afterAt = [&](int s, int e) { return s < n ? after[s].at(e) : e <= starts ? 0.0 : kLogZero; };
  const auto bwdAt = [&](int s, int r) { return r > hi[s] ? kLogZero : bwd[s].at(std::max(r, lo[s])); };
  for (int r = length - 1; r >= 0; --r) {
    for (int s = 1; s < n; ++s) {
      if (lo[s] < 0 || endF[s].at(r) == kLogZero) continue;
      double a = bwdAt(s, r + shape.wordGap) + longCost(s);
      for (int gap = shape.minGap; gap < shape.wordGap && r + gap <= hi[s]; ++gap)
        a = logAdd(a, startB[s].at(r + gap) + cost(s, gap));
      after[s].set(r) = a;
    }
    for (int s = 0; s < n; ++s) {
      if (r < lo[s] || r > hi[s]) continue;
      double sb = kLogZero;
      if (follow[s].at(r) != kLogZero) {
        const std::vector<float>& row = rows[from + static_cast<std::size_t>(r)];
        for (const std::size_t i : allowed[s]) sb = logAdd(sb, row[i] + afterAt(s + 1, r + shape.length[i]));
      }
      startB[s].set(r) = sb;
      bwd[s].set(r) = logAdd(r < hi[s] ? bwd[s].at(r + 1) : kLogZero, sb);
    }
  }
  // Each place's letters by probability, summed over every start; the start and template
  // of the likeliest reading of the letter chosen.
  FrameReadingOdds odds;
  odds.mass = total;
  std::vector<double> mass;
  for (int s = 0; s < n; ++s) {
    mass.assign(shape.letter.size(), kLogZero);
    PlacedLetter best;
    double top = kLogZero;
    for (int r = std::max(lo[s], 0); r <= hi[s]; ++r) {
      const double pf = follow[s].at(r);
      if (pf == kLogZero) continue;
      const std::vector<float>& row = rows[from + static_cast<std::size_t>(r)];
      for (const std::size_t i : allowed[s]) {
        const double m = pf + row[i] + afterAt(s + 1, r + shape.length[i]);
        mass[i] = logAdd(mass[i], m);
        if (m > top) {
          top = m;
          best.start = r;
          best.candidate = static_cast<int>(i);
        }
      }
    }
    // Templates of one letter (its scales) add up. Every reading has one letter at this
    // place, so the place's masses sum to the total: summed here, they are exact to the
    // same rounding as each mass.
    double bestMass = kLogZero, placeMass = kLogZero;
    for (const std::size_t i : allowed[s]) {
      placeMass = logAdd(placeMass, mass[i]);
      double m = kLogZero;
      for (const std::size_t k : allowed[s]) {
        if (shape.letter[k] == shape.letter[i]) m = logAdd(m, mass[k]);
      }
      if (m > bestMass) {
        bestMass = m;
        best.letter = shape.letter[i];
      }
    }
    if (best.letter != shape.letter[static_cast<std::size_t>(best.candidate)]) {
      // The likeliest single reading holds another letter: the start of the likeliest
      // reading of the letter chosen.
      double topOfLetter = kLogZero;
      for (int r = std::max(lo[s], 0); r <= hi[s]; ++r) {
        if (follow[s].at(r) == kLogZero) continue;
        const std::vector<float>& row = rows[from + static_cast<std::size_t>(r)];
        for (const std::size_t i : allowed[s]) {
          if (shape.letter[i] != best.letter) continue;
          const double m = follow[s].at(r) + row[i] + afterAt(s + 1, r + shape.length[i]);
          if (m > topOfLetter) {
            topOfLetter = m;
            best.start = r;
            best.candidate = static_cast<int>(i);
          }
        }
      }
    }
    best.confidence = static_cast<float>(std::clamp(std::exp(bestMass - placeMass), 0.0, 1.0));
    odds.letters.push_back(best);
  }
  return odds;
}

}  // namespace quillon::audio
