// SPDX-License-Identifier: GPL-3.0-or-later
// The audio decoder's figures on seeded beacon recordings, beside multimon-ng's MORSE_CW
// on the same files:
//
//   seeded recordings (known letters) -> WAV -> quillon's CwDecoder  -> letters, x marks
//                                            -> sox -> multimon-ng    -> letters
//   -> letters wrong (an x counts as wrong), wrong and not marked x, frames found, and
//      the decoder's speed as a multiple of real time
//
// A letter is marked x as the frame finder will mark it: below kTrustedConfidence, or not
// a hexadecimal letter among a frame's letters. `--png FILE` draws the error curve with
// both decoders and the ideal detectors' limits (a Monte-Carlo with tone and timing known).
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "audio/cwdecoder.h"
#include "bench/errorcurve.h"
#include "support/beaconsignal.h"

namespace {

using quillon::testsupport::SignalSpec;

constexpr std::string_view kHex = "0123456789ABCDEF";
constexpr std::string_view kWord = "TNGR";
float trusted = quillon::kTrustedConfidence;  // --trusted: another threshold, to calibrate it

struct Tally {
  std::size_t letters = 0, wrong = 0, wrongUnmarked = 0, frames = 0, framesFound = 0;
  void add(const Tally& t) {
    letters += t.letters;
    wrong += t.wrong;
    wrongUnmarked += t.wrongUnmarked;
    frames += t.frames;
    framesFound += t.framesFound;
  }
  double wrongShare() const {
    return letters ? static_cast<double>(wrong) / static_cast<double>(letters) : 0;
  }
  double unmarkedShare() const {
    return letters ? static_cast<double>(wrongUnmarked) / static_cast<double>(letters) : 0;
  }
};

// Edits that turn `want` into `got` (letters only), counting substitutions, drops and
// insertions; an x in `got` is a wrong letter, but a marked one.
Tally compare(std::string_view want, std::string_view got) {
  const std::size_t n = want.size(), m = got.size();
  std::vector<std::vector<std::uint32_t>> d(n + 1, std::vector<std::uint32_t>(m + 1));
  for (std::size_t i = 0; i <= n; ++i) d[i][0] = static_cast<std::uint32_t>(i);
  for (std::size_t j = 0; j <= m; ++j) d[0][j] = static_cast<std::uint32_t>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (want[i - 1] != got[j - 1])});
    }
  }
  Tally t;
  t.letters = n;
  for (std::size_t i = n, j = m; i > 0 || j > 0;) {
    if (i > 0 && j > 0 && d[i][j] == d[i - 1][j - 1] + (want[i - 1] != got[j - 1])) {
      if (want[i - 1] != got[j - 1]) {
        ++t.wrong;
        if (got[j - 1] != 'x') ++t.wrongUnmarked;
      }
      --i, --j;
    } else if (j > 0 && d[i][j] == d[i][j - 1] + 1) {
      ++t.wrong;  // a letter invented
      if (got[j - 1] != 'x') ++t.wrongUnmarked;
      --j;
    } else {
      ++t.wrong;  // a letter lost
      --i;
    }
  }
  return t;
}

// Where the beacon word starts in a line: its letters, an x for at most two of them.
std::size_t beaconWord(std::string_view line) {
  for (std::size_t i = 0; i + kWord.size() <= line.size(); ++i) {
    int heard = 0, fits = 0;
    for (std::size_t k = 0; k < kWord.size(); ++k) {
      heard += line[i + k] == kWord[k];
      fits += line[i + k] == kWord[k] || line[i + k] == 'x';
    }
    if (fits == 4 && heard >= 2) return i;
  }
  return std::string::npos;
}

// Transmissions as the finder sees them: letters, with x where it will mark one.
std::vector<std::string> heardLines(const std::vector<quillon::audio::AudioLetter>& letters, bool beacon) {
  std::vector<std::string> lines;
  for (const auto& a : letters) {
    if (lines.empty() || a.heard.gapBefore == quillon::Gap::Pause) lines.emplace_back();
    lines.back() += static_cast<char>(a.heard.letter);
    // --text prints every letter as its best guess; frames mark the doubtful ones.
    if (beacon && a.heard.confidence < trusted) lines.back().back() = 'x';
  }
  if (!beacon) return lines;
  // The finder takes a frame from the beacon word on (an x in it may stand for a letter
  // of it, if two others are heard); what comes before is no frame's and never printed.
  for (std::string& line : lines) {
    const std::size_t word = beaconWord(line);
    const std::size_t from = word == std::string::npos ? 0 : word + kWord.size();
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (i < word && word != std::string::npos) line[i] = 'x';
      if (i >= from && kHex.find(line[i]) == std::string_view::npos) line[i] = 'x';
    }
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l;
  return s;
}

