#include "cli/system_command.h"

#include "calc/number_text.h"
#include "calc/utf8.h"
#include "cli/book_output.h"
#include "cli/csv.h"
#include "cli/report.h"
#include "files/project_file.h"
#include "files/safe_file.h"
#include "sheet/system_sheet.h"

namespace cli {
namespace {

using calc::formatFixed;

std::string f2(double v) { return formatFixed(v, 2); }
std::string orDash(const std::optional<double>& v) { return v ? f2(*v) : "—"; }

Printed failed(const calc::CalcError& error, Format format) {
  Printed printed;
  printed.status = kExitCalcFailed;
  if (format == Format::Json) {
    printed.out = jsonLine({{"error", errorObjectJson(error)}});
  } else {
    printed.err = calc::oneLine(error.message) + "\n";
  }
  return printed;
}

calc::DesignSettings settingsOf(const calc::DesignInputs& h) {
  calc::DesignSettings s;
  s.occupancy = h.occupancy;
  s.streams = h.streams;
  s.minFlow = h.minFlow;
  return s;
}

std::string holeText(const calc::SystemFloor& f) {
  if (!f.orifice) return "—";
  return formatFixed(f.orifice->holeDiameter, 0) + "（" + calc::holeDigits(*f.orifice) + "）" +
         (f.orifice->ok ? "" : "*");
}

std::string text(const calc::SystemInputs& in, const calc::SystemResult& r) {
  std::string out = "最不利消火栓（第 " + std::to_string(in.floors) + " 层）\n";
  out += alignedRows(designLines(r.design, settingsOf(in.hydrant)));

  std::vector<std::vector<std::string>> rows;
  if (in.riserCount > 1) {
    out += "\n各立管所需水头（最上层起火，干管起点至最不利点的损失 ΔH）\n";
    rows = {{"立管", "ΔH(m)", ""}};
    for (const calc::SystemRiser& x : r.risers) {
      rows.push_back({std::to_string(x.riser), f2(x.headLoss),
                      x.riser == r.mostUnfavourableRiser ? "最不利" : ""});
    }
    out += alignedRows(rows);
  }
  out += "\n最不利立管出流（" +
         (in.riserCount > 1 ? "第 " + std::to_string(r.mostUnfavourableRiser) + " 根立管，"
                            : std::string()) +
         std::to_string(r.streams) + " 支水枪）\n";
  rows = {{"楼层", "标高(m)", "栓口动压(m)", "流量(L/s)"}};
  for (const calc::SystemHydrant& h : r.hydrants) {
    rows.push_back({std::to_string(h.floor), f2(h.elevation), f2(h.outletPressure), f2(h.flow)});
  }
  out += alignedRows(rows);
  out += "立管流量 " + f2(r.riserFlow) + " L/s，其余 " + f2(r.otherFlow) +
         " L/s 由其他立管或干管取用\n";

  out += "\n管段\n";
  rows = {
      {"管段", "流量(L/s)", "内径(mm)", "流速(m/s)", "水力坡降", "长度(m)", "沿程(m)", "局部(m)"}};
  for (const calc::SystemSegment& s : r.segments) {
    rows.push_back({s.name, f2(s.flow), calc::numberToText(s.innerDiameter), f2(s.velocity),
                    formatFixed(s.gradient, 5), f2(s.length), f2(s.friction), f2(s.local)});
  }
  out += alignedRows(rows);

  out += "\n水泵\n";
  out += alignedRows({
      {"设计流量", f2(r.pump.flow) + " L/s"},
      {"计算扬程", f2(r.pump.head) + " m（沿程 " + f2(r.pump.friction) + " m，局部 " +
                       f2(r.pump.local) + " m，几何高差 " + f2(r.pump.lift) + " m）"},
      {"选用扬程",
       f2(r.pump.selectedHead) + " m（" + formatFixed(r.pump.selectedHead / 100, 3) + " MPa）"},
      {"零流量扬程", f2(r.pump.shutoffHead) + " m"},
      {"特性曲线", "H = " + formatFixed(r.pump.a, 2) + " − " + formatFixed(r.pump.b, 4) + "·Q^" +
                       formatFixed(r.pump.c, 4)},
      {"设计工况", f2(r.pump.dutyFlow) + " L/s，" + f2(r.pump.dutyHead) + " m"},
      {"系统工作压力",
       f2(r.workingPressure) + " m（" + formatFixed(r.workingPressure / 100, 3) + " MPa）"},
  });

  out += "\n设计工况（水泵按特性曲线，最不利立管最上层起火）\n";
  rows = {{"楼层", "栓口动压(m)", "流量(L/s)"}};
  for (const calc::SystemHydrant& h : r.designHydrants) {
    rows.push_back({std::to_string(h.floor), f2(h.outletPressure), f2(h.flow)});
  }
  out += alignedRows(rows);

  out += "\n各层压力（m）\n";
  rows = {{"楼层", "标高", "静压", "零流量压力", "动压", "减压", "孔板孔径(mm)", "减压后动压",
           "单栓动压"}};
  for (auto it = r.floors.rbegin(); it != r.floors.rend(); ++it) {
    const calc::SystemFloor& f = *it;
    rows.push_back({std::to_string(f.floor), f2(f.elevation), orDash(f.staticPressure),
                    f2(f.zeroFlowPressure), f2(f.dynamicPressure),
                    std::string(calc::reducingWords(f.reducing)), holeText(f),
                    f.orifice && f.orifice->ok ? f2(f.orifice->afterPressure) : "—",
                    f2(f.singleHydrantPressure) +
                        (in.riserCount > 1 ? "（" + std::to_string(f.singleHydrantRiser) + "）"
                                           : std::string())});
  }
  out += alignedRows(rows);
  out +=
      "动压：本层起火（上方各层已设孔板）时的栓口动压；减压后动压：设孔板后同一工况的栓口动压；"
      "单栓动压：仅本层一支消火栓出流时的栓口动压" +
      std::string(in.riserCount > 1 ? "（括号内为出现最大值的立管）" : "") + "。\n";
  out +=
      "孔板孔径：取整后的孔径（括号内为计算孔径）；* 小于第 10.3.1 条的下限，不应采用孔板，"
      "不列减压后动压。\n";

  out += "\n系统校核（GB 50974-2014）\n";
  rows.clear();
  for (const calc::DesignCheck& c : r.checks) {
    rows.push_back({c.clause, std::string(calc::verdictWords(c.verdict)), c.text});
  }
  out += alignedRows(rows);
  return out + bookText(r);
}

std::string csv(const calc::SystemResult& r) {
  std::string out(kUtf8Bom);
  out += csvRow({"楼层", "标高(m)", "静压(m)", "零流量压力(m)", "动压(m)", "减压", "计算孔径(mm)",
                 "孔板孔径(mm)", "孔径满足10.3.1", "减压后动压(m)", "单栓动压(m)"});
  for (const calc::SystemFloor& f : r.floors) {
    const bool plate = f.orifice.has_value();
    out += csvRow({std::to_string(f.floor), f2(f.elevation),
                   f.staticPressure ? f2(*f.staticPressure) : "", f2(f.zeroFlowPressure),
                   f2(f.dynamicPressure), std::string(calc::reducingName(f.reducing)),
                   plate ? calc::holeDigits(*f.orifice) : "",
                   plate ? formatFixed(f.orifice->holeDiameter, 0) : "",
                   plate ? (f.orifice->ok ? "yes" : "no") : "",
                   plate ? f2(f.orifice->afterPressure) : "", f2(f.singleHydrantPressure)});
  }
  return out + bookCsv(r);
}

std::string json(const calc::SystemResult& r) {
  Json system;
  system["pump"] = {{"flow", r.pump.flow},
                    {"head", r.pump.head},
                    {"selectedHead", r.pump.selectedHead},
                    {"headMPa", r.pump.selectedHead / 100},
                    {"shutoffHead", r.pump.shutoffHead},
                    {"curve", {{"a", r.pump.a}, {"b", r.pump.b}, {"c", r.pump.c}}},
                    {"designDuty", {{"flow", r.pump.dutyFlow}, {"head", r.pump.dutyHead}}}};
  system["mostUnfavourableRiser"] = r.mostUnfavourableRiser;
  system["risers"] = Json::array();
  for (const calc::SystemRiser& x : r.risers) {
    system["risers"].push_back({{"riser", x.riser}, {"headLoss", x.headLoss}});
  }
  system["riserFlow"] = r.riserFlow;
  system["designDuty"] = {{"hydrants", Json::array()}};
  for (const calc::SystemHydrant& h : r.designHydrants) {
    system["designDuty"]["hydrants"].push_back({{"riser", h.riser},
                                                {"floor", h.floor},
                                                {"outletPressure", h.outletPressure},
                                                {"flow", h.flow}});
  }
  system["hydrants"] = Json::array();
  for (const calc::SystemHydrant& h : r.hydrants) {
    system["hydrants"].push_back({{"riser", h.riser},
                                  {"floor", h.floor},
                                  {"elevation", h.elevation},
                                  {"outletPressure", h.outletPressure},
                                  {"flow", h.flow}});
  }
  system["segments"] = Json::array();
  for (const calc::SystemSegment& s : r.segments) {
    system["segments"].push_back({{"name", s.name},
                                  {"flow", s.flow},
                                  {"innerDiameter", s.innerDiameter},
                                  {"length", s.length},
                                  {"velocity", s.velocity},
                                  {"gradient", s.gradient},
                                  {"friction", s.friction},
                                  {"local", s.local}});
  }
  system["floors"] = Json::array();
  for (const calc::SystemFloor& f : r.floors) {
    Json floor = {{"floor", f.floor},
                  {"elevation", f.elevation},
                  {"staticPressure", nullptr},
                  {"zeroFlowPressure", f.zeroFlowPressure},
                  {"dynamicPressure", f.dynamicPressure},
                  {"reducing", calc::reducingName(f.reducing)},
                  {"orifice", nullptr},
                  {"singleHydrantPressure", f.singleHydrantPressure},
                  {"singleHydrantRiser", f.singleHydrantRiser}};
    if (f.staticPressure) floor["staticPressure"] = *f.staticPressure;
    if (f.orifice) {
      floor["orifice"] = {{"holeDiameterExact", f.orifice->holeDiameterExact},
                          {"holeDiameter", f.orifice->holeDiameter},
                          {"afterPressure", f.orifice->afterPressure},
                          {"ok", f.orifice->ok}};
    }
    system["floors"].push_back(std::move(floor));
  }
  system["streams"] = r.streams;
  system["workingPressure"] = r.workingPressure;
  system["checks"] = Json::array();
  for (const calc::DesignCheck& c : r.checks) {
    system["checks"].push_back({{"id", c.id},
                                {"clause", c.clause},
                                {"verdict", calc::verdictName(c.verdict)},
                                {"requirement", c.requirement},
                                {"value", c.value},
                                {"text", c.text}});
  }
  // "design" exactly as --check writes it; "system" with unrounded numbers.
  std::string out = "{\"design\":";
  JsonWriter design(out);
  writeDesignJson(design, r.design);
  out += ",\"system\":" + jsonText(system);
  if (r.book) out += ",\"book\":" + jsonText(bookJson(*r.book));
  return out + "}\n";
}

Printed printProject(const files::Project& project, Format format) {
  const calc::SystemInputs& in = project.inputs;
  const auto result = calc::calculateSystem(in);
  if (!result.ok()) return failed(result.error(), format);
  Printed printed;
  switch (format) {
    case Format::Text:
      printed.out = text(in, result.value());
      break;
    case Format::Csv:
      printed.out = csv(result.value());
      break;
    case Format::Json:
      printed.out = json(result.value());
      break;
  }
  return printed;
}

}  // namespace

Printed printSystem(const std::string& source, const std::string& fileName, Format format) {
  const auto project = files::readProject(source, fileName);
  if (!project.ok()) return failed(project.error(), format);
  return printProject(project.value(), format);
}

Printed runSystem(const std::string& path, Format format, const ReportOptions& report) {
  const auto project = files::loadProject(path);
  if (!project.ok()) return failed(project.error(), format);
  if (!report.path) return printProject(project.value(), format);

  sheet::SheetRequest request;
  request.title = calc::overlaid(project.value().title, report.title);
  request.date = report.date.value_or(files::todayText());
  return deliverSheet(*report.path, sheet::makeSystemSheet(project.value().inputs, request));
}

}  // namespace cli
