#include "cli/batch.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "calc/number_text.h"
#include "calc/run.h"
#include "calc/run_errors.h"
#include "calc/utf8.h"
#include "cli/csv.h"
#include "cli/inputs.h"
#include "cli/write_output.h"

namespace cli {

namespace {

// The batch's columns: the rows of the table of inputs that have a key.
const std::vector<const InputRow*>& columnRows() {
  static const std::vector<const InputRow*> rows = [] {
    std::vector<const InputRow*> keyed;
    for (const InputRow& row : inputRows()) {
      if (!row.key.empty()) keyed.push_back(&row);
    }
    return keyed;
  }();
  return rows;
}

// A header cell without surrounding blanks and trailing colons, as a caption is written
// beside its box ("水龙带长度：").
std::string_view bareCaption(std::string_view cell) {
  static constexpr std::string_view kTrailing[] = {"：", ":", " ", "\t"};
  bool trimmed = true;
  while (trimmed) {
    trimmed = false;
    for (std::string_view t : kTrailing) {
      if (cell.ends_with(t)) {
        cell.remove_suffix(t.size());
        trimmed = true;
      }
    }
  }
  while (cell.starts_with(' ') || cell.starts_with('\t')) cell.remove_prefix(1);
  return cell;
}

// The caption with its unit dropped: "水枪喷嘴口径(mm)" is also accepted as "水枪喷嘴口径".
std::string_view withoutUnit(std::string_view caption) {
  const std::size_t open = caption.rfind('(');
  return open == std::string_view::npos ? caption : caption.substr(0, open);
}

// The column's index in columnRows().
std::optional<std::size_t> columnNamed(std::string_view cell) {
  const std::string_view name = bareCaption(cell);
  const auto& rows = columnRows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const InputRow& c = *rows[i];
    if (name == c.key || name == c.caption || name == withoutUnit(c.caption)) return i;
  }
  return std::nullopt;
}

struct Row {
  std::string id;
  std::optional<Calculation> calculation;
  std::optional<calc::Result<calc::DesignResult>> design;
  std::optional<calc::CalcError> error;  // why nothing could be calculated
};

// A byte-order mark is invisible; one left inside a cell (files pasted together) would make
// two equal-looking ids differ.
std::string withoutBoms(std::string_view cell) {
  std::string out;
  for (std::size_t at; (at = cell.find(kUtf8Bom)) != std::string_view::npos;) {
    out.append(cell.substr(0, at));
    cell.remove_prefix(at + kUtf8Bom.size());
  }
  out.append(cell);
  return out;
}

// Sets one input from its cell; an empty cell keeps the command line's value.
std::optional<calc::CalcError> applyCell(const InputRow& column, const std::string& cell,
                                         Entries& e, DesignSettings& s, std::string& id) {
  if (cell.empty()) return std::nullopt;
  if (column.kind == InputKind::Id) {
    id = withoutBoms(cell);
    return std::nullopt;
  }
  Reading reading{e, s, nullptr, column.key, true};
  if (auto reason = column.apply(reading, cell)) {
    return calc::CalcError{std::string(column.caption), cell, std::move(*reason)};
  }
  return std::nullopt;
}

constexpr std::size_t kMaxBrokenIdChars = 64;

// "第 3 行" or, for a record over several lines, "第 3–5 行".
std::string linesText(const CsvReader& reader) {
  std::string text = "第 " + std::to_string(reader.firstLine());
  if (reader.lastLine() > reader.firstLine()) text += "–" + std::to_string(reader.lastLine());
  return text + " 行";
}

Row calculateRow(const std::vector<std::string>& cells, const std::string& problem,
                 const CsvReader& reader, const std::vector<const InputRow*>& columns,
                 const Options& options, std::size_t number) {
  Row row;
  row.id = std::to_string(number);
  Entries entries = options.entries;
  DesignSettings settings = options.design;
  for (std::size_t i = 0; i < cells.size() && i < columns.size(); ++i) {
    auto error = applyCell(*columns[i], cells[i], entries, settings, row.id);
    if (error && !row.error) row.error = std::move(error);
  }
  // What the reader found wins: the cells of a broken record are not what was meant. Its
  // id is shown shortened, enough to find the record, never a megabyte of it.
  if (!problem.empty()) row.id = calc::oneLine(row.id, kMaxBrokenIdChars);
  if (!problem.empty() || cells.size() != columns.size()) {
    const std::string what = !problem.empty()
                                 ? problem
                                 : "该行有 " + std::to_string(cells.size()) + " 个字段，表头有 " +
                                       std::to_string(columns.size()) + " 列";
    row.error = calc::CalcError{"CSV", "", linesText(reader) + "无法读取：" + what + "。"};
    return row;
  }
  if (row.error) return row;
  Calculation calculation = calculate(entries);
  if (calculation.outputs.error) {
    row.error = *calculation.outputs.error;
    return row;
  }
  // The CSV shows verdicts only; the sentences are most of a check's work.
  auto design = checkCalculation(calculation, settings, options.format == Format::Json);
  if (!design.ok()) {
    row.error = design.error();
    return row;
  }
  row.calculation = std::move(calculation);
  row.design = std::move(design);
  return row;
}

// The design point's columns after the id; then one verdict column per check and "error".
constexpr std::array<std::string_view, 10> kPointColumns{
    "governedBy",  "outletPressure", "outletPressureMPa", "nozzlePressure", "flow", "hoseLoss",
    "waterColumn", "radius",         "spacing",           "adoptedSpacing"};
// id, the design point, one verdict per check, error.
const std::size_t kOutputColumns = 1 + kPointColumns.size() + calc::checkIds().size() + 1;

std::vector<std::string> csvHeader() {
  std::vector<std::string> header{"id"};
  for (std::string_view name : kPointColumns) header.emplace_back(name);
  for (std::string_view id : calc::checkIds()) header.push_back(std::string(id) + "Check");
  header.push_back("error");
  return header;
}

std::vector<std::string> csvCells(const Row& row) {
  std::vector<std::string> cells{csvTextCell(row.id)};
  cells.reserve(kOutputColumns);
  if (row.error) {
    cells.resize(kOutputColumns - 1);
    cells.push_back(csvTextCell(row.error->message));
    return cells;
  }
  const calc::DesignResult& d = row.design->value();
  const auto fixed = [](double v, int decimals) { return calc::formatFixed(v, decimals); };
  cells.insert(cells.end(),
               {std::string(calc::governingName(d.governedBy)), fixed(d.design.outletPressure, 2),
                fixed(calc::toMPa(d.design.outletPressure), 3), fixed(d.design.nozzlePressure, 2),
                fixed(d.design.flow, 2), fixed(d.design.hoseLoss, 2),
                fixed(d.design.waterColumn, 1), fixed(d.radius, 2), calc::formatFixed(d.spacing, 2),
                calc::formatFixed(d.adoptedSpacing, 2)});
  for (std::string_view id : calc::checkIds()) {
    std::string verdict;
    for (const calc::DesignCheck& check : d.checks) {
      if (check.id == id) verdict = calc::verdictName(check.verdict);
    }
    cells.push_back(verdict);
  }
  cells.push_back("");
  return cells;
}

// Written straight out, no document built: JSON lines run at the pace of the CSV.
std::string rowJson(const Row& row) {
  std::string out;
  out.reserve(4096);  // a checked row is about 2 kB
  JsonWriter json(out);
  json.open().member("id", row.id);
  if (row.error) {
    json.key("error")
        .open()
        .member("field", row.error->field)
        .member("text", row.error->text)
        .member("message", row.error->message)
        .close();
  } else {
    writeCalculationJson(json, *row.calculation, &row.design->value());
  }
  json.close();
  return out += '\n';
}

}  // namespace

