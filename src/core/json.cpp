#include "core/json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quillon {

namespace {

// Length of the UTF-8 sequence at text[i], or 0 when it is not one (overlong forms and
// surrogates included).
std::size_t utf8Length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned lead = byte(i);
  unsigned low = 0x80, high = 0xBF;
  std::size_t n = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k, low = 0x80, high = 0xBF) {
    if (byte(i + k) < low || byte(i + k) > high) return 0;
  }
  return n;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
  out += '"';
  std::size_t run = 0;  // start of the bytes not yet copied
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = 1;
    if (c >= 0x20 && c != '"' && c != '\\' && (c < 0x80 || (n = utf8Length(text, i)) != 0)) {
      i += n;
      continue;
    }
    out.append(text, run, i - run);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += "0123456789abcdef"[c >> 4];
          out += "0123456789abcdef"[c & 15];
        } else {
          out += "\xef\xbf\xbd";  // a byte that is not UTF-8
        }
    }
    run = ++i;
  }
  out.append(text, run);
  out += '"';
}

void appendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  // The shortest digits from the standard library, then the layout: plain decimals while
  // the point falls within 15 digits of the first one, down to 0.000ddd; else d.ddde+XX.
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  const char* at = text;
  if (*at == '-') out += *at++;
  char digits[20];
  int k = 0;
  for (; *at != 'e'; ++at) {
    if (*at != '.') digits[k++] = *at;
  }
  const char* exponent = at[1] == '+' ? at + 2 : at + 1;
  int n = 0;
  std::from_chars(exponent, end, n);
  ++n;  // the point's place: after digit n
  const std::string_view all(digits, static_cast<std::size_t>(k));
  if (value == 0 || (k <= n && n <= 15)) {
    out += all;
    if (value != 0) out.append(static_cast<std::size_t>(n - k), '0');
    out += ".0";
  } else if (0 < n && n <= 15) {
    out += all.substr(0, static_cast<std::size_t>(n));
    out += '.';
    out += all.substr(static_cast<std::size_t>(n));
  } else if (-4 < n && n <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-n), '0');
    out += all;
  } else {
    out += all[0];
    if (k > 1) (out += '.') += all.substr(1);
    const int e = n - 1;
    out += e < 0 ? "e-" : "e+";
    if (std::abs(e) < 10) out += '0';
    out += std::to_string(std::abs(e));
  }
}

void JsonWriter::item() {
  if (!first) out += ',';
  first = false;
}

void JsonWriter::open(char bracket) {
  item();
  out += bracket;
  first = true;
}

void JsonWriter::close(char bracket) {
  out += bracket;
  first = false;
}

void JsonWriter::key(std::string_view name) {
  item();
  appendJsonString(out, name);
  out += ':';
  first = true;
}

void JsonWriter::string(std::string_view text) {
  item();
  appendJsonString(out, text);
}

void JsonWriter::number(double value) {
  item();
  appendJsonNumber(out, value);
}

void JsonWriter::integer(int value) {
  item();
  char text[16];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void JsonWriter::piece(std::string_view json) {
  item();
  out += json;
}

void appendJsonPiece(std::string& out, const Field& field) {
  JsonWriter json(out);
  if (!field.analyzed) {
    json.string(field.row->key);
    return;
  }
  json.key(field.row->key);
  switch (field.row->form) {
    case FieldForm::Engineering: json.number(field.engineering); break;
    case FieldForm::Count: json.integer(field.count); break;
    case FieldForm::State: json.string(field.state); break;
  }
}

void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields,
                      std::span<const std::string_view> pieces) {
  JsonWriter json(out);
  json.beginObject();
  json.key("kind");
  json.string(frameRule(kind).name);
  json.key("data");
  json.string(data);
  json.key("utc");
  json.string(utcIso);
  json.key("local");
  json.string(localIso);
  // Each block's fields, then the keys it left out.
  for (std::size_t first = 0, end = 0; first < fields.size(); first = end) {
    const std::string_view block = fields[first].block;
    while (end < fields.size() && fields[end].block == block) ++end;
    if (!block.empty()) {
      json.key(block);
      json.beginObject();
    }
    for (const bool analysed : {true, false}) {
      json.key(analysed ? "fields" : "notAnalyzed");
      analysed ? json.beginObject() : json.beginArray();
      for (std::size_t i = first; i < end; ++i) {
        if (fields[i].analyzed == analysed) json.piece(pieces[i]);
      }
      analysed ? json.endObject() : json.endArray();
    }
    if (!block.empty()) json.endObject();
  }
  json.endObject();
}

std::vector<std::string_view> writePieces(const std::vector<Field>& fields,
                                          void (*write)(std::string&, const Field&), std::string& text) {
  std::vector<std::size_t> ends;
  for (const Field& field : fields) {
    write(text, field);
    ends.push_back(text.size());
  }
  std::vector<std::string_view> pieces;
  for (std::size_t i = 0; i < ends.size(); ++i) {
    const std::size_t begin = i == 0 ? 0 : ends[i - 1];
    pieces.push_back(std::string_view(text).substr(begin, ends[i] - begin));
  }
  return pieces;
}

void appendJsonRecord(std::string& out, FrameKind kind, std::string_view data, std::string_view utcIso,
                      std::string_view localIso, const std::vector<Field>& fields) {
  std::string text;
  appendJsonRecord(out, kind, data, utcIso, localIso, fields, writePieces(fields, appendJsonPiece, text));
}

}  // namespace quillon
