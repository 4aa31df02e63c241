#pragma once
// The main dialog as a table: one row per control, positions in dialog units.
// Rows are in tab order; the six status-word rows are this program's additions
// (the original template had only the house-keeping row), placed in the free space
// of the left column under it.

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
  ClockField,  // read-only one-line edit without border
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
  int labelFor;  // for a label: the control it names (kNoId for hints); else kNoId
};

struct DialogTemplate {
  int width, height;  // client area [dialog units]
  std::string_view title;
  std::span<const ControlTemplate> controls;
};

const DialogTemplate& mainDialogTemplate();

// "id1012": how every control with an identifier is named, so it can be found.
QString controlName(int id);

}  // namespace quillon::app
