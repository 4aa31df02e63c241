// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/report_writer.h"

#include <gtest/gtest.h>

#include "core/csv.h"
#include "core/json.h"
#include "core/letters.h"
#include "test_clock.h"

namespace quillon::cli {
namespace {

using test::kReading;

// What the core writes for a frame in each form.
std::string coreOutput(FrameKind kind, const std::string& typed, OutputForm form) {
  const std::vector<Field> fields = decodeFrame(kind, toLetters(typed));
  const std::string utc = stm::isoUtcText(kReading.utc), local = stm::isoLocalText(kReading);
  std::string out;
  if (form == OutputForm::Json)
    appendJsonRecord(out, kind, shownText(typed), utc, local, fields), out += '\n';
  if (form == OutputForm::Csv) appendCsvRow(out, utc, local, shownText(typed), fields);
  if (form == OutputForm::Text || form == OutputForm::TextCrLf)
    out = *buildReport(kind, typed, kReading, form == OutputForm::Text ? LineEnd::Lf : LineEnd::CrLf);
  return out;
}

TEST(ReportWriter, CachedTextsGiveTheCoresBytesInEveryForm) {
  // Every kind with not-copied letters, invalid letters and bytes that are not UTF-8.
  const std::pair<FrameKind, std::string> frames[] = {{FrameKind::HouseKeeping, "89D0xx6820x72FxxA7Ax1F"},
                                                      {FrameKind::HouseKeeping, "89D0A76820472FBCA7A01\xff"},
                                                      {FrameKind::Satellite, "1234x678"},
                                                      {FrameKind::Pda, "D2B9E6f1"},
                                                      {FrameKind::SatellitePda, "0000000G8A5C3E1F"},
                                                      {FrameKind::SatellitePda, "xx\"x,xxx8A5C3E1F"}};
  for (const auto& [kind, typed] : frames) {
    for (const OutputForm form :
         {OutputForm::Text, OutputForm::TextCrLf, OutputForm::Json, OutputForm::Csv}) {
      ReportWriter writer(kind, form, stm::fixedClock(kReading));
      std::string out = "earlier\n";
      ASSERT_TRUE(writer.append(typed, out));
      ASSERT_TRUE(writer.append(typed, out));  // the second from the cache
      const std::string once = coreOutput(kind, typed, form);
      EXPECT_EQ(out, "earlier\n" + once + once) << typed << " in form " << static_cast<int>(form);
    }
  }
}

TEST(ReportWriter, EachReadingGetsItsOwnTimes) {
  for (const OutputForm form : {OutputForm::Text, OutputForm::Csv}) {
    int calls = 0;
    ReportWriter writer(FrameKind::Pda, form, [&] {
      stm::ClockReading r = kReading;
      r.utc.millisecond = r.local.millisecond = 100 + calls++ / 2;  // two frames a millisecond
      return r;
    });
    std::string out;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.append("8A5C3E1F", out));
    const std::string last = form == OutputForm::Text
                                 ? "UTC : 2026/12/06 18:25:28:101\nLocalTime : 2026/12/06 19"
                                 : "18:25:28.101Z,2026-12-06T19:25:28.101";
    EXPECT_EQ(out.find(last), out.rfind(last)) << out;
    EXPECT_NE(out.find(last), std::string::npos) << out;
  }
}

}  // namespace
}  // namespace quillon::cli
