// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog as a table: one row per control, positions in dialog units.
//
// The "Status Checker" box holds the house-keeping row, the clock panel and the result
// box. Every other frame of the frame list gets a label, an input, a "Check !" button and a
// live hint in a box of its own below, in slots three to a row, so the window grows only
// downward and every control above keeps its place. A frame's controls are one row of
// kFrameControls: their identifiers.
//
// The template's size is the window's default and smallest. A larger window gives its room
// to the result box; every control keeps its place relative to the box: those left of it
// stay, those below it move down with it.

#include <QString>

#include <string_view>
#include <vector>

namespace quillon {
struct FrameRule;
}

namespace quillon::app {

enum class ControlKind {
  GroupBox,
  Label,       // left-aligned static text
  Input,       // one-line edit, border, scrolls horizontally
  Button,      // push button
  ResultBox,   // multi-line edit, vertical scroll bar, no word wrap
  ClockField,  // read-only clock text without border, selectable
  Hint,        // the live letter check of an input, wrapped over as many lines as it has room for
};

// How a control follows a window larger than the template.
enum class Follow {
  Stays,       // left of or above the result box
  Grows,       // the result box and the box around it: the extra width and height
  MovesDown,   // below the result box: the extra height
  GrowsBelow,  // the box of the frames below: the extra height, and the extra width
};

// Identifiers of the controls that the handlers and tests address.
enum ControlId : int {
  kNoId = 0,
  kResultBox = 1003,
  kLocalTimeField = 1008,
  kJulianDateField = 1009,
  kUtcField = 1010,
  kHouseKeepingButton = 1011,
  kHouseKeepingInput = 1012,
};

struct ControlTemplate {
  int id;  // kNoId for group box and labels
  ControlKind kind;
  int x, y, width, height;  // [dialog units]
  std::string_view text;
  int labelFor;  // for a label or hint: the control it names or checks; else kNoId
  Follow follow = Follow::Stays;
};

// The input and button of a frame of the list, by its name.
struct FrameControls {
  std::string_view frame;
  int input;
  int button;
};

struct DialogTemplate {
  int width, height;  // client area [dialog units]
  std::vector<ControlTemplate> controls;
};

// Every control: the house-keeping row, the clock panel and the result box, then the
// rows of the other frames.
const DialogTemplate& mainDialogTemplate();

// The identifiers of a frame's controls; nullptr for a frame the dialog has none for.
const FrameControls* controlsOf(const FrameRule& frame);

// "Tanager II Quillon (Ver.0.5)": the project version's major and minor numbers.
QString dialogTitle();

// "id1012": how every control with an identifier is named, so it can be found.
QString controlName(int id);
// "hint1012": the hint under that input.
QString hintName(int inputId);

}  // namespace quillon::app
