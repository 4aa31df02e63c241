// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "frames/framelist.h"
#include "test_clock.h"

namespace quillon::cli {
namespace {

const std::string kGood = "89D0A76820472FBCA7A01F";

std::string reportsOf(std::initializer_list<std::string> frames, OutputForm form = OutputForm::Text) {
  ReportWriter writer(*frameNamed("hk"), form, stm::fixedClock(test::kReading));
  std::string out;
  writer.appendStart(out);
  for (const std::string& frame : frames) EXPECT_TRUE(writer.append(frame, out));
  return out;
}

TEST(DecodeLog, BadLinesAreNamedAndTheRestDecoded) {
  const std::string log = "\xef\xbb\xbfTNGR " + kGood + "\r\n\n" + kGood.substr(1) + "\n \tTNGR \t" + kGood +
                          "  \r\n" + std::string(100000, '0') + "\nTNGR\n" + kGood;
  ReportWriter writer(*frameNamed("hk"), OutputForm::Text, stm::fixedClock(test::kReading));
  std::ostringstream out, err;
  const BatchResult result = decodeLog(memorySource(log), writer, out, err);
  EXPECT_EQ(out.str(), reportsOf({kGood, kGood, kGood}));
  EXPECT_EQ(err.str(),
            "quillon-decode: line 3: Please input 22 Letters\n"
            "quillon-decode: line 5: Please input 22 Letters\n"
            "quillon-decode: line 6: Please input 22 Letters\n");
  EXPECT_EQ(std::tuple(result.reports, result.refused, result.exitStatus()), std::tuple(3u, 3u, 1));
}

// A line's own time, else the time given, else the moment of decoding.
TEST(DecodeLog, FramesAreTimedByTheirLineOrTheGivenTime) {
  ReportWriter writer(*frameNamed("hk"), OutputForm::Json, stm::fixedClock(test::kReading));
  std::ostringstream out, err;
  const auto given = readingOf({2026, 12, 7, 1, 2, 3, 0});
  decodeLog(memorySource(" 2026-12-07 03:10:12.5 TNGR " + kGood + "\n" + kGood + "\n"), writer, out, err, given);
  decodeFrames(std::vector<std::string>{kGood}, writer, out, err);
  const std::string records = out.str();
  for (const char* utc : {R"("utc":"2026-12-07T03:10:12.500Z")", R"("utc":"2026-12-07T01:02:03.000Z")",
                          R"("utc":"2026-12-06T18:25:28.123Z")"})
    EXPECT_NE(records.find(utc), std::string::npos) << utc;
}

TEST(DecodeLog, EachReportIsOutBeforeTheNextReadAndAReadErrorFails) {
  // At a terminal the operator waits for the report before typing the next frame.
  ReportWriter writer(*frameNamed("hk"), OutputForm::Csv, stm::fixedClock(test::kReading));
  std::ostringstream out, err;
  std::vector<std::size_t> writtenAtRead;
  const auto typing = [&](char* buffer, std::size_t) -> std::ptrdiff_t {
    writtenAtRead.push_back(out.str().size());
    if (writtenAtRead.size() > 2) return errno = EIO, -1;
    std::memcpy(buffer, (kGood + "\n").data(), kGood.size() + 1);
    return static_cast<std::ptrdiff_t>(kGood.size() + 1);
  };
  const BatchResult result = decodeLog(typing, writer, out, err);
  EXPECT_EQ(out.str(), reportsOf({kGood, kGood}, OutputForm::Csv));
  EXPECT_EQ(writtenAtRead,
            (std::vector<std::size_t>{reportsOf({}, OutputForm::Csv).size(),
                                      reportsOf({kGood}, OutputForm::Csv).size(), out.str().size()}));
  EXPECT_EQ(result.exitStatus(), 1);
  EXPECT_EQ(err.str(), std::string("quillon-decode: cannot read the frames: ") + std::strerror(EIO) + "\n");
}

}  // namespace
}  // namespace quillon::cli
