// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/linereader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace quillon::cli {
namespace {

using Seen = std::tuple<std::string, std::uint64_t, std::uint64_t>;  // text, number, bytes

// Hands out at most `step` bytes a read, as a pipe or a terminal may.
ByteSource trickle(std::string_view bytes, std::size_t step) {
  return [bytes, step](char* buffer, std::size_t size) mutable -> std::ptrdiff_t {
    const std::size_t n = std::min({size, step, bytes.size()});
    std::memcpy(buffer, bytes.data(), n);
    bytes.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  };
}

TEST(LineReader, SameLinesWhateverTheReadSizes) {
  const std::size_t kept = LineReader::kKeptBytes;
  const std::string bom = "\xef\xbb\xbf", full(kept, 'B'), longer(kept + 1, 'A');
  const std::pair<std::string, std::vector<Seen>> cases[] = {
      {"", {}},
      {"\nab\r\ncd", {{"", 1, 0}, {"ab\r", 2, 3}, {"cd", 3, 2}}},
      {bom + "a\n" + bom, {{"a", 1, 1}, {bom, 2, 3}}},  // a byte-order mark only at the start
      {full + "\r\n" + longer + "\r\n" + full,  // a line end is not counted against the limit
       {{full + "\r", 1, kept + 1}, {longer.substr(1), 2, kept + 2}, {full, 3, kept}}},
      {longer + "\nok\n" + std::string(300000, 'C'),
       {{longer.substr(1), 1, kept + 1}, {"ok", 2, 2}, {std::string(kept, 'C'), 3, 300000}}}};
  for (const auto& [input, expected] : cases) {
    for (const std::size_t step : {std::size_t{1}, std::size_t{7}, kept, std::size_t{1} << 20}) {
      LineReader reader(trickle(input, step));
      std::vector<Seen> lines;
      for (Line line; reader.next(line);) lines.emplace_back(line.text, line.number, line.bytes);
      EXPECT_EQ(lines, expected) << input.size() << " bytes in reads of " << step;
      EXPECT_FALSE(reader.failed());
      EXPECT_LE(reader.capacity(), std::size_t{1} << 17) << "a long line is counted, not held";
    }
  }
}

TEST(FrameText, DropsOnlyWhatIsNotTyped) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {" \t \r", std::nullopt},
      {"89D0A768\r", "89D0A768"},
      {" \tTNGR \t 89D0A768 \t\r", "89D0A768"},
      {"TNGR89D0A768", "TNGR89D0A768"},
      {"tngr 89D0A768", "89D0A768"},
      {"TNGR  ", ""},
      {"89D0 A768", "89D0 A768"},
      {"89D0A768\r\r", "89D0A768\r"}};
  for (const auto& [line, frame] : cases) EXPECT_EQ(frameText(line), frame) << '"' << line << '"';
}

}  // namespace
}  // namespace quillon::cli
