// Runs the built quillon-decode as a script would and checks its bytes, except the two
// time lines, which come from the real clock.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "core/letters.h"
#include "core/report.h"
#include "test_clock.h"

namespace quillon {
namespace {

using nlohmann::json;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string quoted(const std::string& word) {
  std::string q = "'";
  for (const char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

Outcome run(const std::vector<std::string>& args, const std::string& input = "",
            const std::string& outPath = "") {
  // CTest runs tests side by side: each process has files of its own.
  const std::string base = testing::TempDir() + "/quillon_decode_" + std::to_string(::getpid());
  const std::string in = base + ".in", out = base + ".out", err = base + ".err";
  std::ofstream(in, std::ios::binary) << input;
  std::string command = quoted(QUILLON_DECODE);
  for (const std::string& arg : args) command += " " + quoted(arg);
  command += " <" + in + " >" + (outPath.empty() ? out : outPath) + " 2>" + err;
  const int status = std::system(command.c_str());
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, outPath.empty() ? slurp(out) : "",
                  slurp(err)};
  for (const std::string& path : {in, out, err}) std::remove(path.c_str());
  return outcome;
}

const std::regex kTimeLines(
    "(UTC|LocalTime) : [0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}:[0-9]{3}(\r?\n)");

// Both time lines of every report, which the clock decides, become placeholders.
std::string withoutTimes(const std::string& text) {
  return std::regex_replace(text, kTimeLines, "$1 : <time>$2");
}

std::string expectedReport(FrameKind kind, const std::string& typed, bool crlf) {
  std::string report = *buildReport(kind, typed, cli::test::kReading, LineEnd::CrLf);
  if (!crlf) report = std::regex_replace(report, std::regex("\r\n"), "\n");
  return withoutTimes(report);
}

struct KindCase {
  FrameKind kind;
  std::string frame;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.frame; }

class EveryKind : public testing::TestWithParam<KindCase> {};

TEST_P(EveryKind, ArgumentsAndInputGiveTheDialogsReport) {
  const auto& [kind, frame] = GetParam();
  const std::string name(frameRule(kind).name);
  for (const bool crlf : {false, true}) {
    std::vector<std::string> args = {name, frame, frame};
    if (crlf) args.insert(args.begin(), "--crlf");
    const std::string twice = expectedReport(kind, frame, crlf) + expectedReport(kind, frame, crlf);
    const Outcome fromArgs = run(args);
    EXPECT_EQ(fromArgs.status, 0);
    EXPECT_EQ(fromArgs.err, "");
    EXPECT_EQ(withoutTimes(fromArgs.out), twice);
    // The same frames in a log, with beacon words, CR LF, blanks and empty lines.
    args.resize(args.size() - 2);
    const Outcome fromLog = run(args, "TNGR " + frame + "\r\n\n \nTNGR  " + frame + " \t\n");
    EXPECT_EQ(fromLog.status, 0);
    EXPECT_EQ(fromLog.err, "");
    EXPECT_EQ(withoutTimes(fromLog.out), twice);
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, EveryKind,
                         testing::Values(KindCase{FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F"},
                                         KindCase{FrameKind::Satellite, "1234x678"},
                                         KindCase{FrameKind::Pda, "D2B9E6f1"},
                                         KindCase{FrameKind::SatellitePda, "0000000G8A5C3E1F"}),
                         [](const auto& info) { return std::string(frameRule(info.param.kind).name); });

struct StatusCase {
  std::string name;
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string err;  // exact, or a prefix when it ends in "..."
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class ExitStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(ExitStatus, AndStandardError) {
  const Outcome r = run(GetParam().args, GetParam().input);
  EXPECT_EQ(r.status, GetParam().status) << r.err;
  const std::string& err = GetParam().err;
  if (err.ends_with("...")) {
    EXPECT_EQ(r.err.substr(0, err.size() - 3), err.substr(0, err.size() - 3));
  } else {
    EXPECT_EQ(r.err, err);
  }
}

const std::string kGood = "89D0A76820472FBCA7A01F";

INSTANTIATE_TEST_SUITE_P(
    Runs, ExitStatus,
    testing::Values(
        StatusCase{"GoodFrame", {"hk", kGood}, "", 0, ""},
        StatusCase{"ShortFrameArgument",
                   {"hk", kGood, "89D0"},
                   "",
                   1,
                   "quillon-decode: frame 2: Please input 22 Letters\n"},
        StatusCase{"EmptyArgument", {"sat", ""}, "", 1, "quillon-decode: frame 1: Please input 8 Letters\n"},
        StatusCase{"LogLineNumbers",
                   {"satpda", "-"},
                   "TNGR 000000008A5C3E1F\n\n0000\nTNGR 000000008A5C3E1F0\n",
                   1,
                   "quillon-decode: line 3: Please input 16 Letters\n"
                   "quillon-decode: line 4: Please input 16 Letters\n"},
        StatusCase{"EmptyInput", {"pda"}, "", 0, ""},
        StatusCase{"HugeLine",
                   {"hk"},
                   std::string(10'000'000, '8') + "\n" + kGood + "\n",
                   1,
                   "quillon-decode: line 1: Please input 22 Letters\n"},
        StatusCase{"NoKind", {}, "", 2, "quillon-decode: A subcommand is required\nusage: ..."},
        StatusCase{"UnknownKind", {"hkk", kGood}, "", 2, "quillon-decode: unknown KIND \"hkk\"\nusage: ..."},
        StatusCase{"JsonWithCrlf",
                   {"--json", "--crlf", "hk"},
                   "",
                   2,
                   "quillon-decode: --json excludes --crlf\nusage: ..."},
        StatusCase{"UnknownOption", {"hk", "--bogus"}, "", 2, "quillon-decode: ..."},
        StatusCase{"DashAmongLetters", {"hk", "-", kGood}, "", 2, "quillon-decode: - reads the frames ..."},
        StatusCase{"JdWithJson",
                   {"jd", "--json"},
                   "",
                   2,
                   "quillon-decode: jd takes neither --json nor --crlf\nusage: ..."},
        StatusCase{"JdWithoutTime",
                   {"jd", "2000-01-01"},
                   "",
                   2,
                   "quillon-decode: jd expects YYYY-MM-DD hh:mm:ss[.mmm], ..."},
        StatusCase{"JdYearOutOfRange",
                   {"jd", "1899-12-31", "23:59:59"},
                   "",
                   1,
                   "quillon-decode: year outside 1900..2100\n"},
        StatusCase{
            "JdHourOutOfRange", {"jd", "2009-01-01 25:00:00"}, "", 1, "quillon-decode: hour outside 0..24\n"},
        StatusCase{"Help", {"--help"}, "", 0, ""}),
    [](const auto& info) { return info.param.name; });

TEST(EndToEnd, HelpTellsAll) {
  const Outcome r = run({"--help"});
  for (const char* word : {"hk", "satpda", "jd", "--json", "--crlf", "TNGR", "notAnalyzed", "2: usage"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
}

TEST(EndToEnd, JulianDates) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"jd", "2000-01-01", "12:00:00"}, "2451545.0000000\n"},
      {{"jd", "2008-06-15 03:04:05.678"}, "2454632.6278435\n"},
      {{"jd", "2009-02-28T24:60:00"}, "2454891.5416667\n"},
      {{"jd", "2100-03-01", "00:00:00.000"}, "2488129.5000000\n"}};
  for (const auto& [args, text] : cases) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, text) << args[1];
  }
  const Outcome now = run({"jd"});
  EXPECT_EQ(now.status, 0);
  EXPECT_TRUE(std::regex_match(now.out, std::regex("24[0-9]{5}\\.[0-9]{7}\n"))) << now.out;
}

TEST(EndToEnd, JsonLinesParseBackFieldByField) {
  const Outcome r = run({"hk", "--json"}, "TNGR " + kGood + "\n" + "TNGR 89D0A76820472FBCA7A01\xff\n");
  EXPECT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::string line;
  std::vector<json> reports;
  while (std::getline(lines, line)) reports.push_back(json::parse(line));
  ASSERT_EQ(reports.size(), 2u);
  const json& first = reports[0];
  EXPECT_EQ(first["kind"], "hk");
  EXPECT_EQ(first["data"], kGood);
  EXPECT_TRUE(
      std::regex_match(first["utc"].get<std::string>(),
                       std::regex("20[0-9]{2}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}Z")));
  EXPECT_TRUE(std::regex_match(first["local"].get<std::string>(), std::regex(".{23}[+-][0-9]{2}:[0-9]{2}")));
  // Every analysed field of the decoded frame, by key, at full precision.
  for (const Field& field : decodeFrame(FrameKind::HouseKeeping, toLetters(kGood))) {
    const json& value = first["fields"][std::string(field.row->key)];
    if (field.row->form == FieldForm::Engineering) {
      EXPECT_EQ(value.get<double>(), field.engineering) << field.row->key;
    } else if (field.row->form == FieldForm::State) {
      EXPECT_EQ(value, field.state) << field.row->key;
    }
  }
  // The worked example's values, to the report's three decimals.
  const std::pair<const char*, double> values[] = {{"voltage33V", 3.309},
                                                   {"voltage5V", 5.025},
                                                   {"batteryVoltage", 4.034},
                                                   {"mainBusVoltage", 3.768},
                                                   {"commBoardTemperature", 69.371},
                                                   {"batteryTemperature", 22.990},
                                                   {"batteryCurrent", -0.792},
                                                   {"sMeter144MHz", 2.017},
                                                   {"sMeter1_2GHz", 1.933}};
  for (const auto& [key, value] : values)
    EXPECT_NEAR(first["fields"][key].get<double>(), value, 0.0005) << key;
  EXPECT_EQ(first["fields"].size(), 24u);
  EXPECT_EQ(first["notAnalyzed"], json::array());
  const json& second = reports[1];
  EXPECT_EQ(second["data"], "89D0A76820472FBCA7A01\xef\xbf\xbd");
  EXPECT_EQ(second["fields"].size(), 16u) << "the power byte has an invalid letter";
  EXPECT_EQ(second["notAnalyzed"].size(), 8u);
}

TEST(EndToEnd, InvalidBytesShowInTheDataLine) {
  const Outcome r = run({"sat"},
                        "0000\xc0\xff"
                        "00\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\nData = 0000\xef\xbf\xbd\xef\xbf\xbd"
                       "00\n\n\n"),
            std::string::npos)
      << r.out;
}

TEST(EndToEnd, FullDiskIsAnError) {
  const Outcome r = run({"hk", kGood}, "", "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-decode: cannot write the reports\n");
}

}  // namespace
}  // namespace quillon
