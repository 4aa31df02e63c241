// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built quillon-decode as a script would: arguments, streams and exit status.
// forms_agree.py checks the output forms against each other on a large random log.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// `args` split at blanks; standard input holds a log of pda frames, lines 1 and 3.
Outcome run(const std::string& args, std::string outPath = "") {
  // CTest runs tests side by side: each process has files of its own.
  const std::string base = testing::TempDir() + "/quillon_decode_" + std::to_string(::getpid());
  std::ofstream(base + ".in") << "TNGR 8A5C3E1F\n\n0000\n";
  if (outPath.empty()) outPath = base + ".out";
  std::string command = QUILLON_DECODE;
  std::istringstream words(args);
  for (std::string word; words >> word;) command += " '" + word + "'";
  const int status = std::system((command + " <" + base + ".in >" + outPath + " 2>" + base + ".err").c_str());
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(base + ".out"), slurp(base + ".err")};
  for (const char* file : {".in", ".out", ".err"}) std::remove((base + file).c_str());
  return outcome;
}

struct RunCase {
  std::string args;
  int status;
  std::string err;  // exact, or up to "..."
  std::string outPath = "";
};

const RunCase kRuns[] = {
    {"sat 1234x678 -- -A234567", 0, ""},  // everything after -- is a frame, wherever it stands
    {"sat 8A5C3E1F -- --json -", 1,
     "quillon-decode: frame 2: Please input 8 Letters\nquillon-decode: frame 3: Please input 8 Letters\n"},
    {"sat -A234567", 2, "quillon-decode: The following argument was not expected: -A234567\nusage: ..."},
    {"--csv pda -", 1, "quillon-decode: line 3: Please input 8 Letters\n"},
    {"", 2, "quillon-decode: A subcommand is required\nusage: ..."},
    {"hkk", 2, "quillon-decode: unknown KIND \"hkk\"\nusage: ..."},
    {"scan --eight hk", 2, "quillon-decode: --eight takes sat or pda, not \"hk\"\nusage: ..."},
    {"--time 2026-13-01T00:00:00Z hk", 2, "quillon-decode: --time expects 2026-12-07T03:10:12Z, not ..."},
    {"--start 2026-12-07T00:00:00Z scan", 2, "quillon-decode: --start is for listen\nusage: ..."},
    {"scan --eight pda -", 0, ""},
    {"--json --crlf hk", 2, "quillon-decode: --json excludes --crlf\nusage: ..."},
    {"hk --csv --json", 2, "quillon-decode: --json excludes --csv\nusage: ..."},
    {"hk - 0", 2, "quillon-decode: - reads the frames from standard input and goes alone\nusage: ..."},
    {"jd --csv", 2, "quillon-decode: jd takes none of --json, --csv, --crlf\nusage: ..."},
    {"jd 2000-01-01", 2,
     "quillon-decode: jd expects YYYY-MM-DD hh:mm:ss[.mmm], not \"2000-01-01\"\nusage: ..."},
    {"jd 2000-01-01 12:00:00 x", 2, "quillon-decode: INSTANT: At Most 2 required but received 3\nusage: ..."},
    {"jd 1899-12-31 23:59:59", 1, "quillon-decode: year outside 1900..2100\n"},
    {"sat 12345678", 1, "quillon-decode: cannot write the reports\n", "/dev/full"},
    {"--help", 1, "quillon-decode: cannot write to standard output\n", "/dev/full"},
    {"jd", 1, "quillon-decode: cannot write the Julian Date\n", "/dev/full"},
};

TEST(EndToEnd, ExitStatusAndStandardError) {
  for (const auto& [args, status, err, outPath] : kRuns) {
    const Outcome r = run(args, outPath);
    EXPECT_EQ(r.status, status) << args << ": " << r.err;
    const std::size_t shown = err.ends_with("...") ? err.size() - 3 : std::string::npos;
    EXPECT_EQ(r.err.substr(0, shown), err.substr(0, shown)) << args;
  }
}

TEST(EndToEnd, HelpAndJulianDates) {
  const Outcome help = run("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* word :
       {"satpda", "jd", "--json", "--csv", "--crlf", "-- -A234567", "TNGR", "xargs", "2: usage"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  EXPECT_EQ(run("jd -- 2008-06-15 03:04:05.678").out, "2454632.6278435\n");
  EXPECT_TRUE(std::regex_match(run("jd").out, std::regex("24[0-9]{5}\\.[0-9]{7}\n")));
}

}  // namespace
