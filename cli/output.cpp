#include "cli/output.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "calc/number_text.h"
#include "calc/quantity.h"
#include "calc/utf8.h"
#include "cli/csv.h"
#include "cli/inputs.h"
#include "cli/utf8.h"

namespace cli {

namespace {

using OutputMember = std::optional<std::string> calc::RunOutputs::*;

struct OutputField {
  const char* caption;  // the caption of the result field in the window
  const char* key;      // the run's output field name without "Out"
  OutputMember member;
  std::optional<double> calc::RunValues::*value;  // the number its text shows
};

// The window's visible results first, then the hidden ones, each under its caption.
constexpr OutputField kOutputFields[] = {
    {"消防栓口水压：", "outletPressure", &calc::RunOutputs::outletPressureOut,
     &calc::RunValues::outletPressure},
    {"Tavrel出水量：", "flow", &calc::RunOutputs::flowOut, &calc::RunValues::flow},
    {"保护半径(m)", "radius", &calc::RunOutputs::radiusOut, &calc::RunValues::radius},
    {"Tavrel间距(m)", "spacing", &calc::RunOutputs::spacingOut, &calc::RunValues::spacing},
    {"充实水柱长度：", "waterColumn", &calc::RunOutputs::waterColumnOut,
     &calc::RunValues::waterColumn},
    {"fai", "phi", &calc::RunOutputs::phiOut, &calc::RunValues::phi},
    {"af", "alpha", &calc::RunOutputs::alphaOut, &calc::RunValues::alphaF},
    {"B", "flowCoefficient", &calc::RunOutputs::flowCoefficientOut,
     &calc::RunValues::flowCoefficient},
    {"Hq", "nozzlePressure", &calc::RunOutputs::nozzlePressureOut,
     &calc::RunValues::nozzlePressure},
    {"Hd", "hoseLoss", &calc::RunOutputs::hoseLossOut, &calc::RunValues::hoseLoss},
};
constexpr const char* kHoseCoefficientCaption = "Az";

// Table columns after the five entries: φ, α_f, B, H_q, q, h_d, outlet pressure, radius.
constexpr OutputMember kTableOutputs[] = {
    &calc::RunOutputs::phiOut,
    &calc::RunOutputs::alphaOut,
    &calc::RunOutputs::flowCoefficientOut,
    &calc::RunOutputs::nozzlePressureOut,
    &calc::RunOutputs::flowOut,
    &calc::RunOutputs::hoseLossOut,
    &calc::RunOutputs::outletPressureOut,
    &calc::RunOutputs::radiusOut,
};

std::vector<std::string> tableHeader(bool withWidth) {
  std::vector<std::string> header{calc::kHoseLengthField,
                                  "水龙带材料",
                                  "水龙带直径",
                                  calc::kNozzleDiameterField,
                                  calc::kWaterColumnField,
                                  "fai",
                                  "af",
                                  "B",
                                  "Hq",
                                  "Tavrel出水量",
                                  "Hd",
                                  "消防栓口水压",
                                  "保护半径(m)"};
  if (withWidth) header.push_back("Tavrel间距(m)");
  return header;
}

std::vector<std::string> tableCells(const Calculation& c, bool withWidth) {
  const Entries& e = c.entries;
  std::vector<std::string> cells{e.hoseLength, e.material, e.hoseDiameter, e.nozzle, e.waterColumn};
  for (OutputMember member : kTableOutputs) cells.push_back((c.outputs.*member).value_or(""));
  if (withWidth) cells.push_back(c.outputs.spacingOut.value_or(c.outputs.message.value_or("")));
  return cells;
}

// Caption and value of every produced result, in the order printed.
std::vector<std::pair<std::string, std::string>> resultLines(const Calculation& c) {
  std::vector<std::pair<std::string, std::string>> lines;
  for (const OutputField& field : kOutputFields) {
    if (const auto& value = c.outputs.*field.member) lines.emplace_back(field.caption, *value);
  }
  lines.emplace_back(kHoseCoefficientCaption, c.hoseCoefficient);
  return lines;
}

// Left-aligned columns two blanks apart, measured in terminal columns; no trailing blanks.
}  // namespace

std::string alignedRows(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], displayWidth(row[i]));
    }
  }
  std::string out;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      out += row[i];
      if (i + 1 < row.size()) out.append(widths[i] - displayWidth(row[i]) + 2, ' ');
    }
    out += '\n';
  }
  return out;
}

