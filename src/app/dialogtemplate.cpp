// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogtemplate.h"

#include "frames/framelist.h"

namespace quillon::app {

namespace {

using K = ControlKind;

// Template order, which is also the stacking order: a group box before the controls it
// frames, so they lie on top of it. Tab order is kept separately (CQuillonDlg).
constexpr ControlTemplate kStatusChecker[] = {
    // id, kind, x, y, width, height [dialog units], text, the control a label names
    {kNoId, K::GroupBox, 7, 7, 447, 219, "Status Checker", kNoId, Follow::Grows},
    {kHouseKeepingInput, K::Input, 83, 140, 102, 14, "", kNoId},
    {kHouseKeepingButton, K::Button, 154, 157, 31, 14, "Check !", kNoId},
    {kResultBox, K::ResultBox, 202, 24, 249, 200, "", kNoId, Follow::Grows},
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
    // Room for seven lines: a wrong letter with the fields it costs, and the count.
    {kNoId, K::Hint, 16, 158, 134, 56, "", kHouseKeepingInput},
};
constexpr int kStatusCheckerHeight = 235;

// Each frame's input and button, by the identifiers tests and accessibility tools find them by.
constexpr FrameControls kFrameControls[] = {
    {"hk", kHouseKeepingInput, kHouseKeepingButton},
    {"sat", 1001, 1002},
    {"pda", 1004, 1005},
    {"satpda", 1006, 1007},
};

// A slot of the frames' box: label, input and "Check !" side by side, the hint below in
// five lines: a wrong letter, the fields it costs and the count, in words that do not break.
constexpr int kSlotsPerRow = 3, kSlotWidth = 149, kSlotHeight = 66, kBoxTop = 229;

DialogTemplate build() {
  DialogTemplate dialog{470, kStatusCheckerHeight, {std::begin(kStatusChecker), std::end(kStatusChecker)}};
  int slot = 0;
  for (const FrameRule* frame : allFrames()) {
    const FrameControls* ids = controlsOf(*frame);
    if (!ids || ids->input == kHouseKeepingInput) continue;
    const int x = 14 + slot % kSlotsPerRow * kSlotWidth, y = kBoxTop + 11 + slot / kSlotsPerRow * kSlotHeight;
    constexpr Follow down = Follow::MovesDown;
    dialog.controls.push_back({kNoId, K::Label, x, y, 100, 8, frame->label, ids->input, down});
    dialog.controls.push_back({ids->input, K::Input, x, y + 10, 100, 14, "", kNoId, down});
    dialog.controls.push_back({ids->button, K::Button, x + 104, y + 10, 31, 14, "Check !", kNoId, down});
    dialog.controls.push_back({kNoId, K::Hint, x, y + 25, 140, 40, "", ids->input, down});
    ++slot;
  }
  if (slot > 0) {
    const int rows = (slot + kSlotsPerRow - 1) / kSlotsPerRow;
    // Before the slots it frames, so they lie on top of it.
    dialog.controls.insert(dialog.controls.begin() + std::size(kStatusChecker),
                           {kNoId, K::GroupBox, 7, kBoxTop, 447, rows * kSlotHeight + 12, "Status Words",
                            kNoId, Follow::GrowsBelow});
    dialog.height = kBoxTop + rows * kSlotHeight + 18;
  }
  return dialog;
}

}  // namespace

const DialogTemplate& mainDialogTemplate() {
  static const DialogTemplate dialog = build();
  return dialog;
}

const FrameControls* controlsOf(const FrameRule& frame) {
  for (const FrameControls& controls : kFrameControls) {
    if (controls.frame == frame.name) return &controls;
  }
  return nullptr;
}

QString dialogTitle() { return QStringLiteral("Tanager II Quillon (Ver.%1)").arg(QStringLiteral(QUILLON_SHORT_VERSION)); }

QString controlName(int id) { return QStringLiteral("id%1").arg(id); }
QString hintName(int inputId) { return QStringLiteral("hint%1").arg(inputId); }

}  // namespace quillon::app
