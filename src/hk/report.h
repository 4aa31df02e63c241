#pragma once
// The four frames the operator can check, and the report text each check appends:
//
//   typed text -> length rule -> decoders -> field groups -> header + field lines
//
// A report is the title line, "UTC : " and "LocalTime : " in time form 1, "Data = " with
// the text as typed, an empty line, then groups of field lines, each group closed by an
// empty line. Only analysed fields get a line. Line ends are CR LF throughout.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "time/clock_snapshot.h"

namespace quillon {

enum class FrameKind { HouseKeeping, Satellite, Pda, SatellitePda };

struct FrameRule {
  FrameKind kind;
  std::size_t letters;           // exact length a check needs
  std::string_view name;         // short name for scripts: "hk", "sat", "pda", "satpda"
  std::string_view title;        // "Tanager CW House Keeping Status"
  std::string_view wrongLength;  // "Please input 22 Letters"
  std::string_view overLength;   // "Over 22 letters!"
};

inline constexpr std::string_view kWrongLengthCaption = "Invalidate";

const FrameRule& frameRule(FrameKind kind);
// The rule named "hk", "sat", "pda" or "satpda"; nullptr for any other name.
const FrameRule* frameRuleNamed(std::string_view name);
inline constexpr FrameKind kAllFrames[] = {FrameKind::HouseKeeping, FrameKind::Satellite, FrameKind::Pda,
                                           FrameKind::SatellitePda};

// True when the typed text has exactly the frame's number of characters.
bool hasFrameLength(FrameKind kind, std::string_view typedUtf8);

// What an input guard does with a changed text: nullopt when it is within the limit,
// else the text cut to the limit (the guard shows rule.overLength first).
std::optional<std::string> cutToFrameLength(FrameKind kind, std::string_view typedUtf8);

enum class FieldForm {
  Engineering,  // "%.3lf" and a unit
  Count,        // "%d"
  State,        // a state text
};

struct Field {
  std::string_view key;    // name for scripts, e.g. "voltage33V"
  std::string_view label;  // report label, e.g. "Voltage of 3.3V system is "
  std::string_view unit;   // report suffix before the line end, e.g. " [V]"; empty if none
  FieldForm form = FieldForm::State;
  bool analyzed = false;
  double engineering = -2.0;
  int count = -2;
  std::string_view state = "not analyzed";
};

// One group of field lines; the report closes every group with an empty line.
struct FieldGroup {
  std::string_view name;  // "" for a frame of one word, "satellite" or "pda" in the combined frame
  std::vector<Field> fields;
};

// Decodes a frame of exactly rule.letters code points (throws std::invalid_argument
// otherwise). Every field is listed, analysed or not, in report order.
std::vector<FieldGroup> decodeFrame(FrameKind kind, std::u32string_view letters);

// "label value unit\r\n" for one analysed field.
void appendFieldLine(std::string& out, const Field& field);
// The field lines of the analysed fields, each group closed by "\r\n".
std::string reportBody(const std::vector<FieldGroup>& groups);
// Title, both times in form 1, the typed text as it is, and the empty line.
std::string reportHeader(FrameKind kind, std::string_view typedUtf8, const stm::ClockSnapshot& clock);

// The whole text a check appends to the result box; nullopt when the length is wrong.
std::optional<std::string> buildReport(FrameKind kind, std::string_view typedUtf8,
                                       const stm::ClockSnapshot& clock);

}  // namespace quillon