namespace {

// The message names the entry and quotes its text; kept to one line that cannot steer the
// terminal, whatever the message holds.
std::string errorLine(const calc::CalcError& error) { return calc::oneLine(error.message) + "\n"; }

Json errorJson(const calc::CalcError& error) { return {{"error", errorObjectJson(error)}}; }

// The results as JSON numbers in plain units (m, MPa, l/s), each where its text exists and
// with the value the text shows: read back from the text ("21.86(mH2o)" gives 21.86), which is
// what calc::shownValues does at the cost of formatting every value again.
void writeValues(JsonWriter& json, const Calculation& c) {
  std::optional<calc::RunValues> shown;  // only for a value without its text
  json.open();
  for (const OutputField& field : kOutputFields) {
    if (!(c.values.*field.value)) continue;
    std::optional<double> value;
    if (const std::optional<std::string>& text = c.outputs.*field.member) {
      double read = 0;
      const char* end = text->data() + text->size();
      const auto [stop, ec] = std::from_chars(text->data(), end, read);
      if (ec == std::errc() && (stop == end || *stop == '(')) value = read;
    }
    if (!value) {
      if (!shown) shown = calc::shownValues(c.values);
      value = *shown.*field.value;
      if (!value) continue;
    }
    json.member(field.key, *value);
    if (field.value == &calc::RunValues::outletPressure) {
      // 1 m of water column = 0.01 MPa: the metres shown, four decimals keep their two.
      json.member("outletPressureMPa", calc::roundedTo(*value / 100, 4));
    }
  }
  json.close();
}

// A text as a JSON string, escaped as jsonText escapes the strings of a dump.
// What a byte starts, for the quick path of appendJsonString.
constexpr unsigned char kOtherByte = 0;   // the long way: escapes, two- and four-byte forms
constexpr unsigned char kPlainByte = 1;   // printable ASCII but '"' and '\\'
constexpr unsigned char kLeadOfAll = 2;   // a three-byte character, never escaped
constexpr unsigned char kLeadOfSome = 3;  // a three-byte character, a few of them escaped
constexpr auto kByteKind = [] {
  std::array<unsigned char, 256> kind{};
  for (int b = 0x20; b < 0x7F; ++b) kind[b] = kPlainByte;
  kind['"'] = kind['\\'] = kOtherByte;
  // E0 and ED allow narrower second bytes: the long way checks them.
  for (int b = 0xE1; b <= 0xEF; ++b) kind[b] = b == 0xED ? kOtherByte : kLeadOfAll;
  kind[0xE2] = kind[0xEF] = kLeadOfSome;
  return kind;
}();

void appendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t pos = 0;
  while (pos < text.size()) {
    // Printable ASCII and the well-formed three-byte characters that need no escape (the
    // Chinese and the punctuation of every message), the most of every text, are copied in
    // runs; E0 and ED, whose second bytes are narrower, take the long way.
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const last = begin + text.size();
    const auto* p = begin + pos;
    while (p < last) {
      const unsigned char kind = kByteKind[*p];
      if (kind == kPlainByte) {
        ++p;
        continue;
      }
      if (kind == kOtherByte || last - p < 3) break;
      const unsigned char b0 = p[0], b1 = p[1], b2 = p[2];
      if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) break;
      // U+200E/F, U+2028–U+202E, U+2066–U+2069 and U+FFFD are escaped.
      if (kind == kLeadOfSome &&
          ((b0 == 0xE2 && b1 == 0x80 && (b2 == 0x8E || b2 == 0x8F || (b2 >= 0xA8 && b2 <= 0xAE))) ||
           (b0 == 0xE2 && b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9) ||
           (b0 == 0xEF && b1 == 0xBF && b2 == 0xBD))) {
        break;
      }
      p += 3;
    }
    const auto end = static_cast<std::size_t>(p - begin);
    out.append(text.data() + pos, end - pos);
    if (end == text.size()) break;
    pos = end;
    const calc::DecodedChar ch = calc::decodeUtf8(text, pos);
    const char32_t c = ch.codePoint;
    const char* shortEscape = c == '"'    ? "\\\""
                              : c == '\\' ? "\\\\"
                              : c == '\b' ? "\\b"
                              : c == '\f' ? "\\f"
                              : c == '\n' ? "\\n"
                              : c == '\r' ? "\\r"
                              : c == '\t' ? "\\t"
                                          : nullptr;
    if (shortEscape) {
      out += shortEscape;
    } else if (!ch.valid || calc::isControlCharacter(c) || calc::isBidiControl(c) ||
               c == calc::kReplacementCharacter) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    } else {
      out.append(text, pos, ch.length);
    }
    pos += ch.length;
  }
  out += '"';
}