int runBatch(CsvReader& reader, const Options& options,
             const std::function<bool(std::string_view)>& write, std::string& err) {
  std::vector<std::string> cells;
  std::string problem;
  // A header names each column once, so it has no more cells than there are columns.
  const auto& known = columnRows();
  reader.setMaxFields(known.size());
  if (!reader.next(cells, problem)) {
    err = reader.failed() ? "读取批量文件时出错。\n" : "批量文件为空：第一行应为表头。\n";
    return kExitCalcFailed;
  }
  if (!problem.empty()) {
    err = "批量文件的表头（" + linesText(reader) + "）无法读取：" + problem + "。\n";
    return kExitCalcFailed;
  }
  std::vector<const InputRow*> columns;
  std::vector<bool> seen(known.size(), false);
  for (const std::string& cell : cells) {
    const auto column = columnNamed(cell);
    std::string complaint;
    if (!column) {
      complaint = "表头中的列" + calc::errors::quoted(cell) + "无法识别";
    } else if (seen[*column]) {
      complaint = "表头中的列" + calc::errors::quoted(cell) + "重复";
    }
    if (!complaint.empty()) {
      std::string keys;
      for (const InputRow* c : known) {
        if (!keys.empty()) keys += "、";
        keys += c->key;
      }
      err = complaint + "，可用的列：" + keys + "，或窗口中的标题。\n";
      return kExitCalcFailed;
    }
    seen[*column] = true;
    columns.push_back(known[*column]);
  }

  int status = kExitOk;
  const bool json = options.format == Format::Json;
  if (!json && !write(std::string(kUtf8Bom) + csvRow(csvHeader()))) return kExitWriteFailed;
  reader.setMaxFields(columns.size());
  for (std::size_t number = 1; reader.next(cells, problem); ++number) {
    const Row row = calculateRow(cells, problem, reader, columns, options, number);
    if (row.error) status = kExitCalcFailed;
    if (!write(json ? rowJson(row) : csvRow(csvCells(row)))) return kExitWriteFailed;
  }
  if (reader.failed()) {
    err = "读取批量文件时出错，其后的行未计算。\n";
    return kExitCalcFailed;
  }
  return status;
}

Printed runBatch(std::string_view csv, const Options& options) {
  Printed printed;
  CsvReader reader(csv);
  printed.status = runBatch(
      reader, options,
      [&](std::string_view row) {
        printed.out += row;
        return true;
      },
      printed.err);
  return printed;
}

}  // namespace cli
