// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-decode: the dialog's reports from the command line, for logs, decoder text and
// recordings.
//
//   KIND [LETTERS | log]  -> batch (frames as typed)
//   scan [FILE]           -> the frame finder over any CW decoder's text
//   listen FILE           -> the audio decoder, then the frame finder
//   jd [INSTANT]          -> the Julian Date

#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/juliandatecommand.h"
#include "cli/listen.h"
#include "cli/scan.h"
#include "core/receptiontime.h"
#include "frames/framelist.h"
#include "versiontext.h"

namespace {

using namespace quillon;
using namespace quillon::cli;

// "hk (22 letters), sat (8), pda (8) or satpda (16)"
std::string kindsText() {
  std::string text;
  const auto frames = allFrames();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (i > 0) text += i + 1 == frames.size() ? " or " : ", ";
    text += std::string(frames[i]->name) + " (" + std::to_string(frames[i]->letters) + (i == 0 ? " letters)" : ")");
  }
  return text;
}

std::string usage() {
  return "usage: quillon-decode [--json | --csv | --crlf] [--time UTC] KIND [--] [LETTERS... | -]\n"
         "       quillon-decode scan [--json | --csv | --crlf] [--eight sat|pda] [--time UTC] [FILE | -]...\n"
         "       quillon-decode listen [--json | --csv | --crlf | --text] [--eight sat|pda]\n"
         "                             [--start UTC] FILE | -...\n"
         "       quillon-decode jd [YYYY-MM-DD hh:mm:ss[.mmm]]\n"
         "KIND is " + kindsText() + "; frames that start with -\n"
         "go after --, as in: quillon-decode sat -- -A234567; --help tells all.\n";
}

constexpr const char* kFooter = R"(Frames:
  Each LETTERS argument is one frame, decoded exactly as typed in the dialog. With no
  LETTERS, or with -, frames come from standard input, one a line: LF or CR LF line
  ends; a byte-order mark at the start, blanks at either end of a line and the beacon
  word TNGR (any case) with the blanks after it are dropped; empty lines are skipped.
  Anything else counts as typed: a blank among the letters is an invalid letter. A
  not-copied letter is a lower-case x. Bytes that are not UTF-8 are invalid letters and
  show as U+FFFD. A line longer than 4096 bytes (its line end aside) is refused without
  being held in memory.

Arguments:
  Everything after the first -- is a frame, wherever the -- stands: a frame that
  starts with - goes after it (quillon-decode sat -- -A234567).

Times:
  A line that starts with a UTC time, 2026-12-07T03:10:12Z or 2026-12-07 03:10:12
  (a fraction of a second and a Z may follow), gives that time to the frames on it.
  --time UTC, in the same forms, gives a time to frames that have none; without it
  they get the moment of decoding. listen times a frame from the recording's start,
  --start UTC or a SatNOGS file name (satnogs_ID_YYYY-MM-DDTHH-MM-SS.ogg), plus where
  its beacon word starts; without one, the moment of decoding.

scan and listen:
  scan finds every beacon frame in the text of any CW decoder (its receive window or
  log, standard input without FILE or with -), even with letters damaged: it compares
  in dits and dahs, mends a letter heard as two or two heard as one where only one
  reading fits, and marks every letter it cannot trust as not copied (x). A frame is
  routed by its letters: 22 hk, 16 satpda, 8 as --eight says; an 8-letter frame
  without --eight is named on standard error and not decoded. listen hears the frames
  in recordings (WAV, FLAC, OGG and what else libsndfile reads; several channels are
  mixed), marks every letter heard with doubt as x, and prints them as scan does;
  --text prints everything heard instead, a line for each transmission.

Output:
  For each frame the dialog's report (title, UTC, LocalTime, Data, field lines) with LF
  line ends, or CR LF with --crlf. With --json one JSON object a line: "kind", "data",
  "utc" (ISO 8601, 2026-12-06T18:25:28.123Z), "local" (with its offset from UTC),
  "fields" (analysed fields by key: engineering values as numbers, counts and seconds
  as integers, states as texts) and "notAnalyzed" (the keys left out); satpda nests a
  "fields"/"notAnalyzed" pair under "satellite" and under "pda"; scan adds "source"
  (file:line), listen "source" (the file), "offsetS", "wpm", "toneHz", "snrDb" and a
  "confidence" for each letter. With --csv RFC 4180 CSV: a header row utc,local,data
  and the field keys (satpda: satellite.KEY, pda.KEY), then a row a frame, values as
  in JSON, an empty cell for a field not analysed; scan and listen write one table of
  every kind: kind,source,utc,local,data and KIND.KEY columns.
  jd prints the Julian Date of the UTC instant given, or of now, as "%15.7lf".