// A value that is a whole number of ten-thousandths below 10^7 of them (the rounded numbers
// of every row, 35.0, 0.35, 0.0097) written as the dump writes it, without its digit search:
// the fewest decimals that read back give the shortest form, and below 10^7 each such form
// was compared with the dump's, all of them. Nothing for any other value.
char* shortDecimal(char* out, double value) {
  static constexpr double kScale[] = {1, 10, 100, 1e3, 1e4};
  for (int decimals = 0; decimals <= 4; ++decimals) {
    const double scaled = std::round(value * kScale[decimals]);
    if (!(std::fabs(scaled) < 1e7)) return nullptr;
    if (scaled / kScale[decimals] != value) continue;
    char digits[16];
    const auto whole = static_cast<long>(std::fabs(scaled));
    char* end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
    const auto count = static_cast<int>(end - digits);
    if (std::signbit(value)) *out++ = '-';
    if (decimals == 0) {
      out = std::copy(digits, end, out);
      *out++ = '.';
      *out++ = '0';
      return out;
    }
    if (count <= decimals) {  // 0.0097: zeros after the point first
      *out++ = '0';
      *out++ = '.';
      out = std::fill_n(out, decimals - count, '0');
      return std::copy(digits, end, out);
    }
    out = std::copy(digits, end - decimals, out);
    *out++ = '.';
    return std::copy(end - decimals, end, out);
  }
  return nullptr;
}

}  // namespace

void JsonWriter::separate() {
  if (afterKey_) {
    afterKey_ = false;
  } else if (!first_) {
    out_ += ',';
  }
  first_ = false;
}

