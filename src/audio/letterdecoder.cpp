// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/letterdecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "audio/evidence.h"
#include "audio/logsum.h"
#include "core/morse.h"

namespace quillon::audio {

namespace {

constexpr double kScales[3] = {0.92, 1.0, 1.08};
constexpr int kGridPerUnit = 4;
constexpr int kGapMinGrid = 10;      // between letters: at least 2.5 units (a letter gap is 3)
constexpr double kOddGapCost = 3.0;  // a gap too long for a letter gap and too short for a
                                     // word gap: a letter read one element short leaves one
constexpr int kMarginUnits = 24;     // evidence after a letter before it is decided
constexpr int kCycleUnits = 16;      // new evidence between two decisions
constexpr float kLetterCost = 5.0f;  // prior against a letter: noise makes none
constexpr double kNone = kLogZero;
constexpr std::size_t kSnrSlots = 256;  // grid steps the SNR is measured over

// A transmission is read as a frame when the frame has at most kCountSlack letters more
// than were decided one by one, or kFewerSlack fewer (noise heard as letters before and
// after a frame). The frame reading is kept when every reading of the sound is at most
// e^(kFrameDoubt + kDoubtSlots * slot SNR) times as likely: one element heard otherwise
// (a fade, a click) costs about a slot's SNR, whatever the signal's level.
constexpr std::size_t kCountSlack = 4;
constexpr std::size_t kFewerSlack = 10;
constexpr double kFrameDoubt = 12;
constexpr double kDoubtSlots = 2;
constexpr std::size_t kFramesRead = 3;   // frames back to back in one transmission, at most
constexpr double kSureDoubt = 1;         // a frame reading this near every reading ends the search
constexpr std::size_t kHeldRows = 8192;  // a longer transmission is no frame

}  // namespace

LetterDecoder::LetterDecoder(std::u32string_view alphabet) {
  for (const MorseLetter& m : kMorseLetters) {
    if (alphabet.empty() || alphabet.find(m.letter) != std::u32string_view::npos) {
      letters_.push_back(m.letter);
      codes_.push_back(m.code);
    }
  }
  z_.assign(kRing, {});
  noise_.assign(kRing, 1);
  tone_.assign(kRing, 0);
  for (int s = 0; s < 3; ++s) {
    u_[s].assign(kRing, 0);
    llr_[s].assign(kRing, 0);
    llrRho_[s].assign(kRing, 0);
  }
}

void LetterDecoder::restart(double unit) {
  // The new epoch reads again what the last one left undecided, as far as the ring reaches.
  const std::int64_t earliest = std::max<std::int64_t>(0, next_ - static_cast<std::int64_t>(kRing / 2));
  const std::int64_t from = std::max(undecided_, earliest);
  // The transmission being heard goes on at the new unit: its rows from here on are the
  // new epoch's (rows are counted in quarter units at either). Where the ring cannot reach
  // back to the last decided letter, it ends here.
  if (!transmission_.empty() && from > undecided_) endTransmission();
  while (!heldAt_.empty() && heldAt_.back() >= static_cast<double>(from)) {
    held_.pop_back();
    heldAt_.pop_back();
  }
  heldBase_ = heldStart_ + static_cast<std::int64_t>(held_.size());
  unit_ = std::clamp(unit, 2.0, 200.0);
  grid_ = unit_ / kGridPerUnit;
  epoch_ = static_cast<double>(from);
  for (int s = 0; s < 3; ++s) {
    windows_[s] = std::max(1, static_cast<int>(std::lround(unit_ * kScales[s])));
    sums_[s] = {};
  }
  recentU_.clear();
  lastSnrSample_ = from;
  for (std::int64_t n = from; n < next_; ++n) evidence(n);
  gridStart_ = scoredEnd_ = lastDecideGrid_ = 0;
  scores_.clear();
  buildCandidates();
  scoreGrid(false);
}

void LetterDecoder::setLetterGap(double units) {
  // Odd from a unit and a quarter past the letter gap; a word gap from three units past it
  // (a letter gap of 3 units, a word gap of 7: odd from 4.25 units to 6).
  oddGap_ = static_cast<int>(std::lround((units + 1.25) * kGridPerUnit));
  wordGap_ = std::max(oddGap_, static_cast<int>(std::lround((units + 3) * kGridPerUnit)));
}

void LetterDecoder::buildCandidates() {
  cands_.clear();
  lattice_.letter.clear();
  lattice_.length.clear();
  maxLengthGrid_ = 0;
  maxSlotEnd_ = 0;
  for (std::size_t i = 0; i < letters_.size(); ++i) {
    for (int s = 0; s < 3; ++s) {
      Candidate c{letters_[i], s, {}, 0};
      const double u = unit_ * kScales[s];
      int at = 0;  // units from the letter's start
      for (const char e : codes_[i]) {
        const int len = e == '-' ? 3 : 1;
        for (int k = 0; k < len; ++k) c.slotEnds.push_back((at + k + 1) * u);
        at += len + 1;
      }
      const double length = (at - 1) * u;
      c.lengthGrid = std::max(1, static_cast<int>(std::lround(length / grid_)));
      maxLengthGrid_ = std::max(maxLengthGrid_, c.lengthGrid);
      maxSlotEnd_ = std::max(maxSlotEnd_, c.slotEnds.back());
      lattice_.letter.push_back(c.letter);
      lattice_.length.push_back(c.lengthGrid);
      cands_.push_back(std::move(c));
    }
  }
}

void LetterDecoder::push(std::complex<float> z, float noise, bool tone) {
  const std::size_t at = static_cast<std::size_t>(next_) % kRing;
  z_[at] = z;
  noise_[at] = noise;
  tone_[at] = tone;
  if (unit_ > 0) evidence(next_);
  ++next_;
  if (unit_ > 0) scoreGrid(false);
}

void LetterDecoder::evidence(std::int64_t n) {
  const std::size_t at = static_cast<std::size_t>(n) % kRing;
  const bool exact = n % 1024 == 0 || n == static_cast<std::int64_t>(epoch_);  // against rounding
  for (int s = 0; s < 3; ++s) {
    const int w = windows_[s];
    if (exact) {
      sums_[s] = {};
      for (int k = 0; k < w && k <= n; ++k)
        sums_[s] += std::complex<double>(z_[static_cast<std::size_t>(n - k) % kRing]);
    } else {
      sums_[s] += std::complex<double>(z_[at]);
      if (n >= w) sums_[s] -= std::complex<double>(z_[static_cast<std::size_t>(n - w) % kRing]);
    }
    const double scale = std::max(static_cast<double>(noise_[at]), 1e-30) * w;
    u_[s][at] = static_cast<float>(std::min(std::norm(sums_[s]) / scale, 1e30));
    llr_[s][at] = std::numeric_limits<float>::quiet_NaN();
  }
  // The newest slots tell the tone's level, so a transmission's first letters are weighed
  // by it too.
  if (static_cast<double>(n - lastSnrSample_) >= grid_) {
    lastSnrSample_ = n;
    recentU_.push_back(u_[1][at]);
    if (recentU_.size() > kSnrSlots) recentU_.pop_front();
    updateSnr();
  }
}

void LetterDecoder::updateSnr() { rho_ = audio::slotSnr(recentU_); }

float LetterDecoder::llr(std::int64_t sample, int scale) {
  if (sample >= next_)
    return toneLlr(0, static_cast<float>(rho_ * kScales[scale]), static_cast<float>(windows_[scale]));
  const std::size_t at = static_cast<std::size_t>(sample) % kRing;
  // The cache holds the LLR for the SNR it was weighed at: a slot asked for early in a
  // transmission, before the tone's level was known, is weighed again.
  float& cached = llr_[scale][at];
  float& weighedAt = llrRho_[scale][at];
  const auto rho = static_cast<float>(rho_ * kScales[scale]);
  if (std::isnan(cached) || std::abs(weighedAt - rho) > 0.1f * rho) {
    weighedAt = rho;
    // Where no tone is heard, a slot is taken as silence: a letter that reaches into it
    // is as unlikely as one over a gap.
    cached = toneLlr(tone_[at] ? u_[scale][at] : 0.0f, rho, static_cast<float>(windows_[scale]));
  }
  return cached;
}

void LetterDecoder::scoreGrid(bool flush) {
  // A grid point is scored once the longest letter starting there has all its samples;
  // at the end, up to the last sample, with silence after it.
  while (true) {
    const double start = epoch_ + static_cast<double>(scoredEnd_) * grid_;
    if (flush ? start >= static_cast<double>(next_) : static_cast<double>(next_) < start + maxSlotEnd_ + 1)
      return;
    std::vector<float> row(cands_.size());
    for (std::size_t i = 0; i < cands_.size(); ++i) {
      const Candidate& c = cands_[i];
      float score = -kLetterCost;
      for (const double end : c.slotEnds) score += llr(static_cast<std::int64_t>(start + end) - 1, c.scale);
      row[i] = score;
    }
    if (!shapes_.lengths.empty()) {
      held_.push_back(row);
      heldAt_.push_back(start);
    }
    scores_.push_back(std::move(row));
    ++scoredEnd_;
  }
}

bool LetterDecoder::due() const {
  return unit_ > 0 && scoredEnd_ - lastDecideGrid_ >= kCycleUnits * kGridPerUnit;
}

void LetterDecoder::decide(bool final, std::vector<LetterDecision>& out) {
  if (unit_ <= 0) return;
  if (final) scoreGrid(true);
  lastDecideGrid_ = scoredEnd_;
  const int starts = static_cast<int>(scoredEnd_ - gridStart_);
  if (starts <= 0) return;
  const int length = starts + maxLengthGrid_ + 1;
  // Sums of a long window's evidence need a double's precision.
  //   fwd[r]    every reading whose last letter ends at or before r (the empty one too)
  //   follow[r] every reading a letter starting at r may follow: a letter gap, an odd
  //             gap (weighed down) or a word gap or longer before it
  //   after[e]  every reading of what follows a letter that ends at e
  //   bwd[r]    every reading of [r, end) whose first letter starts at r or later
  std::vector<double> fwd(length), endF(length, kNone), follow(length, 0.0);
  std::vector<double> vit(length), endV(length, kNone);
  std::vector<int> endCand(length, -1), endStart(length, -1), prevEnd(length, -1);
  std::vector<std::uint8_t> fromEnd(length, 0);
  const auto cost = [this](int gap) { return gap >= oddGap_ ? -kOddGapCost : 0.0; };
  for (int r = 0; r < length; ++r) {
    fwd[r] = logAdd(r > 0 ? fwd[r - 1] : 0.0, endF[r]);
    const double before = r > 0 ? vit[r - 1] : 0.0;
    fromEnd[r] = endCand[r] >= 0 && endV[r] >= before;
    vit[r] = fromEnd[r] ? endV[r] : before;
    if (r >= starts) continue;
    double pf = r >= wordGap_ ? fwd[r - wordGap_] : 0.0;
    double pv = r >= wordGap_ ? vit[r - wordGap_] : 0.0;
    for (int gap = kGapMinGrid; gap < wordGap_ && gap <= r; ++gap) {
      const int e = r - gap;
      pf = logAdd(pf, endF[e] + cost(gap));
      if (endCand[e] >= 0 && endV[e] + cost(gap) > pv) {
        pv = endV[e] + cost(gap);
        prevEnd[r] = e;
      }
    }
    follow[r] = pf;
    const std::vector<float>& row = scores_[static_cast<std::size_t>(r)];
    for (std::size_t i = 0; i < cands_.size(); ++i) {
      const int e = r + cands_[i].lengthGrid;
      endF[e] = logAdd(endF[e], pf + row[i]);
      if (pv + row[i] > endV[e]) {
        endV[e] = pv + row[i];
        endCand[e] = static_cast<int>(i);
        endStart[e] = r;
      }
    }
  }
  std::vector<double> bwd(length + 1, 0.0), startB(length, kNone), after(length + 1, 0.0);
  for (int r = length - 1; r >= 0; --r) {
    double acc = bwd[r + 1];
    if (r < starts) {
      const std::vector<float>& row = scores_[static_cast<std::size_t>(r)];
      double sb = kNone;
      for (std::size_t i = 0; i < cands_.size(); ++i)
        sb = logAdd(sb, row[i] + after[r + cands_[i].lengthGrid]);
      startB[r] = sb;
      acc = logAdd(acc, sb);
    }
    bwd[r] = acc;
    // Every start after e = r - kGapMinGrid is known now.
    const int e = r - kGapMinGrid;
    if (e >= 0) {
      double a = e + wordGap_ < length ? bwd[e + wordGap_] : 0.0;
      for (int gap = kGapMinGrid; gap < wordGap_ && e + gap < starts; ++gap)
        a = logAdd(a, startB[e + gap] + cost(gap));
      after[e] = a;
    }
  }
  const double total = bwd[0];
  // The best reading, traced back.
  std::vector<std::pair<int, int>> path;  // (start, candidate)
  bool exact = false;                     // the letter before ends right at r
  for (int r = length - 1; r >= 0;) {
    if (exact || fromEnd[r]) {
      const int start = endStart[r];
      path.emplace_back(start, endCand[r]);
      exact = prevEnd[start] >= 0;
      r = exact ? prevEnd[start] : start - wordGap_;
    } else {
      --r;
    }
  }
  std::reverse(path.begin(), path.end());
  const int decidable = final ? length : starts - kMarginUnits * kGridPerUnit;
  int committed = -1;
  for (const auto& [start, ci] : path) {
    const Candidate& c = cands_[static_cast<std::size_t>(ci)];
    if (start + c.lengthGrid > decidable) break;
    // The probability that a letter covering this one's middle is this letter.
    const double middle = start + c.lengthGrid / 2.0;
    double same = kNone;
    for (int r = std::max(0, static_cast<int>(middle) - maxLengthGrid_); r <= middle && r < starts; ++r) {
      const std::vector<float>& row = scores_[static_cast<std::size_t>(r)];
      for (std::size_t i = 0; i < cands_.size(); ++i) {
        if (cands_[i].letter != c.letter || r + cands_[i].lengthGrid < middle) continue;
        same = logAdd(same, follow[r] + row[i] + after[r + cands_[i].lengthGrid] - total);
      }
    }
    LetterDecision d;
    d.letter = c.letter;
    d.confidence = static_cast<float>(std::clamp(std::exp(same), 0.0, 1.0));
    d.unitSamples = unit_ * kScales[c.scale];
    d.startSample = epoch_ + static_cast<double>(gridStart_ + start) * grid_;
    d.endSample = d.startSample + c.slotEnds.back();
    d.slotSnr = rho_;
    out.push_back(d);
    if (!shapes_.lengths.empty())
      hold(d, heldBase_ + gridStart_ + start, heldBase_ + gridStart_ + start + c.lengthGrid);
    committed = start + c.lengthGrid + kGapMinGrid;
  }
  // Drop what is decided: after the last letter, or what no undecided letter can reach.
  int drop = committed >= 0 ? committed : (final ? starts : decidable - maxLengthGrid_);
  drop = std::clamp(drop, 0, starts);
  if (final) drop = starts;
  scores_.erase(scores_.begin(), scores_.begin() + drop);
  gridStart_ += drop;
  undecided_ = static_cast<std::int64_t>(epoch_ + static_cast<double>(gridStart_) * grid_);
  if (shapes_.lengths.empty()) return;
  if (!transmission_.empty() && (final || static_cast<double>(undecided_) >=
                                              transmission_.back().letter.endSample + shapes_.pauseSamples))
    endTransmission();
  trimHeld();
}

void LetterDecoder::readFrames(FrameShapes shapes) {
  shapes_ = std::move(shapes);
  std::sort(shapes_.lengths.begin(), shapes_.lengths.end());
  shapes_.lengths.erase(std::unique(shapes_.lengths.begin(), shapes_.lengths.end()), shapes_.lengths.end());
}

void LetterDecoder::takeTransmissions(std::vector<LetterDecision>& out) {
  out.insert(out.end(), ended_.begin(), ended_.end());
  ended_.clear();
}

void LetterDecoder::hold(const LetterDecision& d, std::int64_t startHeld, std::int64_t endHeld) {
  if (!transmission_.empty() && d.startSample - transmission_.back().letter.endSample >= shapes_.pauseSamples)
    endTransmission();
  transmission_.push_back({d, startHeld, endHeld});
  // A beacon word after a word gap starts the next frame: what came before it is read now,
  // though no pause came between (a beacon may send frame after frame).
  // Fewer letters before it are noise heard before the word, which the reading drops.
  const std::size_t w = shapes_.word.size(), n = transmission_.size();
  if (w == 0 || n < 2 * w + shapes_.lengths.front() - std::min(kCountSlack, shapes_.lengths.front())) return;
  for (std::size_t k = 0; k < w; ++k) {
    if (transmission_[n - w + k].letter.letter != shapes_.word[k]) return;
  }
  const std::int64_t wordStart = transmission_[n - w].startHeld;
  if (wordStart - transmission_[n - w - 1].endHeld < wordGap_) return;
  std::vector<Held> word(transmission_.end() - static_cast<std::ptrdiff_t>(w), transmission_.end());
  transmission_.resize(n - w);
  endTransmission(wordStart - kGapMinGrid);
  transmission_ = std::move(word);
}

void LetterDecoder::trimHeld() {
  if (held_.size() > kHeldRows && !transmission_.empty()) {
    for (const Held& h : transmission_) ended_.push_back(h.letter);
    transmission_.clear();
  }
  // Rows a little before the transmission's first letter: its reading as a frame may
  // find a letter there that was not heard one by one.
  const std::int64_t keep =
      (transmission_.empty() ? heldBase_ + gridStart_ : transmission_.front().startHeld) - 2 * wordGap_;
  while (!held_.empty() && heldStart_ < keep) {
    held_.pop_front();
    heldAt_.pop_front();
    ++heldStart_;
  }
}

void LetterDecoder::endTransmission(std::int64_t until) {
  const std::int64_t margin = 2 * wordGap_;
  const std::int64_t heldEnd = std::min(until, heldStart_ + static_cast<std::int64_t>(held_.size()));
  const std::int64_t first = std::max(heldStart_, transmission_.front().startHeld - margin);
  const std::int64_t last = std::min(heldEnd, transmission_.back().endHeld + margin);
  lattice_.minGap = kGapMinGrid;
  lattice_.oddGap = oddGap_;
  lattice_.wordGap = wordGap_;
  lattice_.oddCost = kOddGapCost;
  // One frame, or up to kFramesRead back to back: a letter that noise made in the pause
  // between two frames joins them into one transmission. The counts nearest the letters
  // heard go first; once a reading explains the sound about as well as any, none other
  // could do much better.
  const auto from = static_cast<std::size_t>(first - heldStart_),
             to = static_cast<std::size_t>(last - heldStart_);
  const std::size_t heard = transmission_.size();
  std::vector<std::vector<std::size_t>> tries;
  std::vector<std::size_t> frames;
  const auto gather = [&](const auto& self, std::size_t count) -> void {
    if (!frames.empty() && count + kFewerSlack >= heard && count <= heard + kCountSlack)
      tries.push_back(frames);
    if (frames.size() == kFramesRead || count >= heard + kCountSlack) return;
    for (const std::size_t length : shapes_.lengths) {
      frames.push_back(length);
      self(self, count + shapes_.word.size() + length);
      frames.pop_back();
    }
  };
  gather(gather, 0);
  const auto off = [&](const std::vector<std::size_t>& t) {
    std::size_t count = 0;
    for (const std::size_t length : t) count += shapes_.word.size() + length;
    return count > heard ? count - heard : heard - count;
  };
  std::stable_sort(tries.begin(), tries.end(), [&](const auto& x, const auto& y) { return off(x) < off(y); });
  const double every = tries.empty() ? 0 : everyReading(held_, from, to, lattice_);
  FrameReadingOdds best;
  for (const auto& t : tries) {
    // The word's letters, a word gap, the body's letters; frames apart by a word gap or more.
    std::vector<FramePlace> places;
    for (const std::size_t length : t) {
      for (const char32_t c : shapes_.word)
        places.push_back({std::u32string(1, c), FramePlace::After::LetterGap});
      places[places.size() - shapes_.word.size()].after = FramePlace::After::WordGap;
      places.insert(places.end(), length, {shapes_.body, FramePlace::After::LetterGap});
      places[places.size() - length].after = FramePlace::After::WordGap;
    }
    FrameReadingOdds odds = readWholeFrame(held_, from, to, lattice_, places);
    if (!odds.letters.empty() && (best.letters.empty() || odds.mass > best.mass)) best = std::move(odds);
    if (!best.letters.empty() && every - best.mass <= kSureDoubt) break;
  }
  const double doubt = best.letters.empty() ? 0 : every - best.mass;
  const double slotSnr = transmission_[transmission_.size() / 2].letter.slotSnr;
  const double slotCost = std::min(slotSnr, static_cast<double>(kMaxSampleSnr) * unit_);
  if (!best.letters.empty() && doubt <= kFrameDoubt + kDoubtSlots * slotCost) {
    const std::size_t firstOut = ended_.size();
    for (const PlacedLetter& p : best.letters) {
      const Candidate& c = cands_[static_cast<std::size_t>(p.candidate)];
      LetterDecision d;
      d.letter = p.letter;
      d.confidence = p.confidence;
      d.unitSamples = unit_ * kScales[c.scale];
      // In order, though a place's likeliest start may fall before the last one's.
      d.startSample = std::max(heldAt_[from + static_cast<std::size_t>(p.start)],
                               ended_.size() > firstOut ? ended_.back().startSample : 0.0);
      d.endSample = d.startSample + c.slotEnds.back();
      d.slotSnr = slotSnr;
      ended_.push_back(d);
    }
  } else {
    for (const Held& h : transmission_) ended_.push_back(h.letter);
  }
  transmission_.clear();
}

}  // namespace quillon::audio
