// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reportwriter.h"

#include <gtest/gtest.h>

#include "frames/framelist.h"
#include "test_clock.h"

namespace quillon::cli {
namespace {

using test::kReading;

// Each form is the check's own output, a record a line; the clock is read for every frame.
TEST(ReportWriter, EachFormIsTheChecksOutputAtItsOwnReading) {
  const FrameRule& pda = *frameNamed("pda");
  for (const OutputForm form : {OutputForm::Text, OutputForm::TextCrLf, OutputForm::Json, OutputForm::Csv}) {
    int calls = 0;
    stm::ClockReading last = kReading;
    ReportWriter writer(pda, form, [&] {
      last.utc.millisecond = last.local.millisecond = 100 + calls++;
      return last;
    });
    std::string out;
    writer.appendStart(out);
    ASSERT_TRUE(writer.append("8A5C3E1F", out));
    ASSERT_TRUE(writer.append("8A5C3E1F", out));
    EXPECT_FALSE(writer.append("8A5C3E1", out));
    Check check(pda);
    ASSERT_TRUE(check.decode("8A5C3E1F"));
    std::string expected;
    if (form == OutputForm::Csv) check.appendCsvHeader(expected);
    for (int ms : {100, 101}) {
      stm::ClockReading at = kReading;
      at.utc.millisecond = at.local.millisecond = ms;
      if (form == OutputForm::Text || form == OutputForm::TextCrLf)
        check.appendReport(expected, at, form == OutputForm::Text ? LineEnd::Lf : LineEnd::CrLf);
      if (form == OutputForm::Json) (check.appendRecord(expected, at), expected += '\n');
      if (form == OutputForm::Csv) check.appendCsvRow(expected, at);
    }
    EXPECT_EQ(out, expected) << static_cast<int>(form);
    EXPECT_EQ(calls, 2) << "no clock reading for a refused frame";
  }
}

}  // namespace
}  // namespace quillon::cli
