// SPDX-License-Identifier: GPL-3.0-or-later
// scan and listen: frames found in decoder text or heard in a recording, routed to their
// frame, timed, and written out as they are found.
#include "cli/scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/listen.h"
#include "frames/framelist.h"
#include "support/beaconsignal.h"
#include "test_clock.h"

namespace quillon::cli {
namespace {

struct Scanned {
  std::string out, err;
  BatchResult result;
};

Scanned scan(const std::string& text, OutputForm form, const FrameRoutes& routes = FrameRoutes()) {
  std::ostringstream out, err;
  ReportSink sink(out, err);
  FoundReports reports(form, stm::fixedClock(test::kReading));
  reports.appendStart(sink.buffer());
  Scanned s;
  scanText(memorySource(text), "rx.log", routes, reports, std::nullopt, sink, s.result);
  sink.finish(s.result);
  s.out = out.str(), s.err = err.str();
  return s;
}

const std::string kLog = "CQ CQ DE JA1ABC K\n2026-12-07T03:10:12Z TNGR 89D0A76820472FBCA7A01F\n"
                         "TNGR 8A5C3E1F\nrst 599 T*R 89D0A7688A5C3E1F\n";

TEST(Scan, RoutesEachFrameByItsLettersTimesItAndNamesWhatItCannotDecode) {
  const Scanned s = scan(kLog, OutputForm::Json);
  std::vector<nlohmann::json> records;
  std::istringstream lines(s.out);
  for (std::string line; std::getline(lines, line);) records.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]["kind"], "hk");
  EXPECT_EQ(records[0]["utc"], "2026-12-07T03:10:12.000Z") << "the time its line starts with";
  EXPECT_EQ(records[0]["source"], "rx.log:2");
  EXPECT_EQ(records[1]["kind"], "satpda");
  EXPECT_EQ(records[1]["utc"], stm::isoUtcText(test::kReading.utc)) << "no time: the moment of decoding";
  EXPECT_EQ(s.err, "quillon-decode: rx.log:3: 8 letters 8A5C3E1F found; --eight sat or --eight pda decodes them\n");
  EXPECT_EQ(std::tuple(s.result.reports, s.result.refused, s.result.exitStatus()), std::tuple(2u, 1u, 1));
  EXPECT_NE(scan(kLog, OutputForm::Text, FrameRoutes({frameNamed("pda")})).out.find("Tanager PDA Status\n"),
            std::string::npos);
}

TEST(Scan, OneCsvTableForEveryKind) {
  const Scanned s = scan(kLog, OutputForm::Csv, FrameRoutes({frameNamed("sat")}));
  std::istringstream rows(s.out);
  std::string header, row;
  std::getline(rows, header);
  EXPECT_TRUE(header.starts_with("kind,source,utc,local,data,hk.voltage33V,")) << header;
  EXPECT_TRUE(header.ends_with(",satpda.pda.sunSensor5\r"));
  for (const char* kind : {"hk,rx.log:2,", "sat,rx.log:3,", "satpda,rx.log:4,"}) {
    ASSERT_TRUE(std::getline(rows, row));
    EXPECT_TRUE(row.starts_with(kind)) << row;
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), std::count(header.begin(), header.end(), ','));
  }
}

TEST(Scan, EachFrameIsOutBeforeTheNextRead) {
  // tail -f rx.log | quillon-decode scan: a frame is printed once its line is complete.
  std::ostringstream out, err;
  ReportSink sink(out, err);
  FoundReports reports(OutputForm::Json, stm::fixedClock(test::kReading));
  std::vector<std::size_t> lines;
  const std::string line = "TNGR 89D0A76820472FBCA7A01F\n";
  const ByteSource typing = [&](char* buffer, std::size_t) -> std::ptrdiff_t {
    const std::string written = out.str();
    lines.push_back(static_cast<std::size_t>(std::count(written.begin(), written.end(), '\n')));
    if (lines.size() > 3) return 0;
    std::memcpy(buffer, line.data(), line.size());
    return static_cast<std::ptrdiff_t>(line.size());
  };
  BatchResult result;
  scanText(typing, "-", FrameRoutes(), reports, std::nullopt, sink, result);
  EXPECT_EQ(lines, (std::vector<std::size_t>{0, 1, 2, 3}));
}

// Two frames heard in one recording: two reports, each timed from the recording's start.
TEST(Listen, ARecordingWithTwoFramesGivesTheirTwoReports) {
  testsupport::SignalSpec signal;
  signal.snrDb = 10;
  const auto recording =
      testsupport::makeRecording(signal, "TNGR 89D0A76820472FBCA7A01F | TNGR 0123456789ABCDEF01234C");
  const std::string path = testing::TempDir() + "quillon_two_frames.wav";
  ASSERT_TRUE(testsupport::writeSoundFile(path, recording.samples, 8000, 0x010002));  // WAV, 16 bits
  std::ostringstream out, err;
  ReportSink sink(out, err);
  FoundReports reports(OutputForm::Json);
  ListenOptions options;
  options.start = stm::utcInstant({2026, 12, 7, 3, 10, 0, 0});
  BatchResult result;
  listenTo(path, FrameRoutes(), reports, options, sink, result);
  sink.finish(result);
  std::istringstream lines(out.str());
  std::vector<nlohmann::json> records;
  for (std::string line; std::getline(lines, line);) records.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(records.size(), 2u) << out.str() << err.str();
  EXPECT_EQ(records[0]["data"], "89D0A76820472FBCA7A01F");
  EXPECT_EQ(records[1]["data"], "0123456789ABCDEF01234C");
  for (const auto& record : records) {
    const double offset = record["offsetS"];
    EXPECT_EQ(record["source"], path);
    EXPECT_EQ(record["confidence"].size(), 22u);
    EXPECT_NEAR(record["wpm"].get<double>(), 20, 2);
    EXPECT_NEAR(record["toneHz"].get<double>(), 800, 10);
    char utc[40];
    std::snprintf(utc, sizeof utc, "2026-12-07T03:10:%06.3fZ", offset);
    EXPECT_EQ(record["utc"], std::string(utc));
  }
  EXPECT_EQ(std::tuple(result.exitStatus(), err.str()), std::tuple(0, std::string()));
}

TEST(Listen, TellsWhatItCannotHear) {
  const std::string silent = testing::TempDir() + "quillon_silent.wav";
  ASSERT_TRUE(testsupport::writeSoundFile(silent, std::vector<float>(8000 * 3), 8000, 0x010002));
  for (const auto& [path, told] : {std::pair{std::string("/no/such.wav"), std::string("/no/such.wav: ")},
                                   {silent, silent + ": no tone heard\n"}}) {
    std::ostringstream out, err;
    ReportSink sink(out, err);
    FoundReports reports(OutputForm::Text);
    BatchResult result;
    listenTo(path, FrameRoutes(), reports, {}, sink, result);
    EXPECT_EQ(result.exitStatus(), 1);
    EXPECT_TRUE(err.str().starts_with("quillon-decode: " + told)) << err.str();
  }
}

}  // namespace
}  // namespace quillon::cli