std::size_t framesFound(const std::vector<std::string>& lines, std::size_t letters) {
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    const std::size_t word = beaconWord(l);
    return word != std::string::npos && l.size() - word == kWord.size() + letters;
  }));
}

struct Run {
  Tally quillon, multimon;
  double audioS = 0, decodeS = 0;
};

// The process's own CPU time: other work on the machine does not count against it.
double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::string tempDir;
bool withMultimon = true;
bool verbose = false;

// multimon-ng reads 16-bit raw samples at 22,050 Hz; sox converts the same WAV.
std::string multimonLetters(const std::string& wav) {
  const std::string cmd = "sox -q '" + wav +
                          "' -t raw -e signed -b 16 -r 22050 -c 1 - 2>/dev/null | multimon-ng -q -a MORSE_CW "
                          "-t raw - 2>/dev/null";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  std::string letters;
  for (const char c : out) {
    if (c > ' ' && c < 127) letters += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return letters;
}

// One recording through both decoders. `text` holds the frames, '|' between them.
Run runOne(const SignalSpec& signal, const std::string& text, bool beacon, std::size_t frameLetters) {
  Run run;
  const auto rec = quillon::testsupport::makeRecording(signal, text);
  std::string want;
  for (const auto& k : rec.letters) want += k.letter;
  const std::string wav = tempDir + "/r.wav";
  quillon::testsupport::writeSoundFile(wav, rec.samples, static_cast<int>(signal.sampleRate),
                                       SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  // The decoder reads the file's samples as a listener would, through libsndfile.
  SF_INFO info{};
  SNDFILE* f = sf_open(wav.c_str(), SFM_READ, &info);
  std::vector<float> samples(static_cast<std::size_t>(info.frames));
  sf_readf_float(f, samples.data(), info.frames);
  sf_close(f);
  quillon::audio::DecoderOptions options;
  options.sampleRate = signal.sampleRate;
  if (beacon) {
    options.alphabet = quillon::audio::kBeaconAlphabet;
    options.frameLengths = {22, 16, 8};
  }
  const double t0 = cpuSeconds();
  quillon::audio::CwDecoder decoder(options);
  for (std::size_t i = 0; i < samples.size(); i += 4096) {
    decoder.feed(std::span<const float>(samples).subspan(i, std::min<std::size_t>(4096, samples.size() - i)));
  }
  decoder.finish();
  const auto letters = beacon ? decoder.takeTransmissions() : decoder.takeLetters();
  run.decodeS = cpuSeconds() - t0;
  run.audioS = static_cast<double>(samples.size()) / signal.sampleRate;
  const auto lines = heardLines(letters, beacon);
  run.quillon = compare(want, joined(lines));
  if (verbose && !letters.empty())
    std::printf("tone %.1f heard %.1f, wpm %.1f heard %.1f, snr %.1f heard %.1f\n", signal.toneHz,
                letters[letters.size() / 2].signal.toneHz, signal.wpm, letters[letters.size() / 2].signal.wpm,
                signal.snrDb, letters[letters.size() / 2].signal.snrDb);
  if (verbose)
    std::printf("want %s\ngot  %s (%zu wrong)\n", want.c_str(), joined(lines).c_str(), run.quillon.wrong);
  const std::size_t frames = static_cast<std::size_t>(std::count(text.begin(), text.end(), '|')) + 1;
  run.quillon.frames = frames;
  run.quillon.framesFound = beacon ? framesFound(lines, frameLetters) : 0;
  if (withMultimon) {
    run.multimon = compare(want, multimonLetters(wav));
    run.multimon.frames = frames;
  }
  return run;
}

std::string randomLetters(std::string_view alphabet, std::size_t count, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += alphabet[random() % alphabet.size()];
  return s;
}

std::string hexFrame(std::mt19937_64& random, std::size_t letters) {
  std::string s(kWord);
  s += ' ';
  for (std::size_t i = 0; i < letters; ++i) s += kHex[random() % 16];
  return s;
}

const double kRates[] = {8000, 11025, 44100, 48000};

void printHeader(const char* title) {
  std::printf("\n%s\n", title);
  std::printf(
      "| %-22s | letters | quillon wrong | wrong, not x | frames found | multimon-ng wrong | x real time |\n",
      "condition");
  std::printf("|---|---|---|---|---|---|---|\n");
}

void printRow(const std::string& name, const Tally& q, const Tally& m, double speed) {
  std::printf("| %-22s | %7zu | %12.2f%% | %11.2f%% | %5zu of %-4zu | %16.1f%% | %8.0f |\n", name.c_str(),
              q.letters, 100 * q.wrongShare(), 100 * q.unmarkedShare(), q.framesFound, q.frames,
              100 * m.wrongShare(), speed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t files = 16;  // recordings per row, two frames each
  std::string png, only;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--files" && i + 1 < argc)
      files = std::strtoul(argv[++i], nullptr, 10);
    else if (a == "--png" && i + 1 < argc)
      png = argv[++i];
    else if (a == "--only" && i + 1 < argc)
      only = argv[++i];
    else if (a == "--no-multimon")
      withMultimon = false;
    else if (a == "--verbose")
      verbose = true;
    else if (a == "--trusted" && i + 1 < argc)
      trusted = std::strtof(argv[++i], nullptr);
    else {
      std::fprintf(stderr,
                   "usage: audio_bench [--files N] [--only curve|hard|keying|drift|text|speed] "
                   "[--no-multimon] [--png FILE]\n");
      return 2;
    }
  }
  char dir[] = "/tmp/quillon-audio-bench-XXXXXX";
  if (!mkdtemp(dir)) return 1;
  tempDir = dir;
  auto want = [&](std::string_view s) { return only.empty() || only == s; };

  std::vector<CurvePoint> curve;
  if (want("curve")) {
    printHeader("House-keeping frames, 20 WPM, two a file, 8 and 11.025 kHz, tone 400-2,000 Hz");
    for (const double snr : {10.0, 0.0, -3.0, -6.0, -8.0, -9.0, -10.0, -11.0, -12.0}) {
      Tally q, m;
      double audio = 0, spent = 0;
      for (std::size_t k = 0; k < files; ++k) {
        std::mt19937_64 random(1000 * static_cast<std::uint64_t>(snr + 100) + k);
        SignalSpec s;
        s.seed = random();
        s.snrDb = snr;
        s.sampleRate = kRates[k % 2];
        s.toneHz = 400 + static_cast<double>(random() % 1600);
        const std::string text = hexFrame(random, 22) + "|" + hexFrame(random, 22);
        const Run r = runOne(s, text, true, 22);
        q.add(r.quillon);
        m.add(r.multimon);
        audio += r.audioS;
        spent += r.decodeS;
      }
      char name[32];
      std::snprintf(name, sizeof name, "%+.0f dB", snr);
      printRow(name, q, m, audio / spent);
      curve.push_back({snr, q.wrongShare(), q.unmarkedShare(), m.wrongShare()});
    }
  }
  auto scenario = [&](const char* title,
                      const std::function<SignalSpec(std::mt19937_64&, std::size_t)>& make) {
    printHeader(title);
    Tally q, m;
    double audio = 0, spent = 0;
    for (std::size_t k = 0; k < files; ++k) {
      std::mt19937_64 random(77 + k);
      const SignalSpec s = make(random, k);
      const Run r = runOne(s, hexFrame(random, 22) + "|" + hexFrame(random, 22), true, 22);
      q.add(r.quillon);
      m.add(r.multimon);
      audio += r.audioS;
      spent += r.decodeS;
    }
    printRow("all", q, m, audio / spent);
  };
  auto uniform = [](std::mt19937_64& r, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(r);
  };
  if (want("hard")) {
    scenario("Hard: 12-40 WPM, 3 % keying spread, 40-70 Hz/s drift, 10 dB fading, 0 dB, 8-48 kHz",
             [&](std::mt19937_64& r, std::size_t k) {
               SignalSpec s;
               s.seed = r();
               s.snrDb = 0;
               s.wpm = uniform(r, 12, 40);
               s.jitter = 0.03;
               s.driftHzPerS = uniform(r, 40, 70) * (k % 2 ? 1 : -1);
               s.toneHz = uniform(r, 500, 2200);
               s.fadeDb = 10;
               s.fadePeriodS = uniform(r, 8, 20);
               s.sampleRate = kRates[k % 4];
               return s;
             });
  }
  if (want("keying")) {
    scenario("Own keying: letter gap 5 units, word gap 9, 3 % spread, 20 WPM, -3 dB",
             [&](std::mt19937_64& r, std::size_t k) {
               SignalSpec s;
               s.seed = r();
               s.snrDb = -3;
               s.jitter = 0.03;
               s.letterGapUnits = 5;
               s.wordGapUnits = 9;
               s.toneHz = uniform(r, 400, 2000);
               s.sampleRate = kRates[k % 4];
               return s;
             });
  }
  if (want("drift")) {
    scenario("Drift 200 Hz/s and a 150 Hz step, 20 WPM, 0 dB", [&](std::mt19937_64& r, std::size_t k) {
      SignalSpec s;
      s.seed = r();
      s.snrDb = 0;
      s.driftHzPerS = 200 * (k % 2 ? 1 : -1);
      s.toneHz = uniform(r, 800, 2000);
      s.stepHz = k % 4 < 2 ? 150 : -150;
      s.stepAtS = uniform(r, 5, 25);
      s.sampleRate = kRates[k % 4];
      return s;
    });
  }
  if (want("text")) {
    std::printf("\nRandom Morse text (A-Z, 0-9; --text, best guesses), 30-60 WPM, 8 kHz\n");
    std::printf("| %-22s | letters | quillon wrong | multimon-ng wrong |\n|---|---|---|---|\n", "SNR");
    for (const double snr : {5.0, 2.0, -1.0, -4.0, -7.0}) {
      Tally q, m;
      for (std::size_t k = 0; k < files; ++k) {
        std::mt19937_64 random(5000 + k + static_cast<std::uint64_t>(snr + 100) * 100);
        SignalSpec s;
        s.seed = random();
        s.snrDb = snr;
        s.wpm = uniform(random, 30, 60);
        s.toneHz = uniform(random, 400, 2000);
        std::string text;
        for (int w = 0; w < 10; ++w) {
          text += randomLetters("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 5, random());
          text += ' ';
        }
        const Run r = runOne(s, text, false, 0);
        q.add(r.quillon);
        m.add(r.multimon);
      }
      std::printf("| %+21.0f dB | %7zu | %12.2f%% | %16.1f%% |\n", snr, q.letters, 100 * q.wrongShare(),
                  100 * m.wrongShare());
    }
  }
  if (want("speed")) {
    std::printf(
        "\nSpeed: 10 minutes of house-keeping frames at 0 dB, one core\n| rate | x real time |\n|---|---|\n");
    for (const double rate : {48000.0, 8000.0}) {
      SignalSpec s;
      s.sampleRate = rate;
      s.snrDb = 0;
      std::mt19937_64 random(9);
      std::string text;
      while (text.size() < 27 * 22) text += hexFrame(random, 22) + "|";  // about 10 minutes
      const auto rec = quillon::testsupport::makeRecording(s, text);
      quillon::audio::DecoderOptions options;
      options.sampleRate = rate;
      options.alphabet = quillon::audio::kBeaconAlphabet;
      const double t0 = cpuSeconds();
      quillon::audio::CwDecoder decoder(options);
      for (std::size_t i = 0; i < rec.samples.size(); i += 4096) {
        decoder.feed(std::span<const float>(rec.samples)
                         .subspan(i, std::min<std::size_t>(4096, rec.samples.size() - i)));
        decoder.takeLetters();
      }
      decoder.finish();
      const double spent = cpuSeconds() - t0;
      std::printf("| %.0f Hz | %.0f |\n", rate, static_cast<double>(rec.samples.size()) / rate / spent);
    }
  }
  std::filesystem::remove_all(tempDir);
  if (!png.empty() && !curve.empty()) return drawErrorCurve(png, curve, argc, argv) ? 0 : 1;
  return 0;
}
