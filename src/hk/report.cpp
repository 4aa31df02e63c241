#include "hk/report.h"

#include <charconv>
#include <stdexcept>

#include "hk/field_table.h"
#include "hk/letters.h"

namespace quillon {

namespace {

constexpr FrameRule kRules[] = {
    {FrameKind::HouseKeeping, 22, "hk", "Tanager CW House Keeping Status", "Please input 22 Letters",
     "Over 22 letters!"},
    {FrameKind::Satellite, 8, "sat", "Tanager Satellite Status", "Please input 8 Letters", "Over 8 letters!"},
    {FrameKind::Pda, 8, "pda", "Tanager PDA Status", "Please input 8 Letters", "Over 8 letters!"},
    {FrameKind::SatellitePda, 16, "satpda", "Tanager Satellite & PDA Status", "Please input 16 Letters",
     "Over 16 letters!"},
};

}  // namespace

const FrameRule& frameRule(FrameKind kind) { return kRules[static_cast<int>(kind)]; }

const FrameRule* frameRuleNamed(std::string_view name) {
  for (const FrameRule& rule : kRules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

bool hasFrameLength(FrameKind kind, std::string_view typedUtf8) {
  return letterCount(typedUtf8) == frameRule(kind).letters;
}

std::optional<std::string> cutToFrameLength(FrameKind kind, std::string_view typedUtf8) {
  const std::size_t limit = frameRule(kind).letters;
  if (letterCount(typedUtf8) <= limit) return std::nullopt;
  return firstLetters(typedUtf8, limit);
}

std::vector<FieldGroup> decodeFrame(FrameKind kind, std::u32string_view letters) {
  if (letters.size() != frameRule(kind).letters) {
    throw std::invalid_argument(std::string(frameRule(kind).wrongLength));
  }
  switch (kind) {
    case FrameKind::HouseKeeping: return houseKeepingFields(letters);
    case FrameKind::Satellite: return {{"", satelliteFields(letters)}};
    case FrameKind::Pda: return {{"", pdaFields(letters)}};
    case FrameKind::SatellitePda:
      // The halves decode independently: a bad letter in one leaves the other whole.
      return {{"satellite", satelliteFields(letters.substr(0, 8))}, {"pda", pdaFields(letters.substr(8, 8))}};
  }
  throw std::invalid_argument("unknown frame");
}

void appendFieldLine(std::string& out, const Field& field) {
  // to_chars prints exactly what printf's "%.3lf" and "%d" print, without the locale.
  char number[400];
  out += field.label;
  switch (field.form) {
    case FieldForm::Engineering:
      out.append(
          number,
          std::to_chars(number, number + sizeof number, field.engineering, std::chars_format::fixed, 3).ptr);
      break;
    case FieldForm::Count:
      out.append(number, std::to_chars(number, number + sizeof number, field.count).ptr);
      break;
    case FieldForm::State: out += field.state; break;
  }
  out += field.unit;
  out += "\r\n";
}

std::string reportBody(const std::vector<FieldGroup>& groups) {
  std::string body;
  body.reserve(1024);
  for (const FieldGroup& group : groups) {
    for (const Field& field : group.fields) {
      if (field.analyzed) appendFieldLine(body, field);
    }
    body += "\r\n";
  }
  return body;
}

std::string reportHeader(FrameKind kind, std::string_view typedUtf8, const stm::ClockSnapshot& clock) {
  std::string header;
  header.reserve(128 + typedUtf8.size());
  header += frameRule(kind).title;
  header += "\r\nUTC : ";
  header += clock.GetUtcText(1);
  header += "\r\nLocalTime : ";
  header += clock.GetLocalTimeText(1);
  header += "\r\nData = ";
  header += typedUtf8;
  header += "\r\n\r\n";
  return header;
}

std::optional<std::string> buildReport(FrameKind kind, std::string_view typedUtf8,
                                       const stm::ClockSnapshot& clock) {
  const std::u32string letters = toLetters(typedUtf8);
  if (letters.size() != frameRule(kind).letters) return std::nullopt;
  std::string report = reportHeader(kind, typedUtf8, clock);
  report += reportBody(decodeFrame(kind, letters));
  return report;
}

}  // namespace quillon
