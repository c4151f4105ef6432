#include "cli/output.h"

#include <algorithm>
#include <optional>

#include "cli/csv.h"
#include "cli/json.h"
#include "cli/utf8.h"

namespace cli {

namespace {

using OutputMember = std::optional<std::string> calc::RunOutputs::*;

struct OutputField {
  const char* caption;  // the caption of the result field in the window
  const char* key;      // the run's output field name without "Out"
  OutputMember member;
};

// The window's visible results first, then the hidden ones, each under its caption.
constexpr OutputField kOutputFields[] = {
    {"消防栓口水压：", "outletPressure", &calc::RunOutputs::outletPressureOut},
    {"Tavrel出水量：", "flow", &calc::RunOutputs::flowOut},
    {"保护半径(m)", "radius", &calc::RunOutputs::radiusOut},
    {"Tavrel间距(m)", "spacing", &calc::RunOutputs::spacingOut},
    {"充实水柱长度：", "waterColumn", &calc::RunOutputs::waterColumnOut},
    {"fai", "phi", &calc::RunOutputs::phiOut},
    {"af", "alpha", &calc::RunOutputs::alphaOut},
    {"B", "flowCoefficient", &calc::RunOutputs::flowCoefficientOut},
    {"Hq", "nozzlePressure", &calc::RunOutputs::nozzlePressureOut},
    {"Hd", "hoseLoss", &calc::RunOutputs::hoseLossOut},
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

// The message names the entry and quotes its text; kept to one line that cannot steer the
// terminal, whatever the message holds.
std::string errorLine(const calc::CalcError& error) { return calc::oneLine(error.message) + "\n"; }

std::string errorJson(const calc::CalcError& error) {
  const std::string inner = JsonObject()
                                .add("field", error.field)
                                .add("text", error.text)
                                .add("message", error.message)
                                .str();
  return JsonObject().addRaw("error", inner).str();
}

// In the table the width is the same for every row and stands once beside the rows.
std::string calculationJson(const Calculation& c, bool echoWidth = true) {
  const Entries& e = c.entries;
  JsonObject inputs;
  inputs.add("hoseLength", e.hoseLength)
      .add("material", e.material)
      .add("hoseDiameter", e.hoseDiameter)
      .add("nozzle", e.nozzle)
      .add("waterColumn", e.waterColumn);
  if (e.flow) inputs.add("flow", *e.flow);
  if (echoWidth) inputs.add("width", e.width);
  inputs.add("hoseCoefficient", c.hoseCoefficient);

  JsonObject outputs;
  for (const OutputField& field : kOutputFields) {
    if (const auto& value = c.outputs.*field.member) outputs.add(field.key, *value);
  }

  JsonObject object;
  object.addRaw("inputs", inputs.str()).addRaw("outputs", outputs.str());
  if (c.outputs.message) object.add("message", *c.outputs.message);
  return object.str();
}

Printed failed(const calc::CalcError& error, Format format) {
  Printed printed;
  printed.status = kExitCalcFailed;
  if (format == Format::Json) {
    printed.out = errorJson(error) + "\n";
  } else {
    printed.err = errorLine(error);
  }
  return printed;
}

}  // namespace

Printed printCalculation(const Calculation& c, Format format) {
  if (c.outputs.error) return failed(*c.outputs.error, format);

  Printed printed;
  const auto lines = resultLines(c);
  switch (format) {
    case Format::Text: {
      std::vector<std::vector<std::string>> rows;
      for (const auto& [caption, value] : lines) rows.push_back({caption, value});
      printed.out = alignedRows(rows);
      break;
    }
    case Format::Csv:
      printed.out = std::string(kUtf8Bom);
      for (const auto& [caption, value] : lines) printed.out += csvRow({caption, value});
      break;
    case Format::Json:
      printed.out = calculationJson(c) + "\n";
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
      printed.out = "{\"width\":" + jsonString(rows.empty() ? "" : rows.front().entries.width) +
                    ",\"rows\":[\n";
      for (std::size_t i = 0; i < rows.size(); ++i) {
        printed.out += calculationJson(rows[i], false);
        printed.out += i + 1 < rows.size() ? ",\n" : "\n";
      }
      printed.out += "]}\n";
      break;
  }
  return printed;
}

}  // namespace cli
