// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/cwdecoder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <utility>

#include "audio/baseband.h"
#include "audio/finetuner.h"
#include "audio/letterdecoder.h"
#include "audio/speedtracker.h"
#include "audio/tonetracker.h"
#include "core/beacon.h"

namespace quillon::audio {

namespace {

constexpr double kInnerRate = 8000;  // summed to about this; enough for 2,700 Hz
constexpr double kBasebandRate = 500;
constexpr double kToneLeadS = 1.0;
constexpr double kSpeedLeadS = 3.0;
constexpr double kFineLagS = 0.016;  // +-31 Hz of residual offset
constexpr double kFineHalfS = 0.5;

constexpr double kPauseS = 2.0;  // a silence this long ends a transmission
constexpr float kLargest = 1e6f;
constexpr std::size_t kBlock = 256;  // larger samples are clipped: sums stay finite

// The noise level known later, unless it fell by more than 1.5 dB from the level around the
// sample: noise changes slowly, and such a fall is a squelch closing or a recording padded
// with zeros after the transmission, against which every key-up slot would sound like a tone.
float steadyNoise(float later, float around) { return later < 0.7f * around ? around : later; }

}  // namespace

CwDecoder::CwDecoder(const DecoderOptions& options) : options_(options) {
  if (!(options.sampleRate >= kMinSampleRate && options.sampleRate <= kMaxSampleRate)) {
    throw std::invalid_argument("sample rate outside 8000-48000 Hz");
  }
  sum_ = std::max<std::size_t>(1, static_cast<std::size_t>(options.sampleRate / kInnerRate));
  rate_ = options.sampleRate / static_cast<double>(sum_);
  dcAlpha_ = 1 - std::exp(-2 * std::numbers::pi * 20 / rate_);
  tone_ = std::make_unique<ToneTracker>(rate_);
  const auto hop = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(rate_ / kBasebandRate)));
  baseband_ = std::make_unique<Baseband>(rate_, hop);
  bbRate_ = rate_ / static_cast<double>(hop);
  fine_ = std::make_unique<FineTuner>(static_cast<std::size_t>(kFineLagS * bbRate_),
                                      static_cast<std::size_t>(kFineHalfS * bbRate_));
  speed_ = std::make_unique<SpeedTracker>(bbRate_);
  ncoHz_.assign(fine_->delay() + 1, 0);
  letters_ = std::make_unique<LetterDecoder>(options.alphabet);
  if (!options.frameLengths.empty()) {
    std::u32string word;
    for (const char c : kBeaconWord) word += static_cast<char32_t>(c);
    letters_->readFrames({word, std::u32string(kHexLetters), options.frameLengths, kPauseS * bbRate_});
  }
  delay_.assign(static_cast<std::size_t>(kToneLeadS * rate_) + 1, 0);
  pending_.resize(static_cast<std::size_t>(kSpeedLeadS * bbRate_) + 1);
  toneAt_.assign(65536, 0);  // a frame's first letter is put out when the frame ends
}

CwDecoder::~CwDecoder() = default;

double CwDecoder::secondsFed() const { return static_cast<double>(fed_) / options_.sampleRate; }

void CwDecoder::feed(std::span<const float> samples) {
  if (finished_) return;
  // Summed and DC-free samples go to the tracker a short block at a time (it keeps its
  // estimates for two seconds), then one by one through the mixer's delay.
  auto flush = [this] {
    tone_->feed(blocked_);
    for (const float v : blocked_) delayForMixer(v);
    blocked_.clear();
  };
  std::size_t i = 0;
  while (i < samples.size()) {
    // The rest of one sum, in a tight loop.
    const std::size_t take = std::min(sum_ - partialCount_, samples.size() - i);
    float acc = 0;
    std::uint32_t bad = 0;
    for (std::size_t k = i; k < i + take; ++k) {
      const float x = samples[k];
      const bool finite = std::abs(x) <= std::numeric_limits<float>::max();  // false for NaN
      bad += !finite;
      acc += finite ? std::clamp(x, -kLargest, kLargest) : 0.0f;
    }
    nonFinite_ += bad;
    partial_ += acc;
    partialCount_ += take;
    i += take;
    if (partialCount_ == sum_) {
      // The blocker starts as the running mean of the first samples: an offset makes no
      // click at the start, nor does the first sample's noise.
      ++summed_;
      dc_ += std::max(dcAlpha_, 1.0 / static_cast<double>(summed_)) * (partial_ - dc_);
      blocked_.push_back(static_cast<float>(partial_ - dc_));
      partial_ = 0;
      partialCount_ = 0;
      if (blocked_.size() == kBlock) flush();
    }
  }
  fed_ += samples.size();
  flush();
}

