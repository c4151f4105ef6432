#include "sheet/calc_sheet.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "calc/hydraulics.h"
#include "calc/utf8.h"

namespace sheet {
namespace {

using calc::formatFixed;

#ifndef HYDRANT_VERSION
#define HYDRANT_VERSION "dev"
#endif
constexpr std::string_view kProgram = "hydrant-calc " HYDRANT_VERSION;

// Page, tables and formulas; printed on A4 and readable on screen. The serif CJK faces
// come first because plan-review sheets are set in 宋体.
constexpr std::string_view kStyle = R"(
@page { size: A4; margin: 12mm 16mm 12mm 18mm;
  @top-left { content: "室内消火栓水力计算书"; font-size: 8pt; color: #444; }
  @bottom-center { content: "第 " counter(page) " 页 共 " counter(pages) " 页"; font-size: 8pt; } }
* { box-sizing: border-box; }
body { font-family: "SimSun", "宋体", "Songti SC", "Noto Serif CJK SC", "Source Han Serif SC", serif;
  font-size: 10pt; line-height: 1.35; color: #000; margin: 0 auto; max-width: 176mm; }
h1 { font-family: "SimHei", "黑体", "Noto Sans CJK SC", sans-serif; font-size: 17pt;
  text-align: center; letter-spacing: 2pt; margin: 0 0 8pt; }
h2 { font-family: "SimHei", "黑体", "Noto Sans CJK SC", sans-serif; font-size: 11.5pt;
  margin: 7pt 0 2pt; break-after: avoid; page-break-after: avoid; }
p { margin: 2pt 0; }
table { border-collapse: collapse; width: 100%; margin: 2pt 0; }
th, td { border: 0.6pt solid #000; padding: 1pt 4pt; vertical-align: middle; text-align: left; }
th { background: #eee; font-weight: bold; text-align: center; }
tr { break-inside: avoid; page-break-inside: avoid; }
tbody.k3 { break-inside: avoid; page-break-inside: avoid; }
p.lead { break-after: avoid; page-break-after: avoid; }
td.n, th.n { text-align: right; white-space: nowrap; }
td.c { text-align: center; white-space: nowrap; }
tr > td:first-child { white-space: nowrap; }
td.k { background: #f6f6f6; white-space: nowrap; width: 19%; }
.f { font-family: "Times New Roman", "DejaVu Serif", "Noto Serif CJK SC", serif; white-space: nowrap; }
.f i { font-style: italic; }
.fr { display: inline-block; vertical-align: middle; text-align: center; margin: 0 1pt; }
.fr > span { display: block; padding: 0 2pt; line-height: 1.2; }
.fr > span:first-child { border-bottom: 0.6pt solid #000; }
.rt { border-top: 0.6pt solid #000; padding: 0 1pt; }
.fail { font-weight: bold; }
.note, .advice { font-style: italic; }
.gov { font-weight: bold; }
.small { font-size: 9pt; }
table.steps { table-layout: fixed; }
table.steps td .f, table.steps tr > td:first-child { white-space: normal; }
table.steps td.n .f { white-space: nowrap; }
.keep { break-inside: avoid; page-break-inside: avoid; }
table.title td { padding: 2.5pt 4pt; }
td.sign { height: 18pt; }
svg { display: block; margin: 2pt auto; }
svg text { font-family: "SimSun", "宋体", "Noto Serif CJK SC", serif; }
.fig { text-align: center; }
.foot { font-size: 9pt; color: #444; margin-top: 4pt; border-top: 0.6pt solid #888; padding-top: 2pt; }
)";

void appendEscaped(std::string& out, std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const calc::DecodedChar c = calc::decodeUtf8(text, pos);
    switch (c.codePoint) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        if (c.valid && !calc::isControlCharacter(c.codePoint)) {
          out.append(text.substr(pos, c.length));
        } else {
          calc::appendUtf8(out, c.valid ? U' ' : calc::kReplacementCharacter);
        }
    }
    pos += c.length;
  }
}

// Typesetting of the formulas: each function returns HTML.
std::string frac(const std::string& num, const std::string& den) {
  return "<span class=\"fr\"><span>" + num + "</span><span>" + den + "</span></span>";
}
std::string root(const std::string& x) { return "√<span class=\"rt\">" + x + "</span>"; }
std::string f(const std::string& html) { return "<span class=\"f\">" + html + "</span>"; }

// The quantities' symbols.
const std::string kPhi = "<i>φ</i>";
const std::string kAlpha = "<i>α</i><sub>f</sub>";
const std::string kB = "<i>B</i>";
const std::string kHq = "<i>H</i><sub>q</sub>";
const std::string kQ = "<i>q</i><sub>xh</sub>";
const std::string kAz = "<i>A</i><sub>z</sub>";
const std::string kLd = "<i>L</i><sub>d</sub>";
const std::string kHd = "<i>h</i><sub>d</sub>";
const std::string kHxh = "<i>H</i><sub>xh</sub>";
const std::string kHk = "<i>H</i><sub>k</sub>";
const std::string kSk = "<i>S</i><sub>k</sub>";
const std::string kD = "<i>d</i>";
const std::string kR = "<i>R</i>";
const std::string kS = "<i>S</i>";
const std::string kBw = "<i>b</i>";

class Html {
 public:
  Html& raw(std::string_view html) {
    out_ += html;
    return *this;
  }
  Html& text(std::string_view text) {
    appendEscaped(out_, text);
    return *this;
  }
  const std::string& str() const { return out_; }

 private:
  std::string out_;
};

struct Step {
  std::string name;     // what the quantity is, with its symbol
  std::string formula;  // HTML
  std::string numbers;  // HTML: the formula with the numbers put in
  std::string result;   // HTML: value and unit
};

void stepTable(Html& h, const std::vector<Step>& steps) {
  h.raw(
      "<table class=\"steps\"><thead><tr><th style=\"width:21%\">计算项</th>"
      "<th style=\"width:28%\">计算公式</th><th>代入数值</th><th style=\"width:17%\">结果</th>"
      "</tr></thead>\n");
  for (const Step& s : steps) {
    h.raw("<tr><td>").raw(s.name).raw("</td><td>").raw(f(s.formula)).raw("</td><td>");
    h.raw(f(s.numbers)).raw("</td><td class=\"n\">").raw(f(s.result)).raw("</td></tr>\n");
  }
  h.raw("</table>\n");
}

std::string esc(std::string_view text) {
  std::string out;
  appendEscaped(out, text);
  return out;
}

// Head in metres of water column.
const std::string kHead = " mH<sub>2</sub>O";

// φ and α_f as the sheet prints them.
struct Coefficients {
  std::string phi;
  std::string alpha;
};

// φ and α_f with the digits that make the substitution H_q = α_f S_k / (1 − φ α_f S_k) give
// the printed H_q to its last digit (`nozzlePressure`, when given): 5 and 4 decimals as a
// rule, more for a long column from a small nozzle, where the denominator is small.
Coefficients coefficients(const calc::Calculation& c, double waterColumn,
                          const std::optional<std::string>& nozzlePressure = std::nullopt) {
  const double phi = c.values.phi.value_or(0);
  const double alpha = calc::waterColumnCoefficient(waterColumn);
  Coefficients shown;
  for (int more = 0; more < 4; ++more) {
    shown = {formatFixed(phi, 5 + more), formatFixed(alpha, 4 + more)};
    if (!nozzlePressure) break;
    const double p = calc::parseNumber(shown.phi).value_or(0);
    const double a = calc::parseNumber(shown.alpha).value_or(0);
    if (formatFixed(a * waterColumn / (1 - p * a * waterColumn), 2) == *nozzlePressure) break;
  }
  return shown;
}

// The steps every direction shares at its start: φ and B depend on the nozzle alone.
Step phiStep(const std::string& phi, const std::string& d) {
  return {"喷嘴阻力系数 " + kPhi,
          kPhi + " = " + frac("0.25", kD + " + (0.1" + kD + ")<sup>3</sup>"),
          "= " + frac("0.25", d + " + (0.1×" + d + ")<sup>3</sup>"), phi};
}
Step bStep(const std::string& b, const std::string& d) {
  return {"水枪水流特性系数 " + kB, kB + " = (0.003477 " + kD + "<sup>2</sup>)<sup>2</sup>",
          "= (0.003477×" + d + "<sup>2</sup>)<sup>2</sup>", b};
}
Step hoseStep(const calc::Calculation& c) {
  return {"水带比阻 " + kAz, "查水带比阻表",
          esc(c.entries.material) + "，DN" + esc(c.entries.hoseDiameter), esc(c.hoseCoefficient)};
}
// The radius from the water column as entered; the design section gives the one of 10.2.1.
Step radiusStep(const calc::Calculation& c) {
  return {"保护半径 " + kR + "（按输入 " + kSk + "）", kR + " = 0.8 " + kLd + " + 0.71 " + kSk,
          "= 0.8×" + esc(c.entries.hoseLength) + " + 0.71×" + esc(c.entries.waterColumn),
          calc::shown::radius(c.values.radius.value_or(0)) + " m"};
}
// The spacing, or the reason there is none, for an entered width: the window's text for
// two streams, the design check's for one (it covers twice the distance).
std::optional<Step> spacingStep(const calc::Calculation& c, const calc::DesignInputs& in,
                                const calc::DesignResult& design) {
  if (c.entries.width.empty()) return std::nullopt;
  const std::string r = calc::shown::radius(c.values.radius.value_or(0));
  const std::string b = esc(c.entries.width);
  const std::string two = in.streams == 1 ? "2" : "";
  const std::string formula =
      kS + " = " + two + root(kR + "<sup>2</sup> − " + kBw + "<sup>2</sup>");
  if (!c.values.spacing) {
    return Step{"消火栓间距 " + kS, formula, kBw + " = " + b + " m &gt; " + kR + " = " + r + " m",
                "单排不能布置"};
  }
  const double spacing = in.streams == 1 && design.spacing ? *design.spacing : *c.values.spacing;
  return Step{"消火栓间距 " + kS, formula,
              "= " + two + root(r + "<sup>2</sup> − " + b + "<sup>2</sup>"),
              calc::shown::spacing(spacing) + " m"};
}

// `hxh` as shown, rounded to 0.01 m; its MPa are taken from that so that the two agree.
Step outletStep(const std::string& hq, const std::string& hd, double hxh) {
  return {"栓口所需压力 " + kHxh, kHxh + " = " + kHq + " + " + kHd + " + " + kHk,
          "= " + hq + " + " + hd + " + 2",
          calc::shown::outletPressure(hxh) + kHead + "<br>" + formatFixed(calc::toMPa(hxh), 3) +
              " MPa"};
}

Step hoseLossStep(const calc::Calculation& c, const std::string& q, const std::string& hd) {
  return {
      "水带水头损失 " + kHd, kHd + " = " + kAz + " " + kLd + " " + kQ + "<sup>2</sup>",
      "= " + esc(c.hoseCoefficient) + "×" + esc(c.entries.hoseLength) + "×" + q + "<sup>2</sup>",
      hd + kHead};
}

// 计算过程 of the window's direction: the flow from the water column.
std::vector<Step> waterColumnSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                                   const calc::DesignResult& design) {
  const calc::RunValues v = calc::shownValues(c.values);
  const std::string d = esc(c.entries.nozzle), sk = esc(c.entries.waterColumn);
  const std::string hq = calc::shown::nozzlePressure(*c.values.nozzlePressure);
  const Coefficients k = coefficients(c, in.waterColumn, hq);
  const std::string phi = k.phi, alpha = k.alpha;
  const std::string b = calc::shown::flowCoefficient(*c.values.flowCoefficient);
  const std::string q = calc::shown::flow(*c.values.flow);
  const std::string hd = calc::shown::hoseLoss(*c.values.hoseLoss);
  std::vector<Step> steps{
      phiStep(phi, d),
      {"实验系数 " + kAlpha, kAlpha + " = 1.19 + 80(0.01 " + kSk + ")<sup>4</sup>",
       "= 1.19 + 80×(0.01×" + sk + ")<sup>4</sup>", alpha},
      bStep(b, d),
      {"水枪喷嘴压力 " + kHq,
       kHq + " = " + frac(kAlpha + " " + kSk, "1 − " + kPhi + " " + kAlpha + " " + kSk),
       "= " + frac(alpha + "×" + sk, "1 − " + phi + "×" + alpha + "×" + sk), hq + kHead},
      {"消火栓出水量 " + kQ, kQ + " = " + root(kB + " " + kHq), "= " + root(b + "×" + hq),
       q + " L/s"},
      hoseStep(c),
      hoseLossStep(c, q, hd),
      outletStep(hq, hd, *v.outletPressure),
      radiusStep(c),
  };
  if (auto s = spacingStep(c, in, design)) steps.push_back(*s);
  return steps;
}

// 计算过程 of the flow-given direction: the water column the given flow reaches, then the
// outlet pressure for that flow.
std::vector<Step> flowSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                            const calc::DesignResult& design) {
  const std::string d = esc(c.entries.nozzle);
  // The column the flow reaches, solved as the design check solves it, so that §4 to §7 show
  // one S_k; α_f is taken at it, with the digits that make the substitution give it.
  const std::string sk = calc::shownPoint(design.design).waterColumn;
  const double waterColumn = design.design.waterColumn;
  const std::string b = calc::shown::flowCoefficient(*c.values.flowCoefficient);
  const std::string hq = calc::shown::nozzlePressure(*c.values.nozzlePressure);
  const double hqShown = calc::parseNumber(hq).value_or(0);
  Coefficients k;
  for (int more = 0; more < 4; ++more) {
    k = {formatFixed(c.values.phi.value_or(0), 5 + more),
         formatFixed(calc::waterColumnCoefficient(waterColumn), 4 + more)};
    const double p = calc::parseNumber(k.phi).value_or(0);
    const double a = calc::parseNumber(k.alpha).value_or(0);
    if (formatFixed(hqShown / (a * (1 + p * hqShown)), 1) == sk) break;
  }
  const std::string phi = k.phi, alpha = k.alpha;
  const std::string q = calc::shown::flow(*c.values.flow);
  // The run gives no hose loss and outlet pressure in this direction; they are the design
  // check's for the given flow, so the two sections agree.
  const std::string hd = calc::shownPoint(design.design).hoseLoss;
  std::vector<Step> steps{
      phiStep(k.phi, d),
      bStep(b, d),
      {"水枪喷嘴压力 " + kHq, kHq + " = " + frac(kQ + "<sup>2</sup>", kB),
       "= " + frac(q + "<sup>2</sup>", b), hq + kHead},
      {"实验系数 " + kAlpha, kAlpha + " = 1.19 + 80(0.01 " + kSk + ")<sup>4</sup>",
       "按 " + kSk + " = " + sk + " m", alpha},
      {"充实水柱长度 " + kSk,
       kSk + " = " + frac(kHq, kAlpha + "(1 + " + kPhi + " " + kHq + ")") + "，迭代求解",
       "= " + frac(hq, alpha + "×(1 + " + phi + "×" + hq + ")"), sk + " m"},
      hoseStep(c),
      hoseLossStep(c, q, hd),
      outletStep(hq, hd, calc::roundedPoint(design.design).outletPressure),
      radiusStep(c),
  };
  if (auto s = spacingStep(c, in, design)) steps.push_back(*s);
  return steps;
}

// What the textbook table's rounded B would change in H_xh, for the nozzles it lists; empty
// for others and in the pressure-given direction.
std::string tableBNote(const calc::Calculation& c, const calc::DesignInputs& in) {
  double table = 0;
  for (const auto& [nozzle, b] : {std::pair{13.0, 0.346}, {16.0, 0.793}, {19.0, 1.577}}) {
    if (in.nozzle == nozzle) table = b;
  }
  const double b = c.values.flowCoefficient.value_or(0);
  if (table == 0 || !(b > 0) || in.pressureMPa) return {};
  // Water column given: H_q fixed, h_d = A_z·L_d·B·H_q; flow given: H_q = q²/B.
  const double hose = in.hoseCoefficient * in.hoseLength;
  const double change = c.entries.flow ? *c.values.flow * *c.values.flow * (1 / table - 1 / b)
                                       : hose * c.values.nozzlePressure.value_or(0) * (table - b);
  const std::string size = formatFixed(std::abs(change), 2);
  return kB + " 按公式计算为 " + calc::shown::flowCoefficient(b) + "；若取书中表列取整值 " +
         calc::numberToText(table) + "，" + f(kHxh) +
         (size == "0.00" ? " 相差不到 0.01 m。" : (change > 0 ? " 大 " : " 小 ") + size + " m。");
}

// 计算过程 of the pressure-given direction: what a given outlet pressure delivers. The
// numbers are the design check's, rounded as the command line shows them.
std::vector<Step> pressureSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                                const calc::DesignResult& design) {
  const calc::ShownPoint p = calc::shownPoint(design.design);
  const std::string d = esc(c.entries.nozzle);
  const std::string b = calc::shown::flowCoefficient(*c.values.flowCoefficient);
  const std::string pressure = p.outletPressure, hq = p.nozzlePressure, q = p.flow;
  const std::string hd = p.hoseLoss;
  const std::string az = esc(c.hoseCoefficient), ld = esc(c.entries.hoseLength);
  const Coefficients k = coefficients(c, design.design.waterColumn);
  const std::string alpha = k.alpha;
  std::vector<Step> steps{
      phiStep(k.phi, d),
      bStep(b, d),
      hoseStep(c),
      {"给定栓口压力 " + kHxh, kHxh + " = 100 <i>p</i>",
       "= 100×" + esc(calc::numberToText(*in.pressureMPa)), pressure + kHead},
      {"水枪喷嘴压力 " + kHq,
       kHq + " = " + frac(kHxh + " − " + kHk, "1 + " + kAz + " " + kLd + " " + kB),
       "= " + frac(pressure + " − 2", "1 + " + az + "×" + ld + "×" + b), hq + kHead},
      {"消火栓出水量 " + kQ, kQ + " = " + root(kB + " " + kHq), "= " + root(b + "×" + hq),
       q + " L/s"},
      hoseLossStep(c, q, hd),
      {"充实水柱长度 " + kSk,
       frac(kHq, "1 + " + kPhi + " " + kHq) + " = " + kAlpha + "(" + kSk + ") " + kSk,
       "迭代求解，" + kAlpha + " = " + alpha, p.waterColumn + " m"},
      radiusStep(c),
  };
  if (auto s = spacingStep(c, in, design)) steps.push_back(*s);
  return steps;
}

// The title block a drawing office puts on every sheet, and the signature lines.
void titleBlock(Html& h, const SheetRequest& r) {
  const auto cell = [&h](std::string_view key, std::string_view value, int span = 1) {
    h.raw("<td class=\"k\">").raw(key).raw("</td><td");
    if (span > 1) h.raw(" colspan=\"" + std::to_string(span) + "\"");
    h.raw(">").text(value).raw("</td>");
  };
  h.raw("<table class=\"title\">\n<tr>");
  cell("工程名称", r.project, 3);
  h.raw("</tr>\n<tr>");
  cell("工程编号", r.projectNumber);
  cell("子项", r.subproject);
  h.raw("</tr>\n<tr>");
  cell("设计阶段", r.stage);
  cell("计算书编号", r.sheetNumber);
  h.raw("</tr>\n<tr>");
  cell("版次", r.revision);
  cell("日期", r.date);
  h.raw("</tr>\n<tr>");
  cell("计算程序", kProgram, 3);
  h.raw("</tr>\n</table>\n<table class=\"title\"><tr>");
  for (const char* role : {"设计", "校对", "审核", "审定"}) {
    h.raw("<td class=\"k\" style=\"width:8%\">").raw(role).raw("</td><td class=\"sign\">");
    if (std::string_view(role) == "设计") h.text(r.designer);
    h.raw("</td>");
  }
  h.raw("</tr></table>\n");
}

void basisSection(Html& h, const calc::Calculation& c, const calc::DesignInputs& in) {
  h.raw(
      "<h2>1 计算依据</h2>\n"
      "<p>1）《消防给水及消火栓系统技术规范》GB 50974-2014：第 3.5.2 条（室内消火栓流量与"
      "同时使用水枪数，每支水枪最小流量由此折算）；第 7.4.2 条（水带、水枪配置）；第 7.4.6 条"
      "（充实水柱到达室内任何部位）；第 7.4.10 条（消火栓布置间距）；第 7.4.12 条（栓口动压与"
      "充实水柱）；第 10.2.1 条（保护半径，水带弯曲折减系数 " +
      f("<i>k</i><sub>3</sub>") + " 在 0.8～0.9 中取 0.8）。</p>\n");
  h.raw("<p>2）水枪喷嘴压力、出水量与充实水柱的关系（" + kPhi + "、" + kAlpha + "、" + kB +
        "）及水带水头损失按王增长主编《建筑给水排水工程》（第 7 版，中国建筑工业出版社）的水枪、"
        "水带计算方法；" +
        f(kB) + " 按公式计算（不取书中表列取整值），水带比阻 " + f(kAz) +
        " 按书中水带阻力系数表取值，单位 mH<sub>2</sub>O·s<sup>2</sup>/(L<sup>2</sup>·m)（" +
        f(kHd) + " 以 mH<sub>2</sub>O、" + f(kLd) + " 以 m、" + f(kQ) + " 以 L/s 计）。</p>\n");
  h.raw("<p>3）计算假定：消火栓栓口局部水头损失 " + f(kHk) +
        " 取 2 mH<sub>2</sub>O（经验值）；水枪上倾角 45°，充实水柱水平投影取 0.71 " + f(kSk) +
        "；消火栓单排布置；1 mH<sub>2</sub>O 按 0.01 MPa 计。</p>\n<p>4）");
  if (in.pressureMPa) {
    h.raw(
        "由给定栓口动压扣除栓口与水带水头损失，求喷嘴压力、出水量及充实水柱，按此校核，不再提高。");
  } else if (c.entries.flow) {
    h.raw("由给定出水量求喷嘴压力和所需栓口动压，迭代求解充实水柱，按此校核，不再提高。");
  } else {
    h.raw(
        "由充实水柱求喷嘴压力和出水量；设计工况取充实水柱、每支水枪最小流量与最小栓口动压三者"
        "所需栓口动压的较大值。");
  }
  h.raw("</p>\n");
}

void inputRow(Html& h, std::initializer_list<std::pair<std::string, std::string>> cells) {
  h.raw("<tr>");
  for (const auto& [key, value] : cells) {
    h.raw("<td class=\"k\">").raw(key).raw("</td><td>").raw(value).raw("</td>");
  }
  h.raw("</tr>\n");
}

void inputSection(Html& h, const calc::Calculation& c, const calc::DesignInputs& in) {
  const calc::Entries& e = c.entries;
  h.raw("<h2>2 输入参数</h2>\n<table>\n");
  inputRow(h, {{"水带长度 " + kLd, esc(e.hoseLength) + " m"}, {"水带材料", esc(e.material)}});
  inputRow(
      h, {{"水带直径", esc(e.hoseDiameter) + " mm"}, {"水带比阻 " + kAz, esc(c.hoseCoefficient)}});
  inputRow(h, {{"喷嘴口径 " + kD, esc(e.nozzle) + " mm"},
               {"充实水柱长度 " + kSk, esc(e.waterColumn) + " m"}});
  inputRow(h, {{"给定出水量 " + kQ, e.flow ? esc(*e.flow) + " L/s" : "—"},
               {"最大保护宽度 " + kBw, e.width.empty() ? "—" : esc(e.width) + " m"}});
  inputRow(h,
           {{"场所类别", esc(calc::occupancyText(in.occupancy))},
            {"布置方式", in.streams == 1 ? "一支水枪充实水柱到达" : "两支水枪充实水柱同时到达"}});
  inputRow(
      h,
      {{"每支水枪最小流量", esc(calc::numberToText(in.minFlow)) + " L/s（由表 3.5.2 折算）"},
       {"给定栓口动压 <i>p</i>", in.pressureMPa ? formatFixed(*in.pressureMPa, 3) + " MPa" : "—"}});
  h.raw("</table>\n");
}

// SVG text with a subscript: "S" and "k" → S with k set lower and smaller.
std::string svgSymbol(std::string_view letter, std::string_view sub) {
  return "<tspan font-style=\"italic\">" + std::string(letter) +
         "</tspan><tspan dy=\"3\" font-size=\"9\">" + std::string(sub) +
         "</tspan><tspan dy=\"-3\"></tspan>";
}

// Elevation of hydrant, hose, nozzle and jet, and a plan of two hydrants in one row with R,
// b and S; not to scale. For one stream the farthest point lies midway between hydrants.
void diagramSection(Html& h, const calc::DesignInputs& in) {
  h.raw(
      "<div class=\"keep\"><h2>3 计算简图</h2>\n<div "
      "style=\"display:flex;justify-content:space-around\">");
  h.raw(
      "<div class=\"fig\"><svg width=\"76mm\" height=\"35.6mm\" viewBox=\"0 0 320 150\" "
      "font-size=\"12\" stroke-linecap=\"round\">"
      "<line x1=\"8\" y1=\"146\" x2=\"312\" y2=\"146\" stroke=\"#000\" stroke-width=\"1.2\"/>"
      "<line x1=\"20\" y1=\"20\" x2=\"20\" y2=\"146\" stroke=\"#000\" stroke-width=\"1.2\"/>"
      "<rect x=\"20\" y=\"84\" width=\"24\" height=\"34\" fill=\"#fff\" stroke=\"#000\"/>"
      "<circle cx=\"38\" cy=\"101\" r=\"4\" fill=\"none\" stroke=\"#000\"/>"
      "<text x=\"24\" y=\"78\">消火栓</text>"
      "<path d=\"M42,101 C55,132 100,130 120,114\" fill=\"none\" stroke=\"#000\" "
      "stroke-width=\"2\"/>"
      "<text x=\"58\" y=\"141\">水带 ");
  h.raw(svgSymbol("L", "d")).raw("</text>");
  h.raw(
      "<line x1=\"120\" y1=\"114\" x2=\"134\" y2=\"100\" stroke=\"#000\" stroke-width=\"4\"/>"
      "<text x=\"128\" y=\"126\">水枪</text>"
      "<line x1=\"134\" y1=\"100\" x2=\"206\" y2=\"28\" stroke=\"#000\" stroke-width=\"2.2\"/>"
      "<path d=\"M206,28 Q238,2 270,52\" fill=\"none\" stroke=\"#000\" stroke-dasharray=\"2 4\"/>"
      "<line x1=\"134\" y1=\"100\" x2=\"190\" y2=\"100\" stroke=\"#000\" stroke-dasharray=\"4 3\"/>"
      "<path d=\"M160,100 A26,26 0 0 0 152.4,81.6\" fill=\"none\" stroke=\"#000\"/>"
      "<text x=\"164\" y=\"94\">45°</text>"
      "<text x=\"192\" y=\"64\">充实水柱 ");
  h.raw(svgSymbol("S", "k")).raw("</text>");
  h.raw(
      "<line x1=\"134\" y1=\"128\" x2=\"206\" y2=\"128\" stroke=\"#000\"/>"
      "<line x1=\"206\" y1=\"28\" x2=\"206\" y2=\"132\" stroke=\"#000\" stroke-dasharray=\"1 3\"/>"
      "<text x=\"212\" y=\"132\">0.71 ");
  h.raw(svgSymbol("S", "k")).raw("</text>");
  h.raw("</svg><div class=\"small\">立面：消火栓、水带、水枪与充实水柱</div></div>");

  // Plan: R = 80, b = 32 units; S from the formula of the arrangement.
  const double radius = 80, width = 32, row = 78;
  const double half = std::sqrt(radius * radius - width * width);
  const double spacing = in.streams == 1 ? 2 * half : half;
  const double x1 = 160 - spacing / 2, x2 = 160 + spacing / 2;
  // The farthest point: under the next hydrant (two streams) or midway (one stream).
  const double fx = in.streams == 1 ? 160 : x2;
  const auto n = [](double v) { return formatFixed(v, 1); };
  h.raw(
      "<div class=\"fig\"><svg width=\"76mm\" height=\"35.6mm\" viewBox=\"0 0 320 150\" "
      "font-size=\"12\" stroke-linecap=\"round\">");
  h.raw("<rect x=\"8\" y=\"" + n(row - width) + "\" width=\"304\" height=\"" + n(2 * width) +
        "\" fill=\"#e8e8e8\" stroke=\"none\"/>");
  h.raw("<line x1=\"8\" y1=\"" + n(row) + "\" x2=\"312\" y2=\"" + n(row) +
        "\" stroke=\"#000\" stroke-dasharray=\"8 3 2 3\"/>");
  for (const double x : {x1, x2}) {
    h.raw("<circle cx=\"" + n(x) + "\" cy=\"" + n(row) + "\" r=\"" + n(radius) +
          "\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.8\"/>");
    h.raw("<rect x=\"" + n(x - 4) + "\" y=\"" + n(row - 4) +
          "\" width=\"8\" height=\"8\" fill=\"#000\"/>");
  }
  h.raw("<text x=\"" + n(x1 - 6) + "\" y=\"" + n(row - 8) + "\" text-anchor=\"end\">消火栓</text>");
  // R to the farthest point, b across the band, S between the hydrants.
  h.raw("<line x1=\"" + n(x1) + "\" y1=\"" + n(row) + "\" x2=\"" + n(fx) + "\" y2=\"" +
        n(row + width) + "\" stroke=\"#000\" stroke-width=\"1.4\"/>");
  h.raw("<text x=\"" + n((x1 + fx) / 2 - 4) + "\" y=\"" + n(row + width / 2 + 14) +
        "\" text-anchor=\"end\">");
  h.raw("<tspan font-style=\"italic\">R</tspan></text>");
  h.raw("<line x1=\"" + n(fx) + "\" y1=\"" + n(row) + "\" x2=\"" + n(fx) + "\" y2=\"" +
        n(row + width) + "\" stroke=\"#000\" stroke-width=\"1.4\"/>");
  h.raw("<text x=\"" + n(fx + 4) + "\" y=\"" + n(row + width / 2 + 6) +
        "\"><tspan font-style=\"italic\">b</tspan></text>");
  const std::string sy = n(row - width - 8);
  h.raw("<line x1=\"" + n(x1) + "\" y1=\"" + sy + "\" x2=\"" + n(x2) + "\" y2=\"" + sy +
        "\" stroke=\"#000\" stroke-width=\"1.4\"/>");
  for (const double x : {x1, x2}) {
    h.raw("<line x1=\"" + n(x) + "\" y1=\"" + n(row - width - 13) + "\" x2=\"" + n(x) + "\" y2=\"" +
          n(row - width - 3) + "\" stroke=\"#000\"/>");
  }
  h.raw("<text x=\"160\" y=\"" + n(row - width - 12) +
        "\" text-anchor=\"middle\"><tspan font-style=\"italic\">S</tspan></text>");
  h.raw("<text x=\"12\" y=\"" + n(row + width - 4) + "\">保护范围</text>");
  h.raw(
      "</svg><div class=\"small\">平面：单排消火栓，保护半径 <i>R</i>、间距 <i>S</i>；<i>b</i> "
      "为消火栓轴线至保护范围边缘的距离（保护范围宽度之半）</div></div>");
  h.raw("</div>\n<p class=\"small\" style=\"text-align:center\">示意图，不按比例。</p></div>\n");
}

void checkSection(Html& h, const calc::DesignResult& design) {
  h.raw(
      "<div class=\"keep\"><h2>5 规范校核（GB 50974-2014）</h2>\n<table><thead><tr><th "
      "style=\"width:9%\">条文</th>"
      "<th style=\"width:15%\">要求</th><th style=\"width:15%\">设计值</th>"
      "<th style=\"width:8%\">结论</th><th>说明</th></tr></thead>\n");
  for (const calc::DesignCheck& check : design.checks) {
    h.raw("<tr><td class=\"c\">").text(check.clause).raw("</td><td>").text(check.requirement);
    h.raw("</td><td>").text(check.value).raw("</td><td class=\"c ");
    h.text(calc::verdictName(check.verdict)).raw("\">").text(calc::verdictWords(check.verdict));
    h.raw("</td><td class=\"small\">").text(check.text).raw("</td></tr>\n");
  }
  h.raw("</table></div>\n");
}

std::string pressureText(double metres) {
  const calc::ShownPoint shown = calc::shownPoint({.outletPressure = metres});
  return shown.outletPressure + " mH<sub>2</sub>O（" + shown.outletPressureMPa + " MPa）";
}

// The radius of 10.2.1 (S_k as 7.4.12-2 fixes it) and the spacing the check uses.
std::vector<Step> designRadiusSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                                    const calc::DesignResult& design) {
  const std::string r = calc::shown::radius(design.radius);
  const std::string req = calc::numberToText(design.requiredWaterColumn);
  std::vector<Step> steps{{"设计保护半径 " + kR + "（第 10.2.1 条）",
                           kR + " = <i>k</i><sub>3</sub> " + kLd + " + 0.71 " + kSk,
                           "= 0.8×" + esc(c.entries.hoseLength) + " + 0.71×" + req, r + " m"}};
  if (!in.width) return steps;
  const std::string b = formatFixed(*in.width, 2);
  const std::string two = in.streams == 1 ? "2" : "";
  const std::string formula =
      kS + " = " + two + root(kR + "<sup>2</sup> − " + kBw + "<sup>2</sup>");
  if (design.widthTooLarge) {
    steps.push_back({"消火栓间距 " + kS, formula,
                     kBw + " = " + b + " m &gt; " + kR + " = " + r + " m", "应两排布置"});
    return steps;
  }
  steps.push_back({"消火栓间距 " + kS, formula,
                   "= " + two + root(r + "<sup>2</sup> − " + b + "<sup>2</sup>"),
                   calc::shown::spacing(*design.spacing) + " m"});
  const std::string cap = calc::numberToText(*design.spacingCap);
  steps.push_back({"布置间距（第 7.4.10 条）", "取 " + kS + " 与 " + cap + " m 的较小值",
                   "min(" + calc::shown::spacing(*design.spacing) + ", " + cap + ")",
                   calc::shown::spacing(*design.adoptedSpacing) + " m"});
  return steps;
}

void designSection(Html& h, const calc::Calculation& c, const calc::DesignInputs& in,
                   const calc::DesignResult& design) {
  const calc::HydrantPoint& point = design.design;
  const calc::ShownPoint p = calc::shownPoint(point);
  h.raw("<div class=\"keep\"><h2>6 设计工况</h2>\n");
  if (design.fromWaterColumn && design.fromMinFlow) {
    struct Candidate {
      calc::Governing id;
      std::string what;
      std::string clause;
      double outlet;
    };
    const std::vector<Candidate> candidates{
        {calc::Governing::WaterColumn,
         "充实水柱 " + f(kSk) + " = " + calc::numberToText(design.fromWaterColumn->waterColumn) +
             " m",
         "7.4.12-2", design.fromWaterColumn->outletPressure},
        {calc::Governing::MinFlow,
         "每支水枪最小流量 " + f(kQ) + " = " + esc(calc::numberToText(in.minFlow)) + " L/s",
         "3.5.2", design.fromMinFlow->outletPressure},
        {calc::Governing::MinPressure, "最小栓口动压", "7.4.12-2", design.minPressure},
    };
    h.raw(
        "<table><thead><tr><th>工况</th><th style=\"width:12%\">条文</th>"
        "<th style=\"width:34%\">所需栓口动压 " +
        kHxh + "</th></tr></thead>\n");
    for (const Candidate& cand : candidates) {
      const bool governs = cand.id == design.governedBy;
      h.raw(governs ? "<tr class=\"gov\">" : "<tr>").raw("<td>").raw(cand.what);
      h.raw(governs ? "（控制）" : "").raw("</td><td class=\"c\">").raw(cand.clause);
      h.raw("</td><td class=\"n\">").raw(pressureText(cand.outlet)).raw("</td></tr>\n");
    }
    h.raw("</table>\n");
  }
  h.raw("<p>设计工况由<b>").text(calc::governingWords(design.governedBy)).raw("</b>");
  h.raw(in.pressureMPa || in.flow ? "确定（不提高）" : "控制");
  h.raw("：栓口动压 ").raw(f(kHxh)).raw(" = ").raw(pressureText(point.outletPressure));
  h.raw("，喷嘴压力 ").raw(f(kHq)).raw(" = ").text(p.nozzlePressure).raw(kHead);
  h.raw("，水带水头损失 ").raw(f(kHd)).raw(" = ").text(p.hoseLoss).raw(kHead);
  h.raw("，充实水柱 ").raw(f(kSk)).raw(" = ").text(p.waterColumn).raw(" m；");
  h.raw("栓口动压 ").text(p.outletPressureMPa);
  h.raw(" MPa 时单支水枪计算出水量 ").raw(f(kQ)).raw(" = ").text(p.flow);
  h.raw(" L/s，每支水枪最小流量 ").text(calc::numberToText(in.minFlow));
  h.raw(" L/s（由表 3.5.2 折算）。</p>\n");
  stepTable(h, designRadiusSteps(c, in, design));
  h.raw("</div>\n");
}

// The conclusion: every check counted, the failures listed by clause with what to change,
// and the unconfirmed clauses whose check found a shortfall.
void countsAndFailures(Html& h, const std::vector<const calc::DesignCheck*>& checks,
                       std::size_t single) {
  int counts[5] = {0, 0, 0, 0, 0};
  for (const calc::DesignCheck* check : checks) ++counts[static_cast<int>(check->verdict)];
  std::string text = "按 GB 50974-2014 校核 " + std::to_string(checks.size()) + " 项";
  if (single < checks.size()) {
    text += "（单栓 " + std::to_string(single) + " 项，系统 " +
            std::to_string(checks.size() - single) + " 项）";
  }
  text += "：满足 " + std::to_string(counts[0]) + " 项，不满足 " + std::to_string(counts[1]) +
          " 项，注意 " + std::to_string(counts[2]) + " 项，建议 " + std::to_string(counts[3]) +
          " 项";
  if (counts[4] > 0) text += "，不适用 " + std::to_string(counts[4]) + " 项";
  h.text(text + "。");
  const auto list = [&](calc::Verdict verdict, const char* title) {
    int n = 0;
    for (const calc::DesignCheck* check : checks) {
      if (check->verdict != verdict || (verdict != calc::Verdict::Fail && check->remedy.empty())) {
        continue;
      }
      h.raw(n == 0 ? "</p>\n<p>" : "；").raw(n == 0 ? title : "");
      h.text(std::to_string(++n) + "）第 " + check->clause + " 条：");
      std::string_view what = check->remedy.empty() ? check->text : check->remedy;
      if (what.ends_with("。")) what.remove_suffix(std::string_view("。").size());
      h.text(what);
    }
    if (n > 0) h.raw("。");
  };
  list(calc::Verdict::Fail, "<b>不满足项</b>：");
  list(calc::Verdict::Note, "注意项（条文待核者须经核对）：");
  h.raw("</p>\n<p>");
}

void conclusionSection(Html& h, const calc::DesignInputs& in, const calc::DesignResult& design,
                       const SheetRequest& request, int number) {
  std::vector<const calc::DesignCheck*> checks;
  for (const calc::DesignCheck& check : design.checks) checks.push_back(&check);
  for (const calc::DesignCheck& check : request.extraChecks) checks.push_back(&check);
  const calc::HydrantPoint& p = design.design;
  const calc::ShownPoint shown = calc::shownPoint(p);
  const std::string mpa = shown.outletPressureMPa + " MPa";
  const std::string flow = shown.flow + " L/s";
  h.raw("<h2>" + std::to_string(number) + " 结论</h2>\n<p>");
  countsAndFailures(h, checks, design.checks.size());
  if (!request.extraConclusion.empty()) h.raw(request.extraConclusion).raw("</p>\n<p>");
  h.text(request.extraChecks.empty() ? "" : "最不利消火栓：");
  if (in.pressureMPa && p.outletPressure > 50 + 1e-9) {
    // A flow at a pressure the outlet may not keep is no design figure.
    h.text("给定栓口动压 " + mpa + " 未经减压时单支水枪出水量为 " + flow +
           "；栓口应减压，并按减压后的栓口动压重新计算本计算书。");
  } else if (in.pressureMPa) {
    h.text("给定栓口动压 " + mpa + " 时单支水枪计算出水量 " + flow + "，充实水柱 " +
           shown.waterColumn + " m。");
  } else if (in.flow) {
    h.text("给定单支水枪出水量 " + flow + " 所需栓口动压 " + mpa + "，充实水柱 " +
           shown.waterColumn + " m。");
  } else if (design.governedBy == calc::Governing::MinFlow && p.outletPressure > 50 + 1e-9) {
    // Raised beyond 0.50 MPa for the flow, which a reducer would take away again.
    h.text("每支水枪最小流量 " + calc::numberToText(in.minFlow) + " L/s 需栓口动压 " + mpa +
           "，大于 0.500 MPa，本水枪与水带不能作为设计配置，应按第 7.4.2 条校核改配后重新计算。");
  } else {
    h.text("消火栓栓口动压按 " + mpa + " 设计，此时单支水枪计算出水量 " + flow +
           "；每支水枪最小流量 " + calc::numberToText(in.minFlow) + " L/s（由表 3.5.2 折算）。");
  }
  const bool failed = std::ranges::any_of(
      checks, [](const calc::DesignCheck* c) { return c->verdict == calc::Verdict::Fail; });
  if (failed) {
    h.raw("<b>存在不满足项，须调整设计后重新计算。</b>");
  } else {
    h.text(request.extraChecks.empty() ? "校核无不满足项（注意、建议项见第 5 节）。"
                                       : "校核无不满足项（注意、建议项见校核表）。");
  }
  h.raw("</p>\n");
}

// A table header never ends a page alone: the first three rows of every table with a header
// go into a body that is not broken.
std::string keepHeadsWithRows(std::string html) {
  for (std::size_t pos = html.find("</thead>"); pos != std::string::npos;
       pos = html.find("</thead>", pos)) {
    pos += std::string_view("</thead>").size();
    html.insert(pos, "<tbody class=\"k3\">");
    const std::size_t end = html.find("</table>", pos);
    std::size_t cut = pos;
    for (int rows = 0; rows < 3; ++rows) {
      const std::size_t row = html.find("</tr>", cut);
      if (row == std::string::npos || row > end) break;
      cut = row + std::string_view("</tr>").size();
    }
    const bool more = html.find("</tr>", cut) < end;
    html.insert(cut, more ? "</tbody><tbody>" : "</tbody>");
    if (more) html.insert(html.find("</table>", cut), "</tbody>");
  }
  return html;
}

}  // namespace

std::string renderSheet(const calc::Calculation& c, const calc::DesignInputs& in,
                        const calc::DesignResult& design, const SheetRequest& request) {
  Html h;
  h.raw("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>");
  h.raw("室内消火栓水力计算书");
  // A window's or a tab's title shows no marks: a bidirectional control there would reorder it.
  if (!request.project.empty()) h.raw(" — ").text(calc::withoutBidiControls(request.project));
  h.raw("</title>\n<style>").raw(kStyle).raw("</style>\n</head>\n<body>\n");
  h.raw("<h1>室内消火栓水力计算书</h1>\n");
  titleBlock(h, request);
  basisSection(h, c, in);
  h.raw(request.extraBasis);
  inputSection(h, c, in);
  diagramSection(h, in);

  h.raw("<h2>4 计算过程（按输入参数）</h2>\n");
  if (in.pressureMPa) {
    stepTable(h, pressureSteps(c, in, design));
  } else if (c.entries.flow) {
    stepTable(h, flowSteps(c, in, design));
  } else {
    stepTable(h, waterColumnSteps(c, in, design));
  }
  // Only the window's direction rounds on the way: the flow to 0.01 L/s, the loss to 0.01 m.
  const std::string bNote = tableBNote(c, in);
  if (!in.pressureMPa && !c.entries.flow) {
    h.raw(
        "<p class=\"small\">注：出水量取 0.01 L/s、水带水头损失取 0.01 mH<sub>2</sub>O "
        "后参与后续计算；" +
        bNote + "</p>\n");
  } else if (!bNote.empty()) {
    h.raw("<p class=\"small\">注：" + bNote + "</p>\n");
  }

  checkSection(h, design);
  // The conclusion and the closing line are never parted; on the hydrant's own sheet the design
  // section goes with them, so that a last page never holds a few lines only.
  const bool alone = request.extraSections.empty();
  if (alone) h.raw("<div class=\"keep\">");
  designSection(h, c, in, design);
  h.raw(request.extraSections);
  if (!alone) h.raw("<div class=\"keep\">");
  conclusionSection(h, in, design, request, 7 + request.extraSectionCount);
  h.raw("<p class=\"foot\">本计算书由 ").text(kProgram);
  h.raw(" 生成。程序校核结果供设计人复核；本计算书经设计、校对、审核签署后有效。</p></div>\n");
  h.raw("</body>\n</html>\n");
  return keepHeadsWithRows(h.str());
}

calc::Result<std::string> makeSheet(const SheetRequest& request) {
  const calc::Calculation calculation = calc::calculate(request.entries);
  if (calculation.outputs.error) return *calculation.outputs.error;
  const calc::DesignInputs inputs = calc::designInputs(calculation, request.design);
  const auto design = calc::checkDesign(inputs);
  if (!design.ok()) return design.error();
  return renderSheet(calculation, inputs, design.value(), request);
}

std::string escapeHtml(std::string_view text) { return esc(text); }

}  // namespace sheet