JsonWriter& JsonWriter::open() {
  separate();
  out_ += '{';
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::close() {
  out_ += '}';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::openArray() {
  separate();
  out_ += '[';
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::closeArray() {
  out_ += ']';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  // Member names are the program's own, plain ASCII that needs no escape; a key follows an
  // opening or a value, never a key. Written in one piece: a row has forty of them.
  char piece[64];
  char* p = piece;
  if (!first_) *p++ = ',';
  first_ = false;
  *p++ = '"';
  if (name.size() > sizeof piece - 4) {
    out_.append(piece, p).append(name).append("\":");
  } else {
    p = std::copy(name.begin(), name.end(), p);
    *p++ = '"';
    *p++ = ':';
    out_.append(piece, p);
  }
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  separate();
  appendJsonString(out_, text);
  return *this;
}

JsonWriter& JsonWriter::value(double number) {
  separate();
  if (!std::isfinite(number)) {
    out_ += "null";  // as a dump writes it
    return *this;
  }
  char buffer[64];
  if (char* end = shortDecimal(buffer, number)) {
    out_.append(buffer, end);
    return *this;
  }
  // The dump's own shortest form ("35.0", "0.35", "1e+21"), so both ways give one text.
  out_.append(buffer, nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, number));
  return *this;
}

std::string jsonText(const Json& value) {
  std::string dumped = value.dump(-1, ' ', false, Json::error_handler_t::replace);
  // The dump is valid UTF-8, so these byte sequences are the characters named; most lines
  // have none and are returned as they are.
  const auto lead = [&](std::size_t from) {
    for (; from < dumped.size(); ++from) {
      const auto b = static_cast<unsigned char>(dumped[from]);
      if (b == 0x7F || b == 0xC2 || b == 0xE2 || b == 0xEF) return from;
    }
    return std::string::npos;
  };
  std::size_t at = lead(0);
  if (at == std::string::npos) return dumped;
  std::string out;
  out.reserve(dumped.size() + 16);
  std::size_t done = 0;
  for (; at != std::string::npos; at = lead(at)) {
    const auto byte = [&](std::size_t k) {
      return at + k < dumped.size() ? static_cast<unsigned char>(dumped[at + k]) : 0u;
    };
    // The code point and its length in bytes, or nothing for a character kept as it is.
    std::pair<unsigned, std::size_t> escaped{0, 0};
    if (byte(0) == 0x7F) {
      escaped = {0x7F, 1};
    } else if (byte(0) == 0xC2 && byte(1) >= 0x80 && byte(1) <= 0x9F) {
      escaped = {byte(1), 2};
    } else if (byte(0) == 0xE2 && byte(1) == 0x80 &&
               (byte(2) == 0x8E || byte(2) == 0x8F || (byte(2) >= 0xA8 && byte(2) <= 0xAE))) {
      escaped = {0x2000 + (byte(2) - 0x80), 3};  // U+200E/F, U+2028/9, U+202A–E
    } else if (byte(0) == 0xE2 && byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9) {
      escaped = {0x2040 + (byte(2) - 0x80), 3};  // U+2066–9
    } else if (byte(0) == 0xEF && byte(1) == 0xBF && byte(2) == 0xBD) {
      escaped = {0xFFFD, 3};
    }
    const auto [code, length] = escaped;
    if (length == 0) {
      ++at;
      continue;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    out.append(dumped, done, at - done).append(escape);
    at += length;
    done = at;
  }
  return out.append(dumped, done);
}

std::string jsonLine(const Json& value) { return jsonText(value) + "\n"; }

void writeDesignJson(JsonWriter& json, const calc::DesignResult& d) {
  // Each number with the value the text forms show.
  json.open().member("governedBy", calc::governingName(d.governedBy));
  for (const calc::QuantityRow& q : calc::designQuantities()) {
    if (const auto value = calc::valueOf(d, q.id))
      json.member(q.name, calc::roundedAs(q.id, *value));
  }
  json.key("checks").openArray();
  for (const calc::DesignCheck& check : d.checks) {
    json.open()
        .member("id", check.id)
        .member("clause", check.clause)
        .member("verdict", calc::verdictName(check.verdict))
        .member("text", check.text)
        .close();
  }
  json.closeArray().close();
}

// Caption and value of each line of the design block, before the checks.
std::vector<std::vector<std::string>> designLines(const calc::DesignResult& d,
                                                  const DesignSettings& settings) {
  using Q = calc::Quantity;
  const auto m = [&d](Q q) { return calc::textWithUnit(q, *calc::valueOf(d, q)); };
  const std::string outlet = m(Q::OutletPressureMPa);
  const std::string required = m(Q::RequiredWaterColumn);
  std::vector<std::vector<std::string>> lines{
      {"场所类别", std::string(calc::occupancyText(settings.occupancy)) + "（充实水柱按 " +
                       required + " 计算，栓口动压 ≥ " + m(Q::MinPressureMPa) + "）"},
      {"水枪", std::to_string(settings.streams) + " 股充实水柱，每支水枪最小流量 " +
                   calc::numberToText(settings.minFlow) + " L/s（由表 3.5.2 折算）"},
      {"控制条件", std::string(calc::governingWords(d.governedBy))},
      {"栓口动压", m(Q::OutletPressure) + "（" + outlet + "）"},
      {"喷嘴压力", m(Q::NozzlePressure)},
      // Which flow sizes the pumps is the designer's call: this one is named by its pressure.
      {"计算出水量", "栓口动压 " + outlet + " 时单支水枪 " + m(Q::Flow)},
      {"水带水头损失", m(Q::HoseLoss)},
      {"实际充实水柱", m(Q::WaterColumn)},
      {"保护半径", m(Q::Radius) + "（充实水柱按 " + required + " 计算）"},
  };
  if (d.adoptedSpacing) {
    std::string spacing = m(Q::AdoptedSpacing);
    if (*d.adoptedSpacing < *d.spacing) spacing += "（计算 " + m(Q::Spacing) + "，取上限）";
    lines.push_back({"布置间距", spacing});
  }
  return lines;
}

namespace {

std::vector<std::vector<std::string>> checkLines(const calc::DesignResult& d) {
  std::vector<std::vector<std::string>> lines;
  for (const calc::DesignCheck& check : d.checks) {
    lines.push_back({check.clause, std::string(calc::verdictWords(check.verdict)), check.text});
  }
  return lines;
}

constexpr const char* kDesignHeading = "规范校核（GB 50974-2014）";

Printed failed(const calc::CalcError& error, Format format) {
  Printed printed;
  printed.status = kExitCalcFailed;
  if (format == Format::Json) {
    printed.out = jsonLine(errorJson(error));
  } else {
    printed.err = errorLine(error);
  }
  return printed;
}

// In the table the width is the same for every row and stands once beside the rows.
std::string calculationJson(const Calculation& c, const calc::DesignResult* design,
                            bool echoWidth = true) {
  std::string out;
  JsonWriter json(out);
  json.open();
  writeCalculationJson(json, c, design, echoWidth);
  json.close();
  return out;
}

}  // namespace

Json errorObjectJson(const calc::CalcError& error) {
  return {{"field", error.field}, {"text", error.text}, {"message", error.message}};
}

void writeCalculationJson(JsonWriter& json, const Calculation& c, const calc::DesignResult* design,
                          bool echoWidth) {
  json.key("inputs").open();
  for (const InputRow& row : inputRows()) {
    if (row.echo == nullptr || (!echoWidth && row.key == "width")) continue;
    if (const std::string* text = row.echo(c.entries)) json.member(row.key, *text);
  }
  json.member("hoseCoefficient", c.hoseCoefficient).close();

  json.key("outputs").open();
  for (const OutputField& field : kOutputFields) {
    if (const auto& value = c.outputs.*field.member) json.member(field.key, *value);
  }
  json.close().key("values");
  writeValues(json, c);
  if (design) writeDesignJson(json.key("design"), *design);
  if (c.outputs.message) json.member("message", *c.outputs.message);
}

Printed printCalculation(const Calculation& c, Format format, const Checked* checked) {
  if (c.outputs.error) return failed(*c.outputs.error, format);
  if (checked && !checked->result.ok()) return failed(checked->result.error(), format);
  const calc::DesignResult* design = checked ? &checked->result.value() : nullptr;

  Printed printed;
  const auto lines = resultLines(c);
  switch (format) {
    case Format::Text: {
      std::vector<std::vector<std::string>> rows;
      for (const auto& [caption, value] : lines) rows.push_back({caption, value});
      printed.out = alignedRows(rows);
      if (design) {
        printed.out += std::string("\n") + kDesignHeading + "\n" +
                       alignedRows(designLines(*design, checked->settings)) +
                       alignedRows(checkLines(*design));
      }
      break;
    }
    case Format::Csv:
      printed.out = std::string(kUtf8Bom);
      for (const auto& [caption, value] : lines) printed.out += csvRow({caption, value});
      if (design) {
        printed.out += csvRow({kDesignHeading});
        for (const auto& row : designLines(*design, checked->settings)) printed.out += csvRow(row);
        for (const auto& row : checkLines(*design)) printed.out += csvRow(row);
      }
      break;
    case Format::Json:
      printed.out = calculationJson(c, design) + "\n";
      break;
  }
  // JSON carries the warning in its object; the other forms keep standard output to results.
  if (c.outputs.message && format != Format::Json) printed.err = *c.outputs.message + "\n";
  return printed;
}

Printed printTable(const std::vector<Calculation>& rows, bool withWidth, Format format) {
  for (const Calculation& c : rows) {
    if (c.outputs.error) return failed(*c.outputs.error, format);
  }

  Printed printed;
  switch (format) {
    case Format::Text: {
      std::vector<std::vector<std::string>> cells{tableHeader(withWidth)};
      for (const Calculation& c : rows) cells.push_back(tableCells(c, withWidth));
      printed.out = alignedRows(cells);
      break;
    }
    case Format::Csv:
      printed.out = std::string(kUtf8Bom) + csvRow(tableHeader(withWidth));
      for (const Calculation& c : rows) printed.out += csvRow(tableCells(c, withWidth));
      break;
    case Format::Json:
      // The width once, then one row per line, each the object a single run prints without
      // the width, so rows can be compared with single runs line by line.
      printed.out = "{\"width\":" + jsonText(rows.empty() ? "" : rows.front().entries.width) +
                    ",\"rows\":[\n";
      for (std::size_t i = 0; i < rows.size(); ++i) {
        printed.out += calculationJson(rows[i], nullptr, false);
        printed.out += i + 1 < rows.size() ? ",\n" : "\n";
      }
      printed.out += "]}\n";
      break;
  }
  return printed;
}

}  // namespace cli