Errors and exit status:
  A frame of the wrong length is refused with the dialog's message on standard error
  ("quillon-decode: line 3: Please input 22 Letters"; "frame 2" for arguments, counted
  within this run: under xargs, within each batch) and the other frames are still
  decoded. A jd field out of range gives the date library's words ("year outside
  1900..2100"). A recording that cannot be read, is cut short or holds no tone is named
  with the reason.
  0: every frame decoded; 1: a frame refused or not decoded, a jd field out of range,
  or a read or write error (this help included); 2: usage error.)";

// A usage error says so, and is a plain failure when even that cannot be written.
int usageError(const std::string& message) {
  std::cerr << "quillon-decode: " << message << '\n' << usage() << std::flush;
  return std::cerr ? 2 : 1;
}

// Help and version go to standard output; one lost on a full disk is no success.
int helpShown(const CLI::App& app, const CLI::Error& e) {
  const int status = app.exit(e);
  std::cout.flush();
  if (std::cout) return status;
  std::cerr << "quillon-decode: cannot write to standard output\n";
  return 1;
}

int runJulianDate(const std::vector<std::string>& words) {
  JulianDateAnswer answer;
  if (words.empty()) {
    answer = julianDateNow(stm::readSystemClock);
  } else {
    // The instant may come as one argument or as date and time apart.
    const std::string text = words.size() == 1 ? words[0] : words[0] + " " + words[1];
    const auto instant = parseUtcInstant(text);
    if (!instant) return usageError("jd expects YYYY-MM-DD hh:mm:ss[.mmm], not \"" + text + "\"");
    answer = julianDateOf(*instant);
  }
  if (!answer.ok) {
    std::cerr << "quillon-decode: " << answer.text << '\n';
    return 1;
  }
  std::cout << answer.text << '\n' << std::flush;
  if (!std::cout) {
    std::cerr << "quillon-decode: cannot write the Julian Date\n";
    return 1;
  }
  return 0;
}

// Scans each text file (standard input for none, or for -) in turn, into one output.
int runScan(const std::vector<std::string>& files, OutputForm form, const FrameRoutes& routes,
            const std::optional<stm::ClockReading>& given) {
  FoundReports reports(form);
  ReportSink sink(std::cout, std::cerr);
  BatchResult result;
  reports.appendStart(sink.buffer());
  for (const std::string& name : files.empty() ? std::vector<std::string>{"-"} : files) {
    const int fd = name == "-" ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      result.readFailed = true;
      sink.tell("cannot open " + name + ": " + std::strerror(errno));
      continue;
    }
    scanText(fileSource(fd), name, routes, reports, given, sink, result);
    if (fd != STDIN_FILENO) ::close(fd);
    if (sink.failed()) break;
  }
  sink.finish(result);
  return result.exitStatus();
}