void CwDecoder::delayForMixer(float v) {
  // The mixer takes the sample kToneLeadS old.
  const float old = delay_[delayHead_];
  delay_[delayHead_] = v;
  delayHead_ = (delayHead_ + 1) % delay_.size();
  if (++written_ > delay_.size()) mix(old);
}

void CwDecoder::mix(float v) {
  hop_.push_back(v);
  if (hop_.size() == baseband_->hop()) mixHop();
}

void CwDecoder::mixHop() {
  const double t = static_cast<double>(mixed_) / rate_;
  const double hz = tone_->toneAt(t, kToneLeadS);
  if (hz > 0) baseband_->setToneHz(hz);
  mixed_ += hop_.size();
  zs_.clear();
  baseband_->feed(hop_, zs_);
  hop_.clear();
  for (const auto z : zs_) pushBaseband(z);
}

void CwDecoder::pushBaseband(std::complex<float> raw) {
  // The NCO's frequency travels with its sample through the fine tuner's delay.
  ncoHz_[rawCount_ % ncoHz_.size()] = static_cast<float>(baseband_->toneHz());
  ++rawCount_;
  std::complex<float> z;
  if (!fine_->push(raw, z)) return;
  const float ncoHz = ncoHz_[(rawCount_ - 1 - fine_->delay()) % ncoHz_.size()];
  const double t = static_cast<double>(mixed_) / rate_ - static_cast<double>(fine_->delay() + 1) / bbRate_;
  const auto noiseHere = static_cast<float>(tone_->noisePerSampleAt(t, baseband_->noiseGain()));
  const auto noiseLater = static_cast<float>(tone_->noisePerSample(baseband_->noiseGain()));
  speed_->push(z, steadyNoise(noiseLater, noiseHere));
  // Whether a tone is heard around this sample: the tracker has seen kToneLeadS further.
  const bool locked = tone_->lockedAt(t + kToneLeadS) && ncoHz > 0;
  toneHeard_ = toneHeard_ || locked;
  Pending& p = pending_[pendingIn_ % pending_.size()];
  p = {z, noiseHere, static_cast<float>(ncoHz + fine_->offset() * bbRate_ / (2 * std::numbers::pi)), locked};
  ++pendingIn_;
  if (pendingIn_ - pendingOut_ < pending_.size()) return;
  // The oldest waits no longer: the speed has seen kSpeedLeadS beyond it.
  Pending q = pending_[pendingOut_ % pending_.size()];
  ++pendingOut_;
  // The noise level as known now, kSpeedLeadS later: the first samples came before the
  // tracker had measured it.
  q.noise = steadyNoise(noiseLater, q.noise);
  // The epoch is weighed when a look at the speed comes in, once a second, and when
  // letters are decided.
  if (speed_->looks() != looks_) {
    looks_ = speed_->looks();
    if (speed_->strength() > 0) {
      if (const auto unit = epoch_.look(speed_->unitSamples())) letters_->restart(*unit);
    }
  }
  std::vector<LetterDecision> decided;
  toneAt_[static_cast<std::size_t>(letters_->samples()) % toneAt_.size()] = q.toneHz;
  letters_->push(q.z, q.noise, q.tone);
  if (letters_->due()) letters_->decide(false, decided);
  if (const auto unit = epoch_.letters(decided)) letters_->restart(*unit);
  toLetters(decided, heard_, true);
  takeFromDecoder();
}

void CwDecoder::takeFromDecoder() {
  std::vector<LetterDecision> ended;
  letters_->takeTransmissions(ended);
  toLetters(ended, transmissions_, false);
}

double CwDecoder::wordGapUnits() const { return std::max(5.0, letterGapUnits_ + 2); }

