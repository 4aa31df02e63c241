// SPDX-License-Identifier: GPL-3.0-or-later
// The live letter hint: the line under an input and its tooltip, from the frame tables.
#include "core/hint.h"

#include <gtest/gtest.h>

#include "frames/framelist.h"

namespace quillon {
namespace {
// clang-format off

struct HintCase {
  const char *name, *frame, *typed, *line;
  bool warns;
  const char* detail = nullptr;  // the tooltip, when it differs from the line
};

class HintTest : public testing::TestWithParam<HintCase> {};

TEST_P(HintTest, LineAndTooltip) {
  const HintCase& c = GetParam();
  const LetterHint hint = letterHint(*frameNamed(c.frame), c.typed);
  EXPECT_EQ(std::pair(hint.line, hint.warns), std::pair(std::string(c.line), c.warns));
  EXPECT_EQ(hint.detail, c.detail ? c.detail : c.line);
}

INSTANTIATE_TEST_SUITE_P(Typed, HintTest, testing::Values(
        HintCase{"Empty", "pda", "", "8 letters", false},
        HintCase{"Typing", "hk", "89D0x", "5 of 22 letters, 1 not copied", false},
        HintCase{"CombinedOrder", "satpda", "0000", "4 of 16 letters: satellite 8, then PDA 8", false,
                 "4 of 16 letters: the satellite status word first, then the PDA status word"},
        HintCase{"Full", "hk", "89D0A76820472FBCA7A01F", "22 of 22 letters", false},
        HintCase{"FirstLetter", "hk", "x9D0A76820472FBCA7A01F", "22 of 22 letters, 1 not copied: voltage of 3.3V system will be missing", true},
        HintCase{"NotCopied", "hk", "89D0xx6820x72FxxA7Ax1F", "22 of 22 letters, 6 not copied: voltage of battery, temperature of communication board and 2 more fields will be missing", true,
                 "22 of 22 letters, 6 not copied: voltage of battery, temperature of communication board, current of battery and S meter of 1.2GHz will be missing"},
        HintCase{"ModeLetter", "hk", "89D0A7682x472FBCA7A01F", "22 of 22 letters, 1 not copied: antenna, DTMF flag and amatuer service mode will be missing", true},
        HintCase{"CameraLetter", "pda", "8A5C3Ex1", "8 of 8 letters, 1 not copied: USB2Serial status and camera status will be missing", true},
        HintCase{"OverLong", "sat", "12345678x", "9 of 8 letters", false},
        HintCase{"CapitalX", "sat", "89D0X768", "8 of 8 letters; letter 5 'X' is not a hex letter (a letter not copied is a lower-case 'x'): every field will be missing", true,
                 "8 of 8 letters\nletter 5 'X' is not a hex letter (a letter not copied is a lower-case 'x'): every field will be missing"},
        HintCase{"Blank", "hk", "89D0A76820472FBCA7A0 F", "22 of 22 letters; letter 21 is a blank, not a hex letter: APD 3.3V A power, APD 3.3V B power and 6 more fields will be missing", true,
                 "22 of 22 letters\nletter 21 is a blank, not a hex letter: APD 3.3V A power, APD 3.3V B power, APD main power, DAQ power, PDA, TH-59 power, CW power and DJ-C5(TX) power will be missing"},
        HintCase{"BeaconWord", "hk", "tngr 89D0A76820472FBCA", "22 of 22 letters; leave out the beacon word TNGR: voltage of 3.3V system, voltage of 5V system and 7 more fields will be missing", true,
                 "22 of 22 letters\nleave out the beacon word TNGR: voltage of 3.3V system, voltage of 5V system, voltage of battery, voltage of main bus, temperature of communication board, temperature of battery, current of battery, S meter of 144MHz and S meter of 1.2GHz will be missing"}),
    [](const testing::TestParamInfo<HintCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(FieldsRemovedBy, FollowTheTables) {
  // Letter 9 holds MODE bits 7-4: a mark costs those four flags; an invalid letter there
  // silences both decoders that read it, the values and the mode flags.
  EXPECT_EQ(fieldsRemovedBy(*frameNamed("hk"), 8, false).size(), 4U);
  EXPECT_EQ(fieldsRemovedBy(*frameNamed("hk"), 8, true).size(), 16U);
  EXPECT_EQ(fieldsRemovedBy(*frameNamed("satpda"), 9, true).size(), 19U);
  EXPECT_TRUE(fieldsRemovedBy(*frameNamed("sat"), 8, true).empty()) << "past the frame";
}

}  // namespace
}  // namespace quillon
