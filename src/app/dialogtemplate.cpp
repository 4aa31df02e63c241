// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_template.h"

namespace quillon::app {

namespace {

using K = ControlKind;

// Template order, which is also the stacking order: a group box before the controls it
// frames, so they lie on top of it. Tab order is kept separately (CQuillonDlg).
constexpr ControlTemplate kControls[] = {
    // id, kind, x, y, width, height [dialog units], text, the control a label names
    {kNoId, K::GroupBox, 7, 7, 447, 219, "Status Checker", kNoId},
    {kHouseKeepingInput, K::Input, 83, 140, 102, 14, "", kNoId},
    {kHouseKeepingButton, K::Button, 154, 157, 31, 14, "Check !", kNoId},
    {kResultBox, K::ResultBox, 202, 24, 249, 200, "", kNoId},
    {kLocalTimeField, K::ClockField, 55, 17, 80, 14, "", kNoId},
    {kNoId, K::Label, 14, 17, 33, 8, "Local Time", kLocalTimeField},
    {kNoId, K::Label, 23, 35, 14, 8, "UTC", kUtcField},
    {kNoId, K::Label, 14, 51, 35, 8, "Julian Date", kJulianDateField},
    {kJulianDateField, K::ClockField, 54, 51, 80, 14, "", kNoId},
    {kUtcField, K::ClockField, 54, 35, 80, 14, "", kNoId},
    {kNoId, K::Label, 18, 79, 152, 8, "Fill in the blanks with complete data without space.", kNoId},
    {kNoId, K::Label, 18, 94, 121, 8, "Use 'x' instead of misscopied characters.", kNoId},
    {kNoId, K::Label, 19, 110, 152, 8, "For example,  TNGR \"89D0A76820472FBCA7A01F\"", kNoId},
    {kNoId, K::Label, 50, 124, 118, 8, "or  TNGR \"89D0xx6820x72FxxA7Ax1F\"", kNoId},
    {kNoId, K::Label, 16, 143, 65, 8, "House Keeping: TNGR", kHouseKeepingInput},
    {kNoId, K::Label, 201, 14, 59, 8, "CW Analysis Result", kResultBox},

    {kNoId, K::Hint, 16, 158, 134, 8, "", kHouseKeepingInput},

    // The status words, side by side: label, input and "Check !", hint under the input.
    {kNoId, K::GroupBox, 7, 229, 447, 50, "Status Words", kNoId},
    {kNoId, K::Label, 14, 240, 100, 8, "Satellite Status", kSatelliteInput},
    {kSatelliteInput, K::Input, 14, 250, 100, 14, "", kNoId},
    {kSatelliteButton, K::Button, 118, 250, 31, 14, "Check !", kNoId},
    {kNoId, K::Hint, 14, 266, 138, 8, "", kSatelliteInput},
    {kNoId, K::Label, 163, 240, 100, 8, "PDA Status", kPdaInput},
    {kPdaInput, K::Input, 163, 250, 100, 14, "", kNoId},
    {kPdaButton, K::Button, 267, 250, 31, 14, "Check !", kNoId},
    {kNoId, K::Hint, 163, 266, 138, 8, "", kPdaInput},
    {kNoId, K::Label, 312, 240, 100, 8, "Sat. + PDA Status", kSatellitePdaInput},
    {kSatellitePdaInput, K::Input, 312, 250, 100, 14, "", kNoId},
    {kSatellitePdaButton, K::Button, 416, 250, 31, 14, "Check !", kNoId},
    {kNoId, K::Hint, 312, 266, 138, 8, "", kSatellitePdaInput},
};

// 235 units high as designed, and 50 more for the status words.
constexpr DialogTemplate kMainDialog{470, 285, "Tanager II Quillon (Ver.0.5)", kControls};

}  // namespace

const DialogTemplate& mainDialogTemplate() { return kMainDialog; }

QString controlName(int id) { return QStringLiteral("id%1").arg(id); }
QString hintName(int inputId) { return QStringLiteral("hint%1").arg(inputId); }

}  // namespace quillon::app
