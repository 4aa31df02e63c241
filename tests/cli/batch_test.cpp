#include "cli/batch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "test_clock.h"

namespace quillon::cli {
namespace {

const std::string kGood = "89D0A76820472FBCA7A01F";
const std::string kMissing = "89D0xx6820x72FxxA7Ax1F";

std::string reportsOf(std::initializer_list<std::string> frames) {
  ReportWriter writer(FrameKind::HouseKeeping, OutputForm::Text, stm::fixedClock(test::kReading));
  std::string out;
  for (const std::string& frame : frames) EXPECT_TRUE(writer.append(frame, out));
  return out;
}

struct Outcome {
  BatchResult result;
  std::string out;
  std::string err;
};

Outcome decodeLogText(const std::string& log) {
  ReportWriter writer(FrameKind::HouseKeeping, OutputForm::Text, stm::fixedClock(test::kReading));
  std::ostringstream out;
  std::ostringstream err;
  const BatchResult result = decodeLog(memorySource(log), writer, out, err);
  return {result, out.str(), err.str()};
}

TEST(DecodeLog, BadLinesAreNamedAndTheRestDecoded) {
  const std::string log = "TNGR " + kGood +
                          "\r\n"  // 1
                          "\n"    // 2 skipped
                          + kGood.substr(1) +
                          "\n"  // 3 short
                          "TNGR \t" +
                          kMissing + "  \r\n"  // 4
                          + std::string(100000, '0') +
                          "\n"      // 5 far too long
                          "   \n"   // 6 skipped
                          "TNGR\n"  // 7 no frame
                          + kGood;  // 8 without LF
  const Outcome run = decodeLogText(log);
  EXPECT_EQ(run.out, reportsOf({kGood, kMissing, kGood}));
  EXPECT_EQ(run.err,
            "quillon-decode: line 3: Please input 22 Letters\n"
            "quillon-decode: line 5: Please input 22 Letters\n"
            "quillon-decode: line 7: Please input 22 Letters\n");
  EXPECT_EQ(run.result.reports, 3u);
  EXPECT_EQ(run.result.refused, 3u);
  EXPECT_EQ(run.result.exitStatus(), 1);
}

TEST(DecodeLog, ReportIsOutBeforeTheNextLineIsAwaited) {
  // At a terminal the operator waits for the report before typing the next frame.
  ReportWriter writer(FrameKind::HouseKeeping, OutputForm::Text, stm::fixedClock(test::kReading));
  std::ostringstream out;
  std::ostringstream err;
  std::vector<std::size_t> writtenAtRead;
  const std::string line = kGood + "\n";
  const ByteSource typing = [&](char* buffer, std::size_t) -> std::ptrdiff_t {
    writtenAtRead.push_back(out.str().size());
    if (writtenAtRead.size() > 2) return 0;
    std::memcpy(buffer, line.data(), line.size());
    return static_cast<std::ptrdiff_t>(line.size());
  };
  decodeLog(typing, writer, out, err);
  const std::size_t one = reportsOf({kGood}).size();
  EXPECT_EQ(writtenAtRead, (std::vector<std::size_t>{0, one, 2 * one}));
}

TEST(DecodeLog, ReadErrorIsNotSuccess) {
  ReportWriter writer(FrameKind::HouseKeeping, OutputForm::Text, stm::fixedClock(test::kReading));
  std::ostringstream out;
  std::ostringstream err;
  bool first = true;
  const ByteSource failing = [&](char* buffer, std::size_t) -> std::ptrdiff_t {
    if (!first) {
      errno = EIO;
      return -1;
    }
    first = false;
    const std::string line = kGood + "\n";
    std::memcpy(buffer, line.data(), line.size());
    return static_cast<std::ptrdiff_t>(line.size());
  };
  const BatchResult result = decodeLog(failing, writer, out, err);
  EXPECT_EQ(result.reports, 1u);
  EXPECT_TRUE(result.readFailed);
  EXPECT_EQ(result.exitStatus(), 1);
  EXPECT_EQ(err.str(), std::string("quillon-decode: cannot read the frames: ") + std::strerror(EIO) + "\n");
}

}  // namespace
}  // namespace quillon::cli