int runListen(const std::vector<std::string>& files, OutputForm form, const FrameRoutes& routes,
              const ListenOptions& options) {
  FoundReports reports(form);
  ReportSink sink(std::cout, std::cerr);
  BatchResult result;
  if (!options.text) reports.appendStart(sink.buffer());
  for (const std::string& name : files) {
    listenTo(name, routes, reports, options, sink, result);
    if (sink.failed()) break;
  }
  sink.finish(result);
  return result.exitStatus();
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);

  CLI::App app{"Decodes the CW telemetry beacon of the satellite Tanager, as the Quillon dialog does.",
               "quillon-decode"};
  app.footer(kFooter);
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", versionText("quillon-decode"));
  bool json = false, csv = false, crlf = false, text = false;
  std::string time, start, eight;
  auto* jsonFlag = app.add_flag("--json", json, "One JSON object a line instead of the text reports");
  auto* csvFlag = app.add_flag("--csv", csv, "CSV for spreadsheets: a header row, then a row a frame");
  auto* crlfFlag = app.add_flag("--crlf", crlf, "CR LF line ends, as beacon logs keep them");
  jsonFlag->excludes(crlfFlag);
  jsonFlag->excludes(csvFlag);
  csvFlag->excludes(crlfFlag);
  auto* timeOption = app.add_option("--time", time, "UTC time of frames that have none (KIND, scan)")->type_name("UTC");
  auto* eightOption =
      app.add_option("--eight", eight, "What 8-letter frames are: sat or pda (scan, listen)")->type_name("KIND");
  auto* startOption = app.add_option("--start", start, "UTC start of the recordings (listen)")->type_name("UTC");
  auto* textFlag = app.add_flag("--text", text, "Everything heard, a line a transmission (listen)");
  textFlag->excludes(jsonFlag)->excludes(csvFlag);

  std::vector<std::string> letters;
  std::vector<CLI::App*> kinds;
  for (const FrameRule* rule : allFrames()) {
    auto* sub = app.add_subcommand(
        std::string(rule->name), std::string(rule->title) + ", " + std::to_string(rule->letters) + " letters");
    sub->fallthrough();  // the options may follow the kind
    sub->add_option("LETTERS", letters, "Frames, one an argument; none or - reads standard input");
    kinds.push_back(sub);
  }
  std::vector<std::string> files;
  auto* scan = app.add_subcommand("scan", "Every beacon frame in a CW decoder's text");
  scan->fallthrough();
  scan->add_option("FILE", files, "Decoder text; none or - reads standard input");
  auto* listen = app.add_subcommand("listen", "Every beacon frame heard in recordings");
  listen->fallthrough();
  listen->add_option("FILE", files, "Recordings; - reads standard input");
  std::vector<std::string> instant;
  auto* jd = app.add_subcommand("jd", "Julian Date of a UTC instant, or of now");
  jd->fallthrough();  // so that --json after jd gets its own message
  jd->add_option("INSTANT", instant, "YYYY-MM-DD hh:mm:ss[.mmm], UTC")->expected(0, 2);

  // Everything after the first -- is a frame (or jd's instant), wherever the -- stands: the
  // parser sees only the words before it, so a frame that starts with - is never an option.
  const int options = static_cast<int>(std::find(argv + 1, argv + argc, std::string_view("--")) - argv);
  const std::vector<std::string> afterDashes(argv + std::min(options + 1, argc), argv + argc);
  // CLI11 would call an unknown kind an unexpected argument; say what it is instead.
  for (int i = 1; i < options; ++i) {
    const std::string word = argv[i];
    if (word.starts_with("-")) {
      // An option's value is no kind.
      if (word == "--time" || word == "--eight" || word == "--start") ++i;
      continue;
    }
    if (word != "jd" && word != "scan" && word != "listen" && frameNamed(word) == nullptr)
      return usageError("unknown KIND \"" + word + "\"");
    break;
  }
  try {
    app.parse(options, argv);
  } catch (const CLI::Success& e) {  // --help or --version
    return helpShown(app, e);
  } catch (const CLI::ParseError& e) {
    return usageError(e.what());
  }

  const std::string command = jd->parsed() ? "jd" : scan->parsed() ? "scan" : listen->parsed() ? "listen" : "";
  const auto refuse = [&](const CLI::Option* option, bool allowed) { return option->count() > 0 && !allowed; };
  if (refuse(timeOption, command != "jd" && command != "listen")) return usageError("--time is for KIND and scan");
  if (refuse(eightOption, command == "scan" || command == "listen")) return usageError("--eight is for scan and listen");
  if (refuse(startOption, command == "listen")) return usageError("--start is for listen");
  if (refuse(textFlag, command == "listen")) return usageError("--text is for listen");

  if (command == "jd") {
    if (json || csv || crlf) return usageError("jd takes none of --json, --csv, --crlf");
    instant.insert(instant.end(), afterDashes.begin(), afterDashes.end());
    if (instant.size() > 2)
      return usageError("INSTANT: At Most 2 required but received " + std::to_string(instant.size()));
    return runJulianDate(instant);
  }
  const OutputForm form = json   ? OutputForm::Json
                          : csv  ? OutputForm::Csv
                          : crlf ? OutputForm::TextCrLf
                                 : OutputForm::Text;
  std::optional<stm::ClockReading> given;
  if (!time.empty()) {
    const auto utc = parseUtcTime(time);
    if (!utc) return usageError("--time expects 2026-12-07T03:10:12Z, not \"" + time + "\"");
    given = readingOf(*utc);
  }
  std::vector<const FrameRule*> named;
  if (!eight.empty()) {
    const FrameRule* frame = frameNamed(eight);
    if (!frame || frame->letters != 8) return usageError("--eight takes sat or pda, not \"" + eight + "\"");
    named.push_back(frame);
  }
  files.insert(files.end(), afterDashes.begin(), afterDashes.end());
  if (command == "scan") return runScan(files, form, FrameRoutes(named), given);
  if (command == "listen") {
    if (files.empty()) return usageError("listen needs a FILE (- reads standard input)");
    ListenOptions listening;
    listening.text = text;
    listening.lineEnd = crlf ? LineEnd::CrLf : LineEnd::Lf;
    if (!start.empty()) {
      const auto utc = parseUtcTime(start);
      if (!utc) return usageError("--start expects 2026-12-07T03:10:12Z, not \"" + start + "\"");
      listening.start = stm::utcInstant(*utc);
    }
    if (::isatty(STDERR_FILENO)) listening.progress = &std::cerr;
    return runListen(files, form, FrameRoutes(named), listening);
  }

  const FrameRule* rule = allFrames().front();
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    if (kinds[i]->parsed()) rule = allFrames()[i];
  }
  ReportWriter writer(*rule, form);
  // A - after -- is a frame like any other.
  const bool fromInput = afterDashes.empty() && (letters.empty() || (letters.size() == 1 && letters[0] == "-"));
  if (!fromInput && std::find(letters.begin(), letters.end(), "-") != letters.end()) {
    return usageError("- reads the frames from standard input and goes alone");
  }
  letters.insert(letters.end(), afterDashes.begin(), afterDashes.end());
  const BatchResult result = fromInput ? decodeLog(fileSource(STDIN_FILENO), writer, std::cout, std::cerr, given)
                                       : decodeFrames(letters, writer, std::cout, std::cerr, given);
  return result.exitStatus();
}
