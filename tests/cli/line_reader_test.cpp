#include "cli/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace quillon::cli {
namespace {

struct SeenLine {
  std::string text;
  std::uint64_t number;
  std::uint64_t bytes;
  bool operator==(const SeenLine&) const = default;
};

// Hands out at most `step` bytes a read, as a pipe or a terminal may.
ByteSource trickle(std::string_view bytes, std::size_t step) {
  return [bytes, step](char* buffer, std::size_t size) mutable -> std::ptrdiff_t {
    const std::size_t n = std::min({size, step, bytes.size()});
    std::memcpy(buffer, bytes.data(), n);
    bytes.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  };
}

std::vector<SeenLine> readAll(LineReader& reader) {
  std::vector<SeenLine> lines;
  Line line;
  while (reader.next(line)) lines.push_back({std::string(line.text), line.number, line.bytes});
  return lines;
}

const std::size_t kKept = LineReader::kKeptBytes;
const std::string kLong(kKept + 1, 'A');

struct ReaderCase {
  std::string name;
  std::string input;
  std::vector<SeenLine> lines;
};

void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.name; }

class LineReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(LineReaderTest, SameLinesWhateverTheReadSizes) {
  for (const std::size_t step : {std::size_t{1}, std::size_t{7}, kKept, std::size_t{1} << 20}) {
    LineReader reader(trickle(GetParam().input, step));
    EXPECT_EQ(readAll(reader), GetParam().lines) << "reads of " << step << " bytes";
    EXPECT_FALSE(reader.failed());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineReaderTest,
    testing::Values(ReaderCase{"Empty", "", {}},
                    ReaderCase{"TwoLines", "ab\ncd\n", {{"ab", 1, 2}, {"cd", 2, 2}}},
                    ReaderCase{"LastLineWithoutLf", "ab\ncd", {{"ab", 1, 2}, {"cd", 2, 2}}},
                    ReaderCase{"CrStaysForTheFrameRule", "ab\r\n", {{"ab\r", 1, 3}}},
                    ReaderCase{"EmptyLinesAreNumbered", "\n\nx\n", {{"", 1, 0}, {"", 2, 0}, {"x", 3, 1}}},
                    ReaderCase{"LineOfExactlyTheKeptSize",
                               std::string(kKept, 'B') + "\n",
                               {{std::string(kKept, 'B'), 1, kKept}}},
                    ReaderCase{"LongLineCutThenNextLineWhole",
                               kLong + "\nok\n",
                               {{kLong.substr(0, kKept), 1, kKept + 1}, {"ok", 2, 2}}},
                    ReaderCase{"LongLastLineWithoutLf",
                               "a\n" + kLong,
                               {{"a", 1, 1}, {kLong.substr(0, kKept), 2, kKept + 1}}},
                    ReaderCase{"VeryLongLineBetweenShortOnes",
                               "a\n" + std::string(300000, 'C') + "\nb",
                               {{"a", 1, 1}, {std::string(kKept, 'C'), 2, 300000}, {"b", 3, 1}}}),
    [](const auto& info) { return info.param.name; });

TEST(LineReader, HoldsBoundedMemoryForAHugeLine) {
  // 256 MiB without a newline, made up as it is read: nothing close to it may be held.
  const std::uint64_t huge = std::uint64_t{256} << 20;
  std::uint64_t produced = 0;
  bool tailSent = false;
  LineReader reader([&](char* buffer, std::size_t size) -> std::ptrdiff_t {
    if (produced < huge) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, huge - produced));
      std::memset(buffer, 'D', n);
      produced += n;
      return static_cast<std::ptrdiff_t>(n);
    }
    if (tailSent) return 0;
    tailSent = true;
    std::memcpy(buffer, "\nnext\n", 6);
    return 6;
  });
  Line line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_TRUE(line.cut());
  EXPECT_EQ(line.bytes, huge);
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line.text, "next");
  EXPECT_EQ(line.number, 2u);
  EXPECT_LE(reader.capacity(), std::size_t{1} << 20);
}

TEST(LineReader, ReadErrorEndsWithoutAPartialLine) {
  int calls = 0;
  LineReader reader([&](char* buffer, std::size_t) -> std::ptrdiff_t {
    if (++calls > 1) return -1;
    std::memcpy(buffer, "whole\npart", 10);
    return 10;
  });
  Line line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_EQ(line.text, "whole");
  EXPECT_FALSE(reader.next(line));
  EXPECT_TRUE(reader.failed());
}

struct FrameCase {
  std::string line;
  std::optional<std::string> frame;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class FrameTextTest : public testing::TestWithParam<FrameCase> {};

TEST_P(FrameTextTest, KeepsWhatWasTyped) {
  const auto frame = frameText(GetParam().line);
  ASSERT_EQ(frame.has_value(), GetParam().frame.has_value());
  if (frame) {
    EXPECT_EQ(*frame, *GetParam().frame);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FrameTextTest,
    testing::Values(FrameCase{"", std::nullopt}, FrameCase{" \t \r", std::nullopt},
                    FrameCase{"89D0A768", "89D0A768"}, FrameCase{"89D0A768\r", "89D0A768"},
                    FrameCase{"TNGR 89D0A768", "89D0A768"}, FrameCase{"TNGR \t 89D0A768 \t\r", "89D0A768"},
                    FrameCase{"TNGR89D0A768", "TNGR89D0A768"},    // no blank: not the beacon word
                    FrameCase{"tngr 89D0A768", "tngr 89D0A768"},  // the word is upper case
                    FrameCase{" TNGR 89D0A768", " TNGR 89D0A768"}, FrameCase{"TNGR", "TNGR"},
                    FrameCase{"TNGR  ", "TNGR"},
                    FrameCase{"89D0 A768", "89D0 A768"},  // an inner blank is a typed letter
                    FrameCase{"89D0A768\r\r", "89D0A768\r"}));

}  // namespace
}  // namespace quillon::cli