void CwDecoder::toLetters(const std::vector<LetterDecision>& decided, LetterRun& run, bool heard) {
  const double sPerSample = static_cast<double>(baseband_->hop()) / rate_;
  for (const LetterDecision& d : decided) {
    AudioLetter a;
    a.heard.letter = d.letter;
    a.heard.confidence = d.confidence;
    a.heard.startS = std::max(0.0, (d.startSample - 0.5) * sPerSample);
    const double endS = (d.endSample - 0.5) * sPerSample;
    const double unitS = d.unitSamples * sPerSample;
    if (run.lone) {
      // The letter held stood alone when a word gap parts this one from it too: it goes.
      if (a.heard.startS - run.loneEndS < wordGapUnits() * unitS) {
        run.out.push_back(*run.lone);
        run.lastEndS = run.loneEndS;
      }
      run.lone.reset();
    }
    if (run.lastEndS < 0 || a.heard.startS - run.lastEndS >= kPauseS) {
      a.heard.gapBefore = Gap::Pause;
    } else {
      // Letter and word gaps as this sender keys them.
      const double gap = (a.heard.startS - run.lastEndS) / unitS;
      a.heard.gapBefore = gap >= wordGapUnits() ? Gap::Word : Gap::Letter;
      if (heard && gap < 8) {
        letterGapUnits_ += 0.1 * (gap - letterGapUnits_);
        letters_->setLetterGap(letterGapUnits_);
      }
    }
    a.signal.wpm = 1.2 / unitS;
    const auto middle = static_cast<std::int64_t>((d.startSample + d.endSample) / 2);
    a.signal.toneHz = toneAt_[static_cast<std::size_t>(std::max<std::int64_t>(0, middle)) % toneAt_.size()];
    // A unit slot's SNR over the noise in 2,500 Hz: the baseband sample's noise is the
    // input's times the mixer's gain, its tone amplitude half the hop's weights.
    const double hop = static_cast<double>(baseband_->hop());
    const double perSample = d.slotSnr / std::max(d.unitSamples, 1.0);
    const double snr = perSample * baseband_->noiseGain() * rate_ / (hop * hop * 2500);
    a.signal.snrDb = snr > 0 ? 10 * std::log10(snr) : -99;
    const bool wordBefore = run.lastEndS < 0 || a.heard.startS - run.lastEndS >= wordGapUnits() * unitS;
    if (heard && wordBefore && a.heard.confidence < kTrustedConfidence) {
      run.lone = a;
      run.loneEndS = endS;
    } else {
      run.out.push_back(a);
      run.lastEndS = endS;
    }
  }
}

void CwDecoder::finish() {
  if (finished_) return;
  // Mix what waits in the delay line (the tracker has seen it all), then decide what is
  // left.
  const std::size_t held = std::min<std::uint64_t>(written_, delay_.size());
  for (std::size_t i = 0; i < held; ++i) mix(delay_[(delayHead_ + delay_.size() - held + i) % delay_.size()]);
  while (!hop_.empty()) mix(0);
  for (std::size_t i = 0; i < fine_->delay(); ++i) pushBaseband({});
  std::vector<LetterDecision> decided;
  // A recording shorter than the speed's lead: its letters at the speed heard so far.
  if (const auto unit = epoch_.startNow()) letters_->restart(*unit);
  while (pendingOut_ < pendingIn_) {
    Pending q = pending_[pendingOut_ % pending_.size()];
    ++pendingOut_;
    q.noise = steadyNoise(static_cast<float>(tone_->noisePerSample(baseband_->noiseGain())), q.noise);
    toneAt_[static_cast<std::size_t>(letters_->samples()) % toneAt_.size()] = q.toneHz;
    letters_->push(q.z, q.noise, q.tone);
    if (letters_->due()) letters_->decide(false, decided);
  }
  letters_->decide(true, decided);
  toLetters(decided, heard_, true);
  takeFromDecoder();
  finished_ = true;
}

void CwDecoder::followTone(double hz) { tone_->follow(hz); }

std::vector<AudioLetter> CwDecoder::takeLetters() { return std::exchange(heard_.out, {}); }

std::vector<AudioLetter> CwDecoder::takeTransmissions() { return std::exchange(transmissions_.out, {}); }

}  // namespace quillon::audio
