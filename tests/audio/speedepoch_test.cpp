// SPDX-License-Identifier: GPL-3.0-or-later
// When the looks at the speed and the letters decided move the unit the letters are read at.
#include "audio/speedepoch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/framefinder.h"

namespace quillon::audio {
namespace {

// A look at the speed (unit > 0), or three letters `units` long each heard at `letterUnit`
// with `confidence`; then the new epoch's unit, if one starts.
struct Step {
  double look = 0;
  double letterUnit = 0;
  float confidence = 1;
  std::optional<double> epoch;
  double units = 11;
};

struct EpochCase {
  std::string name;
  std::vector<Step> steps;
};

class SpeedEpochTest : public testing::TestWithParam<EpochCase> {};

TEST_P(SpeedEpochTest, MovesOnlyForAnotherSpeed) {
  SpeedEpoch epoch;
  for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
    const Step& s = GetParam().steps[i];
    std::optional<double> got;
    if (s.look > 0) {
      got = epoch.look(s.look);
    } else {
      std::vector<LetterDecision> letters(3);
      for (LetterDecision& d : letters) {
        d.confidence = s.confidence;
        d.unitSamples = s.letterUnit;
        d.startSample = 1000.0 * static_cast<double>(i);
        d.endSample = d.startSample + s.units * s.letterUnit;
      }
      got = epoch.letters(letters);
    }
    ASSERT_EQ(got.has_value(), s.epoch.has_value()) << "step " << i;
    if (got) {
      EXPECT_NEAR(*got, *s.epoch, 1e-9) << "step " << i;
    }
  }
}

constexpr float kDoubtful = kTrustedConfidence - 0.1f;

INSTANTIATE_TEST_SUITE_P(
    Steps, SpeedEpochTest,
    testing::Values(
        EpochCase{"FirstWhenThreeAgree", {{30, 0, 1, {}}, {31, 0, 1, {}}, {29.5, 0, 1, 30}}},
        EpochCase{"FirstAfterFiveThatDisagree",
                  {{30, 0, 1, {}}, {40, 0, 1, {}}, {30.5, 0, 1, {}}, {30, 0, 1, {}}, {31, 0, 1, 30.5}}},
        EpochCase{
            "ScatteredLooksLeaveIt",
            {{30, 0, 1, {}}, {30, 0, 1, {}}, {30, 0, 1, 30}, {34, 0, 1, {}}, {27, 0, 1, {}}, {36, 0, 1, {}}}},
        EpochCase{"AgreeingLooksMoveIt",
                  {{30, 0, 1, {}},
                   {30, 0, 1, {}},
                   {30, 0, 1, 30},
                   {36, 0, 1, {}},
                   {36.3, 0, 1, {}},
                   {35.8, 0, 1, 36}}},
        // The letters find the looks 8 % short; the same lean in later looks is no new speed.
        EpochCase{"LettersCorrectTheLooks",
                  {{30, 0, 1, {}},
                   {30, 0, 1, {}},
                   {30, 0, 1, 30},
                   {0, 32.4, 1, 32.4},
                   {30.5, 0, 1, {}},
                   {0, 32.4, 1, {}}}},
        EpochCase{"DoubtfulOrNearLettersLeaveIt",
                  {{30, 0, 1, {}},
                   {30, 0, 1, {}},
                   {30, 0, 1, 30},
                   {0, 32.4, kDoubtful, {}},
                   {0, 30.5, 1, {}},
                   // each batch of sure letters is weighed on its own
                   {0, 31, 1, 31}}},
        // 27 units of letters are too few; 54 are enough.
        EpochCase{
            "LettersWaitForEnough",
            {{30, 0, 1, {}}, {30, 0, 1, {}}, {30, 0, 1, 30}, {0, 32.4, 1, {}, 9}, {0, 32.4, 1, 32.4, 9}}},
        EpochCase{"NoLettersBeforeTheFirst", {{30, 0, 1, {}}, {0, 32.4, 1, {}}}}),
    [](const auto& info) { return info.param.name; });

TEST(SpeedEpoch, StartsAtTheEndFromTheLooksIn) {
  SpeedEpoch epoch;
  EXPECT_FALSE(epoch.startNow());
  epoch.look(30);
  EXPECT_EQ(epoch.startNow(), 30);
  EXPECT_TRUE(epoch.started());
  EXPECT_FALSE(epoch.startNow());
}

}  // namespace
}  // namespace quillon::audio
