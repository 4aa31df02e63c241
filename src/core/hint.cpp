// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hint.h"

#include <algorithm>

#include "core/beacon.h"
#include "core/letters.h"

namespace quillon {

namespace {

using Rows = std::vector<const FieldRow*>;

// Letter n of the text as the report would show it.
std::string letterText(std::string_view typed, std::size_t n) {
  return shownText(firstLetters(typed, n + 1)).substr(shownText(firstLetters(typed, n)).size());
}

void addRows(Rows& into, const Rows& more) {
  for (const FieldRow* row : more) {
    if (std::find(into.begin(), into.end(), row) == into.end()) into.push_back(row);
  }
}

// "a, b and c"; with `most` set, at most that many names and then "and N more fields".
std::string names(const FrameRule& rule, const Rows& rows, std::size_t most) {
  if (rows.size() == fieldCount(rule)) return "every field";
  const std::size_t shown = rows.size() > most ? most - 1 : rows.size();
  std::string out;
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) out += i + 1 == rows.size() ? " and " : ", ";
    out += fieldName(*rows[i]);
  }
  if (shown < rows.size()) out += " and " + std::to_string(rows.size() - shown) + " more fields";
  return out;
}

struct Sentences {
  LetterHint hint;
  void add(const std::string& line, const std::string& detail) {
    if (!hint.line.empty()) hint.line += "; ";
    hint.line += line;
    if (!hint.detail.empty()) hint.detail += '\n';
    hint.detail += detail;
  }
  // A sentence that ends in the fields it costs.
  void add(const FrameRule& rule, const std::string& what, const Rows& rows) {
    if (rows.empty()) return add(what, what);
    hint.warns = true;
    add(what + ": " + names(rule, rows, 3) + " will be missing",
        what + ": " + names(rule, rows, rows.size()) + " will be missing");
  }
};

// In a frame of several words, their order: ": satellite 8, then PDA 8" in short, and
// ": the satellite status word first, then the PDA status word" in full.
std::pair<std::string, std::string> wordOrder(const FrameRule& rule) {
  std::string brief, full;
  const Block* last = nullptr;
  for (const FieldGroup& group : rule.groups) {
    if (!group.block || group.block == last) continue;
    const std::string_view noun = group.block->noun;
    brief += (last ? ", then " : ": ") + std::string(noun.substr(0, noun.find(' '))) + " " +
             std::to_string(rule.parts[group.part].letters);
    full += (last ? ", then the " : ": the ") + std::string(noun) + (last ? "" : " first");
    last = group.block;
  }
  return {brief, full};
}

}  // namespace

std::string fieldName(const FieldRow& row) {
  std::string_view label = row.label;
  for (std::string_view verb : {" is ", " is", " are ", " : "}) {
    if (label.ends_with(verb)) {
      label.remove_suffix(verb.size());
      break;
    }
  }
  std::string name(label);
  // "Voltage of ..." reads as "voltage of ..." mid-sentence; "FM", "S meter" stay.
  if (name.size() > 1 && name[0] >= 'A' && name[0] <= 'Z' && name[1] >= 'a' && name[1] <= 'z') name[0] += 'a' - 'A';
  return name;
}

std::vector<const FieldRow*> fieldsRemovedBy(const FrameRule& rule, std::size_t letter, bool invalid) {
  std::u32string letters(rule.letters, U'0');
  if (letter < rule.letters) letters[letter] = invalid ? U'G' : kNotCopiedMark;
  Rows removed;
  for (const Field& field : decodeFrame(rule, letters)) {
    if (!field.analyzed) removed.push_back(field.row);
  }
  return removed;
}

LetterHint letterHint(const FrameRule& rule, std::string_view typed) {
  const std::u32string letters = toLetters(typed);
  const std::size_t count = letters.size();
  const std::size_t checked = std::min(count, rule.letters);
  const std::string needed = std::to_string(rule.letters) + " letters";
  const auto [order, orderInFull] = wordOrder(rule);

  Sentences out;
  // Letters before `first` belong to the beacon word: the text is ASCII up to it.
  const std::size_t first = std::min(checked, beaconWordLength(typed));

  std::string counted = count == 0 ? needed : std::to_string(count) + " of " + needed;
  Rows lostToMarks;
  std::size_t marks = 0;
  for (std::size_t n = first; n < checked; ++n) {
    if (letters[n] != kNotCopiedMark) continue;
    ++marks;
    if (count == rule.letters) addRows(lostToMarks, fieldsRemovedBy(rule, n, false));
  }
  const bool problems = marks > 0 || first > 0 ||
                        std::any_of(letters.begin(), letters.begin() + static_cast<std::ptrdiff_t>(checked),
                                    [](char32_t c) { return !isHexLetterOrMark(c, kNotCopiedMark); });
  if (marks > 0) {
    counted += ", " + std::to_string(marks) + " not copied";
    out.add(rule, counted, lostToMarks);
  } else {
    const bool showOrder = !problems && count < rule.letters;
    out.add(counted + (showOrder ? order : ""), counted + (showOrder ? orderInFull : ""));
  }

  if (first > 0) {
    Rows lost;
    for (std::size_t n = 0; n < first; ++n) addRows(lost, fieldsRemovedBy(rule, n, true));
    out.add(rule, "leave out the beacon word TNGR", lost);
  }
  for (std::size_t n = first; n < checked; ++n) {
    if (isHexLetterOrMark(letters[n], kNotCopiedMark)) continue;
    const std::string shown = letterText(typed, n);
    std::string what = "letter " + std::to_string(n + 1);
    if (shown == " ") {
      what += " is a blank, not a hex letter";
    } else {
      what += " '" + shown + "' is not a hex letter";
      if (shown == "X") what += " (a letter not copied is a lower-case 'x')";
    }
    out.add(rule, what, fieldsRemovedBy(rule, n, true));
  }
  return out.hint;
}

}  // namespace quillon
