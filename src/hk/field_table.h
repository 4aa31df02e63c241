#pragma once
// Field tables: one row per report line (key, label, analysed query, value, unit),
// read by one loop for every frame. Internal to the core.

#include <string_view>
#include <variant>
#include <vector>

#include "hk/report.h"

namespace quillon {

template <class Decoder>
struct FieldRow {
  using Engineering = double (Decoder::*)() const;
  using Count = int (Decoder::*)() const;
  using State = const char* (Decoder::*)() const;

  std::string_view key;
  std::string_view label;
  bool (Decoder::*analyzed)() const;
  std::variant<Engineering, Count, State> value;
  std::string_view unit = {};
};

template <class Decoder, std::size_t N>
void readFields(std::vector<Field>& out, const Decoder& decoder, const FieldRow<Decoder> (&rows)[N]) {
  out.reserve(out.size() + N);
  for (const FieldRow<Decoder>& row : rows) {
    Field field;
    field.key = row.key;
    field.label = row.label;
    field.unit = row.unit;
    field.analyzed = (decoder.*row.analyzed)();
    if (auto engineering = std::get_if<typename FieldRow<Decoder>::Engineering>(&row.value)) {
      field.form = FieldForm::Engineering;
      field.engineering = (decoder.**engineering)();
    } else if (auto count = std::get_if<typename FieldRow<Decoder>::Count>(&row.value)) {
      field.form = FieldForm::Count;
      field.count = (decoder.**count)();
    } else {
      field.form = FieldForm::State;
      field.state = (decoder.*std::get<typename FieldRow<Decoder>::State>(row.value))();
    }
    out.push_back(field);
  }
}

// Letters must hold the frame's exact number of letters.
std::vector<FieldGroup> houseKeepingFields(std::u32string_view letters);
std::vector<Field> satelliteFields(std::u32string_view eightLetters);
std::vector<Field> pdaFields(std::u32string_view eightLetters);

}  // namespace quillon
