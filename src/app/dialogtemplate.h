// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog as a table: one row per control, positions in dialog units.
//
// The "Status Checker" box holds the house-keeping row, the clock panel and the result
// box. The three status-word rows and the live letter hints are additions: the hint of
// the house-keeping row sits under its input, the status words in a box of their own
// below, so the window grows only downward and every other control keeps its place.

#include <QString>

#include <span>
#include <string_view>

namespace quillon::app {

enum class ControlKind {
  GroupBox,
  Label,       // left-aligned static text
  Input,       // one-line edit, border, scrolls horizontally
  Button,      // push button
  ResultBox,   // multi-line edit, vertical scroll bar, no word wrap
  ClockField,  // read-only clock text without border, selectable
  Hint,        // the live letter check of an input, one line
};

// Identifiers of the controls that the handlers and tests address.
enum ControlId : int {
  kNoId = 0,
  kSatelliteInput = 1001,
  kSatelliteButton = 1002,
  kResultBox = 1003,
  kPdaInput = 1004,
  kPdaButton = 1005,
  kSatellitePdaInput = 1006,
  kSatellitePdaButton = 1007,
  kLocalTimeField = 1008,
  kJulianDateField = 1009,
  kUtcField = 1010,
  kHouseKeepingButton = 1011,
  kHouseKeepingInput = 1012,
};

struct ControlTemplate {
  int id;  // kNoId for group box and labels
  ControlKind kind;
  int x, y, width, height;   // [dialog units]
  std::string_view text;
  int labelFor;  // for a label or hint: the control it names or checks; else kNoId
};

struct DialogTemplate {
  int width, height;  // client area [dialog units]
  std::string_view title;
  std::span<const ControlTemplate> controls;
};

const DialogTemplate& mainDialogTemplate();

// "id1012": how every control with an identifier is named, so it can be found.
QString controlName(int id);
// "hint1012": the hint under that input.
QString hintName(int inputId);

}  // namespace quillon::app
