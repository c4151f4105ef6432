#include "sheet/calc_sheet.h"

#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "calc/hydraulics.h"
#include "calc/utf8.h"

namespace sheet {
namespace {

using calc::formatFixed;

// Page, tables and formulas; printed on A4 and readable on screen. The serif CJK faces
// come first because plan-review sheets are set in 宋体.
constexpr std::string_view kStyle = R"(
@page { size: A4; margin: 15mm 16mm 16mm 18mm;
  @bottom-center { content: "第 " counter(page) " 页 共 " counter(pages) " 页"; font-size: 8pt; } }
* { box-sizing: border-box; }
body { font-family: "SimSun", "宋体", "Songti SC", "Noto Serif CJK SC", "Source Han Serif SC", serif;
  font-size: 10pt; line-height: 1.4; color: #000; margin: 0 auto; max-width: 176mm; }
h1 { font-family: "SimHei", "黑体", "Noto Sans CJK SC", sans-serif; font-size: 17pt;
  text-align: center; letter-spacing: 2pt; margin: 0 0 8pt; }
h2 { font-family: "SimHei", "黑体", "Noto Sans CJK SC", sans-serif; font-size: 11.5pt;
  margin: 9pt 0 3pt; break-after: avoid; page-break-after: avoid; }
p { margin: 2pt 0; }
table { border-collapse: collapse; width: 100%; margin: 2pt 0; }
th, td { border: 0.6pt solid #000; padding: 1.5pt 4pt; vertical-align: middle; text-align: left; }
th { background: #eee; font-weight: bold; text-align: center; }
tr { break-inside: avoid; page-break-inside: avoid; }
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
.small { font-size: 8.5pt; }
.keep { break-inside: avoid; page-break-inside: avoid; }
.foot { font-size: 8pt; color: #444; margin-top: 8pt; border-top: 0.6pt solid #888; padding-top: 2pt; }
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
        if (c.valid) {
          out.append(text.substr(pos, c.length));
        } else {
          calc::appendUtf8(out, calc::kReplacementCharacter);
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

// A run's result text without the unit it carries ("4.62(l/s)" → "4.62").
std::string number(const std::optional<std::string>& text) {
  if (!text) return "";
  return text->substr(0, text->find('('));
}

// Metres of water column as MPa at 1 m = 0.01 MPa, from the shown text so the two agree.
std::string metresTextToMPa(const std::string& metres, int decimals) {
  const auto value = calc::parseNumber(metres);
  return value ? formatFixed(calc::toMPa(*value), decimals) : "";
}

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
      "<table><thead><tr><th style=\"width:22%\">计算项</th><th>计算公式</th>"
      "<th>代入数值</th><th style=\"width:15%\">结果</th></tr></thead>\n");
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

// The steps every direction shares at its start: φ and B depend on the nozzle alone.
Step phiStep(const calc::RunOutputs& out, const std::string& d) {
  return {"喷嘴阻力系数 " + kPhi,
          kPhi + " = " + frac("0.25", kD + " + (0.1" + kD + ")<sup>3</sup>"),
          "= " + frac("0.25", d + " + (0.1×" + d + ")<sup>3</sup>"), esc(*out.phiOut)};
}
Step bStep(const calc::RunOutputs& out, const std::string& d) {
  return {"水枪水流特性系数 " + kB, kB + " = (0.003477 " + kD + "<sup>2</sup>)<sup>2</sup>",
          "= (0.003477×" + d + "<sup>2</sup>)<sup>2</sup>", esc(*out.flowCoefficientOut)};
}
Step hoseStep(const calc::Calculation& c) {
  return {"水带比阻 " + kAz, "查水带比阻表",
          esc(c.entries.material) + "，DN" + esc(c.entries.hoseDiameter), esc(c.hoseCoefficient)};
}
Step radiusStep(const std::string& ld, const std::string& sk, const std::string& r) {
  return {"保护半径 " + kR, kR + " = 0.8 " + kLd + " + 0.71 " + kSk,
          "= 0.8×" + ld + " + 0.71×" + sk, esc(r) + " m"};
}
// The spacing, or the reason there is none, for an entered width: the window's text for
// two streams, the design check's for one (it covers twice the distance).
std::optional<Step> spacingStep(const calc::Calculation& c, const std::string& r,
                                const calc::DesignInputs& in, const calc::DesignResult& design) {
  if (c.entries.width.empty()) return std::nullopt;
  const std::string b = esc(c.entries.width);
  const std::string two = in.streams == 1 ? "2" : "";
  const std::string formula =
      kS + " = " + two + root(kR + "<sup>2</sup> − " + kBw + "<sup>2</sup>");
  if (!c.outputs.spacingOut) {
    return Step{"消火栓间距 " + kS, formula,
                kBw + " = " + b + " m &gt; " + kR + " = " + esc(r) + " m", "保护宽度过大"};
  }
  const std::string value =
      in.streams == 1 && design.spacing ? formatFixed(*design.spacing, 2) : *c.outputs.spacingOut;
  return Step{"消火栓间距 " + kS, formula,
              "= " + two + root(esc(r) + "<sup>2</sup> − " + b + "<sup>2</sup>"),
              esc(value) + " m"};
}

Step outletStep(const std::string& hq, const std::string& hd, const std::string& hxh) {
  return {"栓口所需压力 " + kHxh, kHxh + " = " + kHq + " + " + kHd + " + " + kHk,
          "= " + hq + " + " + hd + " + 2",
          esc(hxh) + " m<br>" + esc(metresTextToMPa(hxh, 4)) + " MPa"};
}

Step hoseLossStep(const calc::Calculation& c, const std::string& q, const std::string& hd) {
  return {
      "水带水头损失 " + kHd, kHd + " = " + kAz + " " + kLd + " " + kQ + "<sup>2</sup>",
      "= " + esc(c.hoseCoefficient) + "×" + esc(c.entries.hoseLength) + "×" + q + "<sup>2</sup>",
      hd + " m"};
}

// 计算过程 of the window's direction: the flow from the water column.
std::vector<Step> waterColumnSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                                   const calc::DesignResult& design) {
  const calc::RunOutputs& o = c.outputs;
  const std::string d = esc(c.entries.nozzle), sk = esc(c.entries.waterColumn);
  const std::string phi = esc(*o.phiOut), alpha = esc(*o.alphaOut), b = esc(*o.flowCoefficientOut);
  const std::string hq = esc(*o.nozzlePressureOut), q = esc(number(o.flowOut));
  std::vector<Step> steps{
      phiStep(o, d),
      {"实验系数 " + kAlpha, kAlpha + " = 1.19 + 80(0.01 " + kSk + ")<sup>4</sup>",
       "= 1.19 + 80×(0.01×" + sk + ")<sup>4</sup>", alpha},
      bStep(o, d),
      {"水枪喷嘴压力 " + kHq,
       kHq + " = " + frac(kAlpha + " " + kSk, "1 − " + kPhi + " " + kAlpha + " " + kSk),
       "= " + frac(alpha + "×" + sk, "1 − " + phi + "×" + alpha + "×" + sk), hq + " m"},
      {"消火栓出水量 " + kQ, kQ + " = " + root(kB + " " + kHq), "= " + root(b + "×" + hq),
       q + " l/s"},
      hoseStep(c),
      hoseLossStep(c, q, esc(*o.hoseLossOut)),
      outletStep(hq, esc(*o.hoseLossOut), number(o.outletPressureOut)),
      radiusStep(esc(c.entries.hoseLength), sk, *o.radiusOut),
  };
  if (auto s = spacingStep(c, *o.radiusOut, in, design)) steps.push_back(*s);
  return steps;
}

// 计算过程 of the flow-given direction: the water column the given flow reaches, then the
// outlet pressure for that flow.
std::vector<Step> flowSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                            const calc::DesignResult& design) {
  const calc::RunOutputs& o = c.outputs;
  const std::string d = esc(c.entries.nozzle);
  const std::string phi = esc(*o.phiOut), b = esc(*o.flowCoefficientOut);
  const std::string hq = esc(*o.nozzlePressureOut), q = esc(*o.flowOut);
  // The run gives no hose loss and outlet pressure in this direction; they are formed as
  // the design check forms them, from the given flow without rounding between steps, so
  // they agree with its figures for the same flow.
  const double flow = calc::parseNumber(*o.flowOut).value_or(0);
  const double nozzlePressure =
      flow * flow / calc::nozzleFlowCoefficient(1, calc::parseNumber(c.entries.nozzle).value_or(0));
  const double loss = in.hoseCoefficient * in.hoseLength * flow * flow;
  const std::string hd = formatFixed(loss, 2);
  const std::string hxh = formatFixed(nozzlePressure + loss + 2, 2);
  std::vector<Step> steps{
      phiStep(o, d),
      bStep(o, d),
      {"水枪喷嘴压力 " + kHq, kHq + " = " + frac(kQ + "<sup>2</sup>", kB),
       "= " + frac(q + "<sup>2</sup>", b), hq + " m"},
      {"实验系数 " + kAlpha, kAlpha + " = 1.19 + 80(0.01 " + kSk + ")<sup>4</sup>",
       "末次试算 " + kSk + " 的取值", esc(*o.alphaOut)},
      {"充实水柱长度 " + kSk,
       kSk + " = " + frac(kHq, kAlpha + "(1 + " + kPhi + " " + kHq + ")") + "，按整米试算",
       "= " + frac(hq, esc(*o.alphaOut) + "×(1 + " + phi + "×" + hq + ")"),
       esc(*o.waterColumnOut) + " m"},
      hoseStep(c),
      hoseLossStep(c, q, esc(hd)),
      outletStep(hq, esc(hd), hxh),
      radiusStep(esc(c.entries.hoseLength), esc(c.entries.waterColumn), *o.radiusOut),
  };
  if (auto s = spacingStep(c, *o.radiusOut, in, design)) steps.push_back(*s);
  return steps;
}

// 计算过程 of the pressure-given direction: what a given outlet pressure delivers. The
// numbers are the design check's, rounded as the command line shows them.
std::vector<Step> pressureSteps(const calc::Calculation& c, const calc::DesignInputs& in,
                                const calc::DesignResult& design) {
  const calc::RunOutputs& o = c.outputs;
  const calc::HydrantPoint& p = design.design;
  const std::string d = esc(c.entries.nozzle), b = esc(*o.flowCoefficientOut);
  const std::string pressure = formatFixed(p.outletPressure, 2);
  const std::string hq = formatFixed(p.nozzlePressure, 2), q = formatFixed(p.flow, 2);
  const std::string hd = formatFixed(p.hoseLoss, 2);
  const std::string az = esc(c.hoseCoefficient), ld = esc(c.entries.hoseLength);
  const std::string alpha = formatFixed(calc::waterColumnCoefficient(p.waterColumn), 2);
  std::vector<Step> steps{
      phiStep(o, d),
      bStep(o, d),
      hoseStep(c),
      {"给定栓口压力 " + kHxh, kHxh + " = 100 <i>p</i>",
       "= 100×" + esc(calc::numberToText(*in.pressureMPa)), pressure + " m"},
      {"水枪喷嘴压力 " + kHq,
       kHq + " = " + frac(kHxh + " − " + kHk, "1 + " + kAz + " " + kLd + " " + kB),
       "= " + frac(pressure + " − 2", "1 + " + az + "×" + ld + "×" + b), hq + " m"},
      {"消火栓出水量 " + kQ, kQ + " = " + root(kB + " " + kHq), "= " + root(b + "×" + hq),
       q + " l/s"},
      hoseLossStep(c, q, hd),
      {"充实水柱长度 " + kSk,
       frac(kHq, "1 + " + kPhi + " " + kHq) + " = " + kAlpha + "(" + kSk + ") " + kSk,
       "二分法求解，" + kAlpha + " = " + alpha, formatFixed(p.waterColumn, 1) + " m"},
      radiusStep(ld, esc(c.entries.waterColumn), *o.radiusOut),
  };
  if (auto s = spacingStep(c, *o.radiusOut, in, design)) steps.push_back(*s);
  return steps;
}

void infoSection(Html& h, const SheetRequest& r) {
  h.raw("<h2>1 工程信息</h2>\n<table><tr><td class=\"k\">工程名称</td><td>").text(r.project);
  h.raw("</td></tr>\n<tr><td class=\"k\">设计人</td><td>").text(r.designer);
  h.raw("</td></tr>\n<tr><td class=\"k\">日期</td><td>").text(r.date).raw("</td></tr></table>\n");
}

void basisSection(Html& h, const calc::Calculation& c, const calc::DesignInputs& in) {
  h.raw(
      "<h2>2 计算依据</h2>\n"
      "<p>《消防给水及消火栓系统技术规范》GB 50974-2014：第 3.5.2 条（室内消火栓设计流量），"
      "第 7.4.2 条（水枪、水带配置），第 7.4.10 条（消火栓布置间距），"
      "第 7.4.12 条（栓口动压与充实水柱）。</p>\n<p>计算方法：");
  if (in.pressureMPa) {
    h.raw(
        "由给定的栓口压力扣除消火栓栓口水头损失与水带水头损失，求水枪喷嘴压力、出水量及其达到的充实"
        "水柱长度；");
  } else if (c.entries.flow) {
    h.raw("由已知出水量按水枪喷嘴水力特性求喷嘴压力，按整米试算充实水柱长度；");
  } else {
    h.raw("由充实水柱长度按水枪喷嘴水力特性求喷嘴压力和出水量；");
  }
  h.raw("水带水头损失 " + f(kHd + " = " + kAz + " " + kLd + " " + kQ + "<sup>2</sup>") +
        "，消火栓栓口水头损失 " + f(kHk) + " 取 2 m；1 m 水柱按 0.01 MPa 计。");
  h.raw(in.pressureMPa
            ? "按给定栓口压力校核，不再提高。</p>\n"
            : "设计工况取充实水柱、最小流量与最小栓口动压三者所需栓口压力的较大值。</p>\n");
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
  h.raw("<h2>3 输入参数</h2>\n<table>\n");
  inputRow(h, {{"水带长度 " + kLd, esc(e.hoseLength) + " m"}, {"水带材料", esc(e.material)}});
  inputRow(
      h, {{"水带直径", esc(e.hoseDiameter) + " mm"}, {"水带比阻 " + kAz, esc(c.hoseCoefficient)}});
  inputRow(h, {{"喷嘴口径 " + kD, esc(e.nozzle) + " mm"},
               {"充实水柱长度 " + kSk, esc(e.waterColumn) + " m"}});
  inputRow(h, {{"已知出水量 " + kQ, e.flow ? esc(*e.flow) + " l/s" : "—"},
               {"最大保护宽度 " + kBw, e.width.empty() ? "—" : esc(e.width) + " m"}});
  inputRow(h,
           {{"场所类别", esc(calc::occupancyText(in.occupancy))},
            {"布置方式", in.streams == 1 ? "一支水枪充实水柱到达" : "两支水枪充实水柱同时到达"}});
  inputRow(h, {{"每支水枪设计流量", esc(calc::numberToText(in.minFlow)) + " l/s"},
               {"给定栓口压力 <i>p</i>",
                in.pressureMPa ? esc(calc::numberToText(*in.pressureMPa)) + " MPa" : "—"}});
  h.raw("</table>\n");
}

void checkSection(Html& h, const calc::DesignResult& design) {
  h.raw(
      "<div class=\"keep\"><h2>5 规范校核（GB 50974-2014）</h2>\n<table><thead><tr><th "
      "style=\"width:10%\">条文</th>"
      "<th style=\"width:14%\">要求</th><th style=\"width:14%\">设计值</th>"
      "<th style=\"width:9%\">结论</th><th>说明</th></tr></thead>\n");
  for (const calc::DesignCheck& check : design.checks) {
    h.raw("<tr><td class=\"c\">").text(check.clause).raw("</td><td>").text(check.requirement);
    h.raw("</td><td>").text(check.value).raw("</td><td class=\"c ");
    h.text(calc::verdictName(check.verdict)).raw("\">").text(calc::verdictWords(check.verdict));
    h.raw("</td><td class=\"small\">").text(check.text).raw("</td></tr>\n");
  }
  h.raw("</table></div>\n");
}

std::string pressureText(double metres) {
  return formatFixed(metres, 2) + " m（" + formatFixed(calc::toMPa(metres), 3) + " MPa）";
}

void designSection(Html& h, const calc::Calculation& c, const calc::DesignInputs& in,
                   const calc::DesignResult& design) {
  const calc::HydrantPoint& p = design.design;
  h.raw("<h2>6 设计工况</h2>\n");
  if (design.governedBy != calc::Governing::Pressure) {
    struct Candidate {
      calc::Governing id;
      std::string what;
      std::string clause;
      std::optional<double> outlet;
    };
    const std::string req = formatFixed(design.requiredWaterColumn, 0);
    const std::vector<Candidate> candidates{
        {calc::Governing::WaterColumn,
         "充实水柱 " + f(kSk + " = max(" + esc(c.entries.waterColumn) + ", " + req + ") m"),
         "7.4.12-2",
         design.fromWaterColumn ? std::optional(design.fromWaterColumn->outletPressure)
                                : std::nullopt},
        {calc::Governing::MinFlow,
         "每支水枪最小流量 " + f(kQ) + " = " + esc(calc::numberToText(in.minFlow)) + " l/s",
         "3.5.2",
         design.fromMinFlow ? std::optional(design.fromMinFlow->outletPressure) : std::nullopt},
        {calc::Governing::MinPressure, "栓口最小动压", "7.4.12-2", design.minPressure},
    };
    h.raw(
        "<table><thead><tr><th>工况</th><th style=\"width:11%\">条文</th>"
        "<th style=\"width:30%\">所需栓口压力 " +
        kHxh + "</th><th style=\"width:9%\"></th></tr></thead>\n");
    for (const Candidate& cand : candidates) {
      const bool governs = cand.id == design.governedBy;
      h.raw(governs ? "<tr class=\"gov\">" : "<tr>").raw("<td>").raw(cand.what);
      h.raw("</td><td class=\"c\">").raw(cand.clause).raw("</td><td class=\"n\">");
      h.raw(cand.outlet ? esc(pressureText(*cand.outlet)) : "—");
      h.raw("</td><td class=\"c\">").raw(governs ? "控制" : "").raw("</td></tr>\n");
    }
    h.raw("</table>\n");
  }
  h.raw("<p>设计工况由<b>")
      .text(calc::governingWords(design.governedBy))
      .raw("</b>控制：栓口动压 ");
  h.raw(f(kHxh)).raw(" = ").text(pressureText(p.outletPressure)).raw("，喷嘴压力 ").raw(f(kHq));
  h.raw(" = ").text(formatFixed(p.nozzlePressure, 2)).raw(" m，设计流量 ").raw(f(kQ)).raw(" = ");
  h.text(formatFixed(p.flow, 2)).raw(" l/s，水带水头损失 ").raw(f(kHd)).raw(" = ");
  h.text(formatFixed(p.hoseLoss, 2)).raw(" m，充实水柱长度 ").raw(f(kSk)).raw(" = ");
  h.text(formatFixed(p.waterColumn, 1)).raw(" m。</p>\n");
}

void conclusionSection(Html& h, const calc::DesignResult& design, int number) {
  int counts[4] = {0, 0, 0, 0};
  for (const calc::DesignCheck& check : design.checks) ++counts[static_cast<int>(check.verdict)];
  const calc::HydrantPoint& p = design.design;
  h.raw("<h2>" + std::to_string(number) + " 结论</h2>\n<p>");
  h.text("按 GB 50974-2014 校核 " + std::to_string(design.checks.size()) + " 项：满足 " +
         std::to_string(counts[0]) + " 项，不满足 " + std::to_string(counts[1]) + " 项，注意 " +
         std::to_string(counts[2]) + " 项，建议 " + std::to_string(counts[3]) + " 项。");
  h.text("消火栓栓口动压按 " + formatFixed(calc::toMPa(p.outletPressure), 3) +
         " MPa 设计，单栓设计流量 " + formatFixed(p.flow, 2) + " l/s。");
  if (counts[1] > 0) {
    h.raw("<b>存在不满足项，须调整设计后重新计算。</b>");
  } else {
    h.text("各项均满足规范要求（注意、建议项见第 5 节）。");
  }
  h.raw("</p>\n");
}

}  // namespace

std::string renderSheet(const calc::Calculation& c, const calc::DesignInputs& in,
                        const calc::DesignResult& design, const SheetRequest& request) {
  Html h;
  h.raw("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>");
  h.raw("室内消火栓水力计算书");
  if (!request.project.empty()) h.raw(" — ").text(request.project);
  h.raw("</title>\n<style>").raw(kStyle).raw("</style>\n</head>\n<body>\n");
  h.raw("<h1>室内消火栓水力计算书</h1>\n");
  infoSection(h, request);
  basisSection(h, c, in);
  h.raw(request.extraBasis);
  inputSection(h, c, in);

  h.raw("<h2>4 计算过程</h2>\n");
  if (in.pressureMPa) {
    stepTable(h, pressureSteps(c, in, design));
  } else if (c.entries.flow) {
    stepTable(h, flowSteps(c, in, design));
  } else {
    stepTable(h, waterColumnSteps(c, in, design));
  }
  h.raw("<p class=\"small\">注：代入数值为各量的显示值，计算按未舍入的中间值进行，末位可能相差 1");
  // Only the window's direction rounds on the way: the flow to 0.01 l/s, the loss to 0.01 m.
  const bool roundsOnTheWay = !in.pressureMPa && !c.entries.flow;
  h.raw(roundsOnTheWay ? "；出水量取 0.01 l/s、水带水头损失取 0.01 m 后参与后续计算。</p>\n"
                       : "。</p>\n");

  checkSection(h, design);
  designSection(h, c, in, design);
  h.raw(request.extraSections);
  conclusionSection(h, design, 7 + request.extraSectionCount);
  h.raw(
      "<p class=\"foot\">本计算书由 hydrant-calc 生成。规范校核用于辅助设计人判断，"
      "不代替施工图审查。</p>\n</body>\n</html>\n");
  return h.str();
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
