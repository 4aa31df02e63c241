#pragma once
// Small readers over decodeFrame() for the decoder tests.

#include <map>
#include <set>
#include <string>

#include "hk/letters.h"
#include "hk/report.h"

namespace quillon::testing_support {

inline std::vector<FieldGroup> decode(FrameKind kind, const std::string& typed) {
  return decodeFrame(kind, toLetters(typed));
}

// Keys of the fields that are analysed; in the combined frame prefixed "satellite." / "pda.".
inline std::set<std::string> analysedKeys(FrameKind kind, const std::string& typed) {
  std::set<std::string> keys;
  for (const FieldGroup& g : decode(kind, typed)) {
    for (const Field& f : g.fields) {
      if (f.analyzed) keys.insert((g.name.empty() ? "" : std::string(g.name) + ".") + std::string(f.key));
    }
  }
  return keys;
}

inline std::set<std::string> allKeys(FrameKind kind) {
  std::set<std::string> keys;
  const std::string zeros(frameRule(kind).letters, '0');
  for (const FieldGroup& g : decode(kind, zeros)) {
    for (const Field& f : g.fields)
      keys.insert((g.name.empty() ? "" : std::string(g.name) + ".") + std::string(f.key));
  }
  return keys;
}

// Every field's value as the report prints it ("%.3lf", "%d" or the state text), by key.
inline std::map<std::string, std::string> values(FrameKind kind, const std::string& typed) {
  std::map<std::string, std::string> out;
  for (const FieldGroup& g : decode(kind, typed)) {
    for (const Field& f : g.fields) {
      std::string line;
      appendFieldLine(line, f);
      // Strip label and unit + CR LF to leave the printed value.
      line = line.substr(f.label.size(), line.size() - f.label.size() - f.unit.size() - 2);
      out[(g.name.empty() ? "" : std::string(g.name) + ".") + std::string(f.key)] = line;
    }
  }
  return out;
}

inline std::set<std::string> minus(std::set<std::string> a, const std::set<std::string>& b) {
  for (const auto& k : b) a.erase(k);
  return a;
}

}  // namespace quillon::testing_support
