#include "core/json.h"

#include <nlohmann/json.hpp>

namespace quillon {

namespace {

using Json = nlohmann::ordered_json;  // keeps the fields in report order

Json fieldValue(const Field& field) {
  switch (field.row->form) {
    case FieldForm::Engineering: return field.engineering;
    case FieldForm::Count: return field.count;
    case FieldForm::State: break;
  }
  return std::string(field.state);
}

}  // namespace

void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields) {
  Json record = {{"kind", std::string(frameRule(kind).name)},
                 {"data", std::string(data)},
                 {"utc", std::string(utcIso)},
                 {"local", std::string(localIso)}};
  Json analysed = Json::object();
  Json missing = Json::array();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const Field& field = fields[i];
    if (field.analyzed) {
      analysed[std::string(field.row->key)] = fieldValue(field);
    } else {
      missing.push_back(std::string(field.row->key));
    }
    if (i + 1 < fields.size() && fields[i + 1].block == field.block) continue;
    if (field.block.empty()) {
      record["fields"] = std::move(analysed);
      record["notAnalyzed"] = std::move(missing);
    } else {
      record[std::string(field.block)] = {{"fields", std::move(analysed)}, {"notAnalyzed", std::move(missing)}};
    }
    analysed = Json::object();
    missing = Json::array();
  }
  out += record.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace quillon
