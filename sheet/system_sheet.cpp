#include "sheet/system_sheet.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "calc/number_text.h"
#include "calc/pipe_table.h"
#include "files/project_keys.h"
#include "sheet/book_sheet.h"

namespace sheet {
namespace {

using calc::formatFixed;

std::string f2(double v) { return formatFixed(v, 2); }
std::string esc(std::string_view text) { return escapeHtml(text); }
std::string num(double v) { return esc(calc::numberToText(v)); }
// A value put into a formula: negative ones in brackets.
std::string put(double v) {
  if (v >= 0) return f2(v);
  std::string text = "(";  // built up: GCC 12 misreads the concatenation as overlapping copies
  text += f2(v);
  text += ")";
  return text;
}
std::string sub(const std::string& base, const std::string& index) {
  return "<i>" + base + "</i><sub>" + index + "</sub>";
}
std::string formula(const std::string& html) { return "<span class=\"f\">" + html + "</span>"; }
std::string frac(const std::string& num, const std::string& den) {
  return "<span class=\"fr\"><span>" + num + "</span><span>" + den + "</span></span>";
}

// Tighter tables than the single-hydrant sections: a 60-storey floor table must stay short.
constexpr std::string_view kStyle =
    "<style>table.sys td,table.sys th{padding:0.3pt 3pt;font-size:8.5pt;line-height:1.25}"
    "table.sys td{text-align:right;white-space:nowrap}table.sys td.l{text-align:left}"
    "tr.flow td{font-weight:bold}svg.sys{display:block;margin:2pt auto;width:100%}"
    "p.eq{margin:2pt 0 2pt 1em}table.inp td{white-space:normal;text-align:left}</style>\n";

// v as printed with `decimals` places, read back.
double shown(double v, int decimals) {
  return calc::parseNumber(formatFixed(v, decimals)).value_or(0);
}

// The fewest places, from 2, with which `printed` (a value computed from numbers printed with
// that many places) gives `result` to 0.01: so a reviewer's recomputation gives the next line.
int placesFor(double result, const std::function<double(int)>& printed) {
  for (int places = 2; places < 6; ++places) {
    if (f2(printed(places)) == f2(result)) return places;
  }
  return 6;
}

// H_s with the places that reproduce the zero-flow head and the working pressure from it.
int selectedHeadPlaces(const calc::SystemInputs& in, const calc::SystemResult& r) {
  const double suction = std::max(in.poolMaxLevel - in.pumpElevation, 0.0);
  for (int places = 2; places < 6; ++places) {
    const double hs = shown(r.pump.selectedHead, places);
    if (f2(in.shutoffRatio * hs) == f2(r.pump.shutoffHead) &&
        f2(in.shutoffRatio * hs + suction) == f2(r.pump.shutoffHead + suction)) {
      return places;
    }
  }
  return 6;
}

void heading(std::string& h, int number, const char* title) {
  h += "<h2>" + std::to_string(number) + " " + title + "</h2>\n";
}

void methodParagraph(std::string& h, const calc::SystemInputs& in, const calc::SystemResult& r) {
  h +=
      "<p>5）《消防设施通用规范》GB "
      "55036-2022（全文强制性规范，与其他标准不一致时以其为准）；系统工作"
      "压力按其第 3.0.2 条与 GB 50974-2014 第 8.2.3 条。</p>\n"
      "<p>6）系统计算按 GB 50974-2014：第 3.5.2 条（设计流量与每根竖管最小流量），第 "
      "5.1.6、5.1.12、"
      "5.2.2、5.3.3 条（水泵、高位消防水箱、稳压泵），第 6.2.1 条（分区），第 8.1.5、8.1.8 条（立管"
      "管径、流速），第 10.1.2、10.1.6、10.1.7 条（水头损失、水泵扬程），第 10.3.1、10.3.3 条（减压"
      "孔板）。</p>\n<p class=\"small\">";
  h += "7）水头以 m 水柱计，1 MPa = 100 m，<i>g</i> = 9.81 m/s²；楼层自下而上编号 1…" +
       std::to_string(in.floors) + "，" + sub("Z", "i") + " 为第 i 层消火栓栓口标高。";
  h += "8）最不利消火栓位于第 " + std::to_string(in.floors) + " 层，其栓口动压 " + sub("H", "0") +
       " 与出流量 " + sub("q", "0") + " 取单栓设计工况。";
  h += "9）管道沿程水头损失按第 10.1.2 条海澄-威廉公式 " +
       formula("<i>j</i> = 2.9660×10<sup>−5</sup> " +
               frac("<i>q</i><sup>1.852</sup>",
                    "<i>C</i><sup>1.852</sup> " + sub("d", "j") + "<sup>4.87</sup>")) +
       "（m/m，<i>q</i> 以 L/s、" + sub("d", "j") + " 以 m 计）；局部水头损失按沿程损失的 " +
       num(in.localLoss * 100) + "% 计（第 10.1.6 条）。";
  const int n = in.riserCount;
  h += "10）管网：消防水池（定水头）—消防水泵—干管—" +
       (n == 1 ? std::string("立管底部，一根立管") + "（枝状）"
               : std::string("1 号立管底部，") + std::to_string(n) +
                     " 根立管底部以环状干管相连（间距 " + num(in.riserSpacing) + " m）" +
                     (in.topRing ? "，立管顶部设环管" : "")) +
       "；每根立管每层一个消火栓。消火栓出流时栓口动压 " +
       formula(sub("H", "k") + " + <i>k q</i><sup>2</sup>") + "（" +
       formula("<i>k</i> = 1/<i>B</i> + " + sub("A", "z") + " " + sub("L", "d")) + "，" +
       sub("H", "k") + " = 2 m 为栓口局部水头损失，经验值），设孔板时节点压力另加 " +
       formula("<i>ζ V</i><sup>2</sup>/2<i>g</i>") +
       "；全部节点水头与管段流量按梯度法（Todini–Pilati）联立求解，水头不平衡小于 10<sup>−9</sup> "
       "m、流量不平衡小于 10<sup>−9</sup> L/s 为收敛。";
  h += "11）同时出流 " + std::to_string(r.streams) + " 支水枪（每根竖管最小流量 " +
       num(in.riserMinFlow) + " L/s ÷ 每支 " + num(in.hydrant.minFlow) +
       " L/s，向上取整），第 f 层起火时为第 a…a+" + std::to_string(r.streams - 1) +
       " 层（a = min(f, " + std::to_string(in.floors - r.streams + 1) +
       ")）；设计流量的其余部分 <i>R</i> = max(<i>Q</i> − " + sub("Q", "r") + ", 0)" +
       (n == 1
            ? std::string("在立管底部取用")
            : std::string(
                  "按环上顺序 r+1、r−1、r+2…在其他立管底部取用，每根不超过每根竖管最小流量，余量在 "
                  "1 号立管底部")) +
       "，与立管出流联立求解。";
  h += "12）四种工况：① 所需扬程（第 10.1.7 "
       "条）：水泵出口取定水头，某立管最上层起火，使其最上层栓口动压恰为 " +
       sub("H", "0") + "，" +
       formula("Δ" + sub("H", "r") + " = " + sub("H", "泵出口") + " − (" + sub("Z", "n") + " + " +
               sub("H", "0") + ")") +
       "，Δ<i>H</i> 最大者为最不利立管 <i>r</i>*；② 设计工况：水泵按特性曲线运行，<i>r</i>* "
       "最上层起火，已定孔板计入；③ 各层起火：<i>r</i>* 第 f 层起火，其上方各层计入已定孔板、第 f "
       "层不设孔板，得动压 " +
       sub("D", "f") +
       "，需减压时按第 10.3.3 条定孔板（孔板按 <i>r</i>* "
       "确定，其他立管孔板后压力更高）后同一工况再解一次得孔板后动压；④ "
       "单栓：仅第 f 层一支消火栓出流（计其孔板），逐根立管计算，取最大栓口动压 " +
       sub("L", "f") +
       "。第 7.4.12 条第 1 款规定 0.50 MPa "
       "的限值而未规定计算工况，单栓工况超过时列为建议。准工作状态静压取高位消防水箱最高水位或稳压"
       "泵停泵压力折算至栓口；零流量压力取水泵零流量扬程加水池最高水位。";
  h += "13）减压孔板按第 10.3.3 条计算，孔径向上取整到 1 mm；管道内径缺省时按焊接钢管表（" +
       esc(calc::kWeldedPipeSource) + "）取值。</p>\n";
}

// Pool, pump, main, riser and one hydrant per floor, to scale vertically.
std::string diagram(const calc::SystemInputs& in, const calc::SystemResult& r) {
  const int n = in.floors;
  const double zTop = r.floors.back().elevation;
  double top = zTop + 3;
  if (in.tank) top = std::max(top, in.tank->highestLevel + 2);
  const double bottom = std::min({in.poolLevel, in.pumpElevation, in.riserBaseElevation}) - 2;
  const double height = std::clamp(10.0 * n, 200.0, 280.0);
  const double margin = 14;
  const auto y = [&](double z) { return margin + (top - z) / (top - bottom) * height; };
  const double w = 640;
  const double riserX = 330;
  const double pumpX = 120;
  // Below the lowest level: room for the pool's and the pump's labels.
  const double below = 36;
  std::string s = "<svg class=\"sys\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                  formatFixed(w, 0) + " " + formatFixed(height + margin + below, 0) +
                  "\" font-family=\"sans-serif\" font-size=\"9\">\n";
  const auto line = [&](double x1, double y1, double x2, double y2, const char* extra = "") {
    s += "<line x1=\"" + f2(x1) + "\" y1=\"" + f2(y1) + "\" x2=\"" + f2(x2) + "\" y2=\"" + f2(y2) +
         "\" stroke=\"#000\" " + extra + "/>\n";
  };
  const auto label = [&](double x, double yy, const std::string& text,
                         const char* anchor = "start") {
    s += "<text x=\"" + f2(x) + "\" y=\"" + f2(yy) + "\" text-anchor=\"" + anchor + "\">" +
         esc(text) + "</text>\n";
  };
  // Pool: its lowest and highest levels.
  const double poolTop = y(in.poolMaxLevel) - 6;
  const double poolBottom = y(in.poolLevel) + 10;
  s += "<rect x=\"20\" y=\"" + f2(poolTop) + "\" width=\"70\" height=\"" +
       f2(poolBottom - poolTop) + "\" fill=\"#e8f0ff\" stroke=\"#000\"/>\n";
  line(20, y(in.poolLevel), 90, y(in.poolLevel), "stroke-dasharray=\"3 2\"");
  label(20, poolBottom + 11, "消防水池 " + f2(in.poolLevel) + "～" + f2(in.poolMaxLevel));
  // Pump, suction from the pool, main to the riser base.
  const double pumpY = y(in.pumpElevation);
  line(90, pumpY, pumpX - 9, pumpY);
  s += "<circle cx=\"" + f2(pumpX) + "\" cy=\"" + f2(pumpY) +
       "\" r=\"9\" fill=\"#fff\" stroke=\"#000\"/>\n";
  label(pumpX - 8, pumpY + 21,
        "消防水泵 " + f2(r.pump.flow) + " L/s, " + f2(r.pump.selectedHead) + " m");
  const double baseY = y(in.riserBaseElevation);
  line(pumpX + 9, pumpY, pumpX + 30, pumpY, "stroke-width=\"2\"");
  line(pumpX + 30, pumpY, pumpX + 30, baseY, "stroke-width=\"2\"");
  line(pumpX + 30, baseY, riserX, baseY, "stroke-width=\"2\"");
  label(riserX - 70, baseY - 4,
        "干管 DN" + std::to_string(in.main.dn) + " L = " + calc::numberToText(in.mainLength) + " m",
        "middle");
  // Riser.
  line(riserX, baseY, riserX, y(zTop), "stroke-width=\"2\"");
  label(riserX - 6, (baseY + y(zTop)) / 2,
        (in.riserCount > 1 ? std::to_string(r.mostUnfavourableRiser) + " 号立管（最不利）DN"
                           : std::string("立管 DN")) +
            std::to_string(in.riser.dn),
        "end");
  // Hydrants: every floor drawn, labels thinned so they do not overlap.
  const double pitch =
      height / (top - bottom) * (zTop - r.floors.front().elevation) / std::max(n - 1, 1);
  const int every = std::max(1, static_cast<int>(std::ceil(10.5 / std::max(pitch, 0.1))));
  const int lowestFlowing = n - r.streams + 1;
  for (const calc::SystemFloor& f : r.floors) {
    const double fy = y(f.elevation);
    const bool flowing = f.floor >= lowestFlowing;
    line(riserX, fy, riserX + 24, fy);
    s += "<rect x=\"" + f2(riserX + 24) + "\" y=\"" + f2(fy - 2.5) +
         "\" width=\"8\" height=\"5\" " +
         (flowing ? "fill=\"#c00\" stroke=\"#c00\"" : "fill=\"#fff\" stroke=\"#000\"") + "/>\n";
    const bool labelled =
        f.floor == n || f.floor == 1 || (n - f.floor) % every == 0 || (f.orifice && !f.orifice->ok);
    // Flowing hydrants carry their flow; where labels are thinned the top one names them all.
    std::string text = std::to_string(f.floor) + "F  " + f2(f.elevation) + " m";
    if (f.orifice) {
      text += f.orifice->ok ? "  孔板 " + formatFixed(f.orifice->holeDiameter, 0) + " mm"
                            : "  孔径小于下限，不用孔板";
    }
    if (flowing && every == 1) text += "  出流 " + f2(r.hydrants[n - f.floor].flow) + " L/s";
    if (f.floor == n && every > 1) {
      text += "  出流 " + std::to_string(r.streams) + " 支，共 " + f2(r.riserFlow) + " L/s";
    }
    if (labelled && (!flowing || f.floor == n || every == 1)) label(riserX + 38, fy + 3, text);
  }
  if (in.tank) {
    const double tTop = y(in.tank->highestLevel);
    const double tBottom = y(in.tank->lowestLevel);
    s += "<rect x=\"" + f2(riserX - 60) + "\" y=\"" + f2(tTop - 4) + "\" width=\"44\" height=\"" +
         f2(std::max(tBottom - tTop, 4.0) + 8) + "\" fill=\"#e8f0ff\" stroke=\"#000\"/>\n";
    line(riserX - 16, tBottom + 2, riserX, tBottom + 2);
    line(riserX, tBottom + 2, riserX, y(zTop));
    label(riserX - 64, tTop + 2,
          "高位水箱 " + f2(in.tank->lowestLevel) + "～" + f2(in.tank->highestLevel), "end");
  }
  if (in.stabilizer) {
    // Beside the riser at its own elevation, piped to it.
    const double sy = y(in.stabilizer->elevation);
    const double sx = riserX - 40;
    line(sx + 6, sy, riserX, sy);
    if (sy > baseY) line(riserX, sy, riserX, baseY);
    s += "<circle cx=\"" + f2(sx) + "\" cy=\"" + f2(sy) +
         "\" r=\"6\" fill=\"#fff\" stroke=\"#000\"/>\n";
    label(sx - 9, sy + 3, "稳压泵 停泵 " + calc::numberToText(in.stabilizer->stopPressure) + " MPa",
          "end");
  }
  // Elevation axis.
  line(600, y(top), 600, y(bottom));
  // Every 10 m, or a round step wider than that which keeps the ticks to 50 whatever the span.
  double step = 10;
  while (std::isfinite(step) && (top - bottom) / step > 50) step *= 10;
  const double first = std::ceil(bottom / step) * step;
  for (int i = 0; i <= 50 && std::isfinite(first + i * step) && first + i * step <= top; ++i) {
    const double z = first + i * step;
    line(596, y(z), 600, y(z));
    label(594, y(z) + 3, formatFixed(z, 0), "end");
  }
  label(604, y(top) + 8, "m");
  s += "</svg>\n";
  return s;
}

// The ring seen unrolled: the pump and the main to riser 1's foot, the feet joined by the ring
// (back from the last to the first below them), the tops by the top ring, r* in red with ΔH.
std::string ringPlan(const calc::SystemInputs& in, const calc::SystemResult& r) {
  const int n = in.riserCount;
  const double w = 640;
  const double left = 170;
  const double pitch = std::min(110.0, (w - left - 40) / std::max(n - 1, 1));
  const double topY = 22, footY = 96, backY = 116, topBackY = 8;
  const auto x = [&](int riser) { return left + (riser - 1) * pitch; };
  std::string s = "<svg class=\"sys\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 640 " +
                  std::string(n >= 3 ? "150" : "136") +
                  "\" font-family=\"sans-serif\" font-size=\"9\">\n";
  const auto line = [&](double x1, double y1, double x2, double y2, const std::string& extra) {
    s += "<line x1=\"" + f2(x1) + "\" y1=\"" + f2(y1) + "\" x2=\"" + f2(x2) + "\" y2=\"" + f2(y2) +
         "\" " + extra + "/>\n";
  };
  const auto label = [&](double lx, double ly, const std::string& text, const char* anchor) {
    s += "<text x=\"" + f2(lx) + "\" y=\"" + f2(ly) + "\" text-anchor=\"" + anchor + "\">" +
         esc(text) + "</text>\n";
  };
  const std::string pipe = "stroke=\"#000\" stroke-width=\"2\"";
  s += "<circle cx=\"40\" cy=\"" + f2(footY) + "\" r=\"8\" fill=\"#fff\" stroke=\"#000\"/>\n";
  label(40, footY + 20, "水泵", "middle");
  line(48, footY, x(1), footY, pipe);
  label((48 + x(1)) / 2, footY - 4,
        "干管 DN" + std::to_string(in.main.dn) + " L = " + calc::numberToText(in.mainLength) + " m",
        "middle");
  const calc::PipeInputs ring = in.ring.value_or(in.main);
  line(x(1), footY, x(n), footY, pipe);
  if (n >= 3) {
    line(x(n), footY, x(n), backY, pipe);
    line(x(n), backY, x(1), backY, pipe);
    line(x(1), backY, x(1), footY, pipe);
  }
  label((x(1) + x(n)) / 2, (n >= 3 ? backY : footY) + 14,
        "环状干管 DN" + std::to_string(ring.dn) + "，间距 " + calc::numberToText(in.riserSpacing) +
            " m",
        "middle");
  if (in.topRing) {
    const std::string dashed = "stroke=\"#000\" stroke-width=\"1.5\" stroke-dasharray=\"4 2\"";
    line(x(1), topY, x(n), topY, dashed);
    if (n >= 3) {
      line(x(n), topY, x(n), topBackY, dashed);
      line(x(n), topBackY, x(1), topBackY, dashed);
      line(x(1), topBackY, x(1), topY, dashed);
    }
    label(x(n) + 8, topY + 3, "顶部环管", "start");
  }
  for (int k = 1; k <= n; ++k) {
    const bool star = k == r.mostUnfavourableRiser;
    line(x(k), topY, x(k), footY, star ? "stroke=\"#c00\" stroke-width=\"3\"" : pipe);
    label(x(k) + 4, topY + 14, std::to_string(k) + (star ? " 号 r*" : " 号"), "start");
    label(x(k) + 4, (topY + footY) / 2 + 8,
          "ΔH " + f2(r.risers[static_cast<std::size_t>(k - 1)].headLoss), "start");
  }
  s += "</svg>\n";
  return s;
}

// The pump's curve with its design point, the design duty and the lowest-flow single-hydrant
// duty.
std::string pumpPlot(const calc::SystemResult& r) {
  const calc::SystemPump& p = r.pump;
  const auto head = [&](double q) { return p.a - p.b * std::pow(std::max(q, 0.0), p.c); };
  double qMax = 1.6 * p.flow;
  const calc::SystemFloor* single = &r.floors.front();
  for (const calc::SystemFloor& f : r.floors) {
    if (f.singleHydrantFlow < single->singleHydrantFlow) single = &f;
  }
  qMax = std::max({qMax, 1.1 * p.dutyFlow, 1.1 * single->singleHydrantFlow});
  const double hMax = 1.1 * p.a;
  const double x0 = 60, y0 = 210, w = 520, h = 190;
  const auto X = [&](double q) { return x0 + q / qMax * w; };
  const auto Y = [&](double hh) { return y0 - std::max(hh, 0.0) / hMax * h; };
  std::string s =
      "<svg class=\"sys\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 640 240\" "
      "font-family=\"sans-serif\" font-size=\"9\">\n";
  s += "<path d=\"M" + f2(x0) + " " + f2(y0 - h) + " V" + f2(y0) + " H" + f2(x0 + w) +
       "\" fill=\"none\" stroke=\"#000\"/>\n";
  std::string curve;
  for (int i = 0; i <= 60; ++i) {
    const double q = qMax * i / 60;
    if (head(q) < 0) break;
    curve += (i ? " L" : "M") + f2(X(q)) + " " + f2(Y(head(q)));
  }
  s += "<path d=\"" + curve + "\" fill=\"none\" stroke=\"#00c\" stroke-width=\"1.5\"/>\n";
  const auto point = [&](double q, double hh, const char* fill, const std::string& text,
                         double dy) {
    s += "<circle cx=\"" + f2(X(q)) + "\" cy=\"" + f2(Y(hh)) + "\" r=\"3.5\" fill=\"" + fill +
         "\" stroke=\"#000\"/>\n<text x=\"" + f2(X(q) + 6) + "\" y=\"" + f2(Y(hh) + dy) + "\">" +
         esc(text) + "</text>\n";
  };
  point(p.flow, p.selectedHead, "#fff", "设计点 (" + f2(p.flow) + ", " + f2(p.selectedHead) + ")",
        -6);
  point(p.dutyFlow, p.dutyHead, "#c00", "设计工况 (" + f2(p.dutyFlow) + ", " + f2(p.dutyHead) + ")",
        16);
  point(single->singleHydrantFlow, head(single->singleHydrantFlow), "#090",
        "单栓（第 " + std::to_string(single->floor) + " 层）(" + f2(single->singleHydrantFlow) +
            ", " + f2(head(single->singleHydrantFlow)) + ")",
        -6);
  for (int i = 0; i <= 4; ++i) {
    const double q = qMax * i / 4, hh = hMax * i / 4;
    s += "<text x=\"" + f2(X(q)) + "\" y=\"" + f2(y0 + 12) + "\" text-anchor=\"middle\">" +
         formatFixed(q, 0) + "</text>\n<text x=\"" + f2(x0 - 4) + "\" y=\"" + f2(Y(hh) + 3) +
         "\" text-anchor=\"end\">" + formatFixed(hh, 0) + "</text>\n";
  }
  s += "<text x=\"" + f2(x0 + w) + "\" y=\"" + f2(y0 + 24) +
       "\" text-anchor=\"end\">Q (L/s)</text>\n<text x=\"" + f2(x0 - 4) + "\" y=\"" +
       f2(y0 - h - 6) + "\" text-anchor=\"end\">H (m)</text>\n</svg>\n";
  return s;
}

// A key's value as the table shows it, with its unit; an inner diameter says whether it is the
// welded pipe table's.
std::string keyValueText(const files::ProjectKey& key, const files::Project& project) {
  const files::KeyValue value = key.get(project);
  std::string text;
  if (const double* v = std::get_if<double>(&value)) {
    text = calc::numberToText(*v);
  } else if (const auto* list = std::get_if<std::vector<double>>(&value);
             list && key.type == files::KeyType::PointList) {
    for (std::size_t i = 0; i + 1 < list->size(); i += 2) {  // the pump curve's (Q, H) points
      if (i > 0) text += "、";
      text += "(";
      text += calc::numberToText((*list)[i]);
      text += " L/s, ";
      text += calc::numberToText((*list)[i + 1]);
      text += " m)";
    }
  } else if (const auto* list = std::get_if<std::vector<double>>(&value)) {
    text = calc::heightRuns(*list);
  } else if (const auto* t = std::get_if<std::string>(&value)) {
    text = *t;
  } else if (const bool* flag = std::get_if<bool>(&value)) {
    text = *flag ? "是" : "否";
  } else {
    return key.path() == "pump.rated_head"          ? "取计算扬程"
           : key.path() == "design.target_pressure" ? "取设计栓口动压"
           : key.path() == "riser.top_ring"         ? "否"
           : key.path() == "pump.curve"             ? "按选用扬程和零流量扬程比"
           : key.name.starts_with("ring_")          ? "同干管"
                                                    : "—";
  }
  if (!key.unit.empty()) text += " " + std::string(key.unit);
  if (key.name == "inner_diameter") {
    const calc::PipeInputs& pipe =
        key.section == "riser" ? project.inputs.riser : project.inputs.main;
    const auto row = calc::weldedSteelPipe(pipe.dn);
    text += row && row->innerDiameter == pipe.innerDiameter ? "（焊接钢管表）" : "（输入）";
  }
  return esc(text);
}

// Every input of the system's numbers, as the project file's keys name them, three to a row.
void inputSection(std::string& h, const calc::SystemInputs& in, int number) {
  heading(h, number, "系统输入参数");
  const files::Project project{{}, in};
  std::vector<std::string> cells;
  for (const files::ProjectKey& k : files::projectKeys()) {
    if (k.section == "project" || k.section == "hydrant" || k.need == files::Need::Alias ||
        !files::sectionPresent(project, k.section)) {
      continue;
    }
    // Optional keys left out stay out (the calculation book's, for one), except those whose
    // absence decides a number.
    const bool decides = k.path() == "pump.rated_head" || k.path() == "design.target_pressure";
    if (!decides && std::holds_alternative<std::monostate>(k.get(project))) continue;
    // Riser and main share their captions; so do the tank's and the stabiliser's levels.
    const bool shared = k.section == "riser" || k.section == "main" || k.section == "tank" ||
                        k.section == "stabilizer";
    const std::string_view section = files::findProjectSection(k.section)->caption;
    std::string caption =
        (shared && !k.caption.starts_with(section.substr(0, 6)) ? esc(section) + " " : "") +
        esc(k.caption);
    if (!k.clause.empty()) caption += "<span class=\"small\">（" + esc(k.clause) + "）</span>";
    cells.push_back("<td class=\"l\">" + caption + "</td><td class=\"l\">" +
                    keyValueText(k, project) + "</td>");
  }
  h += "<table class=\"sys inp\"><thead><tr>";
  for (int i = 0; i < 3; ++i) h += "<th>参数（条文）</th><th>取值</th>";
  h += "</tr></thead>\n";
  for (std::size_t i = 0; i < cells.size(); i += 3) {
    h += "<tr>";
    for (std::size_t j = i; j < i + 3; ++j) h += j < cells.size() ? cells[j] : "<td></td><td></td>";
    h += "</tr>\n";
  }
  h += "</table>\n";
}

void segmentSection(std::string& h, const calc::SystemInputs& in, const calc::SystemResult& r,
                    int number) {
  heading(h, number, "最不利立管与管段水力计算");
  if (in.riserCount > 1) {
    h += "<p>所需扬程工况（工况①）各立管：";
    for (const calc::SystemRiser& x : r.risers) {
      h += std::string(x.riser > 1 ? "，" : "") + std::to_string(x.riser) +
           " 号 Δ<i>H</i> = " + f2(x.headLoss) + " m";
    }
    h += "；最不利立管 <i>r</i>* = <b>" + std::to_string(r.mostUnfavourableRiser) +
         " 号</b>（Δ<i>H</i> 最大）。管段为 <i>r</i>* "
         "最上层消火栓的来水，自该点沿每个节点来水最多的管段追溯至水泵出口。</p>\n";
  }
  h += "<p class=\"lead\">工况①的立管出流（枝状管网中与逐层推算相同）：" +
       formula(sub("H", "i") + " = " + sub("H", "i+1") +
               " + Δ<i>z</i> + (1 + <i>λ</i>) <i>j</i>(<i>Q</i>) Δ<i>z</i>") +
       "，" +
       formula(sub("q", "i") + " = √(" +
               frac(sub("H", "i") + " − " + sub("H", "k"),
                    "1/<i>B</i> + " + sub("A", "z") + " " + sub("L", "d")) +
               ")") +
       "，" + sub("H", "k") +
       " = 2 m 为消火栓栓口局部水头损失。</p>\n<table "
       "class=\"sys\"><thead><tr><th>楼层</th><th>标高 (m)</th><th>栓口动压 "
       "(m)</th><th>出流量 (L/s)</th></tr></thead>\n";
  for (const calc::SystemHydrant& y : r.hydrants) {
    h += "<tr class=\"flow\"><td>" + std::to_string(y.floor) + "</td><td>" + f2(y.elevation) +
         "</td><td>" + f2(y.outletPressure) + "</td><td>" + f2(y.flow) + "</td></tr>\n";
  }
  h += "</table>\n<p class=\"lead\">立管流量 " + formula(sub("Q", "r") + " = Σ" + sub("q", "i")) +
       " = " + f2(r.riserFlow) + " L/s；其余 " +
       formula("<i>R</i> = max(" + num(in.designFlow) + " − " + f2(r.riserFlow) + ", 0)") + " = " +
       f2(r.otherFlow) + " L/s；水泵流量 " +
       formula(sub("Q", "p") + " = " + sub("Q", "r") + " + <i>R</i>") + " = " + f2(r.pump.flow) +
       " L/s。</p>\n";
  h += "<table class=\"sys\"><thead><tr><th>管段</th><th>流量 (L/s)</th><th>内径 "
       "(mm)</th><th>流速 "
       "(m/s)</th>"
       "<th>水力坡降 <i>j</i></th><th>长度 (m)</th><th>沿程 (m)</th><th>局部 "
       "(m)</th></tr></thead>\n";
  for (const calc::SystemSegment& s : r.segments) {
    h += "<tr><td class=\"l\">" + esc(s.name) + "</td><td>" + f2(s.flow) + "</td><td>" +
         num(s.innerDiameter) + "</td><td>" + f2(s.velocity) + "</td><td>" +
         formatFixed(s.gradient, 5) + "</td><td>" + f2(s.length) + "</td><td>" + f2(s.friction) +
         "</td><td>" + f2(s.local) + "</td></tr>\n";
  }
  h += "<tr><td class=\"l\">合计</td><td></td><td></td><td></td><td></td><td></td><td>" +
       f2(r.pump.friction) + "</td><td>" + f2(r.pump.local) + "</td></tr>\n</table>\n";
}

void pumpSection(std::string& h, const calc::SystemInputs& in, const calc::SystemResult& r,
                 int number) {
  h += "<div class=\"keep\">";  // the heading and 10.1.7 stay with their substitution
  heading(h, number, "消防水泵扬程与系统工作压力");
  const double zn = r.floors.back().elevation;
  const int lossPlaces = placesFor(r.pump.head, [&](int places) {
    return in.k2 * (shown(r.pump.friction, places) + shown(r.pump.local, places)) + zn -
           in.poolLevel + shown(r.design.design.outletPressure, 2);
  });
  h +=
      "<p>第 10.1.7 条：" +
      formula(sub("H", "p") + " = " + sub("k", "2") + "(Σ" + sub("h", "f") + " + Σ" +
              sub("h", "p") + ") + (" + sub("Z", "n") + " − " + sub("Z", "池") + ") + " +
              sub("H", "0")) +
      "</p>\n<p class=\"eq\">" +
      formula("= " + num(in.k2) + "×(" + formatFixed(r.pump.friction, lossPlaces) + " + " +
              formatFixed(r.pump.local, lossPlaces) + ") + (" + f2(zn) + " − " + put(in.poolLevel) +
              ") + " + f2(r.design.design.outletPressure) + " = <b>" + f2(r.pump.head) + " m</b>") +
      "（" + formatFixed(r.pump.head / 100, 3) + " MPa）</p></div>\n";
  const calc::SystemPump& p = r.pump;
  // a, b, c with the digits that make the curve give the printed H_s at Q_p.
  std::string a, b, c;
  for (int digits = 2; digits <= 9; ++digits) {
    a = formatFixed(p.a, digits);
    b = formatFixed(p.b, digits + 2);
    c = formatFixed(p.c, digits + 2);
    const double at =
        calc::parseNumber(a).value_or(0) -
        calc::parseNumber(b).value_or(0) *
            std::pow(calc::parseNumber(f2(p.flow)).value_or(0), calc::parseNumber(c).value_or(1));
    if (f2(at) == f2(p.selectedHead)) break;
  }
  if (in.pumpCurve.size() == 3) {
    h += "<p>水泵特性曲线（给定三点 ";
    for (std::size_t i = 0; i < 3; ++i) {
      h += std::string(i ? "、" : "") + "(" + num(in.pumpCurve[i].flow) + ", " +
           num(in.pumpCurve[i].head) + ")";
    }
    h += "）：";
  } else {
    h += "<p>选用扬程 " + formula(sub("H", "s")) + " = " + f2(p.selectedHead) + " m" +
         (in.ratedHead ? "（给定）" : "（取计算扬程）") + "；水泵特性曲线过 (0, " +
         num(in.shutoffRatio) + " " + sub("H", "s") + ")、(" + sub("Q", "p") + ", " +
         sub("H", "s") + ")、(1.5 " + sub("Q", "p") + ", 0.65 " + sub("H", "s") +
         ")（第 5.1.6 条第 4、5 款）：";
  }
  h += formula("<i>H</i> = " + a + " − " + b + " <i>Q</i><sup>" + c + "</sup>") + "，" +
       formula(sub("H", "s") + " = <i>H</i>(" + f2(p.flow) + ") = " + f2(p.selectedHead) + " m") +
       "，零流量扬程 " + f2(p.shutoffHead) + " m。设计工况（工况②）水泵工作点 (" + f2(p.dutyFlow) +
       " L/s, " + f2(p.dutyHead) + " m)，出流消火栓：";
  for (std::size_t i = 0; i < r.designHydrants.size(); ++i) {
    const calc::SystemHydrant& y = r.designHydrants[i];
    h += std::string(i ? "，" : "") + "第 " + std::to_string(y.floor) + " 层 " +
         f2(y.outletPressure) + " m、" + f2(y.flow) + " L/s";
  }
  h += "。</p>\n" + pumpPlot(r);
  // 8.2.3 at the pump outlet: the suction static counts only where the pool stands above it.
  const double suction = std::max(in.poolMaxLevel - in.pumpElevation, 0.0);
  h += "<p>系统工作压力（第 8.2.3 条、GB 55036-2022 第 3.0.2 条），在水泵出口（标高 " +
       f2(in.pumpElevation) + " m）处：" +
       formula(sub("P", "w") + " = " +
               (in.pumpCurve.empty()
                    ? num(in.shutoffRatio) + "×" +
                          formatFixed(r.pump.selectedHead, selectedHeadPlaces(in, r))
                    : f2(r.pump.shutoffHead)) +
               " + max(" + put(in.poolMaxLevel) + " − " + put(in.pumpElevation) +
               ", 0) = " + f2(r.pump.shutoffHead + suction) + " m");
  if (in.stabilizer) {
    const double atPump = calc::stabilizerPressureAt(in, in.pumpElevation);
    h += "；稳压泵停泵压力 " + num(in.stabilizer->stopPressure) + " MPa 在其出口（标高 " +
         f2(in.stabilizer->elevation) + " m），折算至水泵出口 " +
         formula(f2(100 * in.stabilizer->stopPressure) + " + (" + put(in.stabilizer->elevation) +
                 " − " + put(in.pumpElevation) + ") = " + f2(atPump) + " m") +
         "，取两者较大值";
  }
  h += "，<b>" + sub("P", "w") + " = " + f2(r.workingPressure) + " m（" +
       formatFixed(r.workingPressure / 100, 3) + " MPa）</b>。</p>\n";
}

void floorSection(std::string& h, const calc::SystemInputs& in, const calc::SystemResult& r,
                  int number) {
  heading(h, number, "各层消火栓栓口压力与减压");
  h += "<p class=\"lead\">动压 " + sub("D", "f") +
       "：<i>r</i>* 第 f "
       "层起火（工况③）时该层的栓口动压；孔板后动压：设所定孔板后同一工况的栓口动压；单栓 " +
       sub("L", "f") + "：仅该层一支消火栓出流（工况④）时各立管中最大的栓口动压" +
       (in.riserCount > 1 ? std::string("（括号内为其立管）") : std::string()) + "。";
  if (in.tank || in.stabilizer) {
    h += "静压 " + formula(sub("S", "i")) + " 取" +
         (in.tank ? "高位水箱最高水位 " + f2(in.tank->highestLevel) + " m" : "") +
         (in.tank && in.stabilizer ? "与" : "") +
         (in.stabilizer ? "稳压泵停泵压力 " + num(in.stabilizer->stopPressure) + " MPa" : "") +
         "至栓口的压力。";
  }
  h += "减压：动压 &gt; 50 m 应减压，&gt; 70 m 必须减压（第 7.4.12 条第 1 款）；孔板后目标动压 " +
       formula(sub("H", "t")) + " = " + f2(r.targetPressure) + " m。</p>\n";
  h += "<table class=\"sys\"><thead><tr><th>楼层</th><th>标高 (m)</th><th>静压 "
       "(m)</th><th>零流量压力 (m)</th>"
       "<th>动压 (m)</th><th>减压</th><th>计算孔径 (mm)</th><th>孔板孔径 (mm)</th><th>减压后动压 "
       "(m)</th><th>单栓动压 (m)</th></tr></thead>\n";
  for (auto it = r.floors.rbegin(); it != r.floors.rend(); ++it) {
    const calc::SystemFloor& f = *it;
    const bool flowing = f.floor > in.floors - r.streams;
    h += std::string(flowing ? "<tr class=\"flow\">" : "<tr>") + "<td>" + std::to_string(f.floor) +
         "</td><td>" + f2(f.elevation) + "</td><td>" +
         (f.staticPressure ? f2(*f.staticPressure) : "—") + "</td><td>" + f2(f.zeroFlowPressure) +
         "</td><td>" + f2(f.dynamicPressure) + "</td><td class=\"l\">" +
         esc(calc::reducingWords(f.reducing)) + "</td>";
    if (f.orifice) {
      // A plate below 10.3.1's limit may not be used: no pressure behind it.
      h += "<td>" + calc::holeDigits(*f.orifice) + "</td><td>" +
           formatFixed(f.orifice->holeDiameter, 0) + (f.orifice->ok ? "" : " *") + "</td><td>" +
           (f.orifice->ok ? f2(f.orifice->afterPressure) : "— *") + "</td>";
    } else {
      h += "<td>—</td><td>—</td><td>—</td>";
    }
    h += "<td>" + f2(f.singleHydrantPressure) +
         (in.riserCount > 1 ? "（" + std::to_string(f.singleHydrantRiser) + "）" : std::string()) +
         "</td></tr>\n";
  }
  bool anyPlate = false;
  bool anySmall = false;
  for (const calc::SystemFloor& f : r.floors) {
    anyPlate = anyPlate || f.orifice;
    anySmall = anySmall || (f.orifice && !f.orifice->ok);
  }
  const double dj = in.branchInnerDiameter;
  h += "</table>\n<p class=\"small\">粗体为出流消火栓。";
  if (anySmall) {
    h += "* 孔径小于第 10.3.1 条下限 " + formatFixed(calc::minHoleDiameter(dj), 1) + " mm（" +
         sub("d", "j") + " = " + num(dj) + " mm 的 30% = " + formatFixed(0.3 * dj, 1) +
         " mm，且不小于 20 "
         "mm），该层不应采用减压孔板，不列减压后动压；应采用减压稳压消火栓，或按第 "
         "6.2.4 条设减压阀分区。";
  }
  h += "</p>\n";
  if (!anyPlate) return;

  // 10.3.3 substituted for the floor with the highest dynamic pressure whose plate may be
  // used; when none may, for the highest of all.
  const calc::SystemFloor* worst = nullptr;
  for (const calc::SystemFloor& f : r.floors) {
    if (!f.orifice) continue;
    const bool better =
        !worst || (f.orifice->ok && !worst->orifice->ok) ||
        (f.orifice->ok == worst->orifice->ok && f.dynamicPressure > worst->dynamicPressure);
    if (better) worst = &f;
  }
  const calc::OrificePlate& p = *worst->orifice;
  // V with the digits that make 2g·ΔH/V² give the printed ζ.
  const std::string loss = f2(p.lossToTake);
  const std::string zeta = formatFixed(p.zeta, 1);
  std::string v;
  for (int digits = 3; digits <= 6; ++digits) {
    v = formatFixed(p.velocity, digits);
    const double shownV = calc::parseNumber(v).value_or(0);
    const double shownLoss = calc::parseNumber(loss).value_or(0);
    if (formatFixed(2 * 9.81 * shownLoss / (shownV * shownV), 1) == zeta) break;
  }
  h += "<div class=\"keep\"><p>减压孔板（第 10.3.3 条），第 " + std::to_string(worst->floor) +
       " 层，支管内径 " + formula(sub("d", "j")) + " = " + num(dj) + " mm：</p>\n<p class=\"eq\">" +
       formula(sub("q", "t") + " = √(" +
               frac(f2(r.targetPressure) + " − 2",
                    "1/<i>B</i> + " + sub("A", "z") + " " + sub("L", "d")) +
               ") = " + f2(p.flow) + " L/s，<i>V</i> = " +
               frac("4 " + sub("q", "t"), "π " + sub("d", "j") + "<sup>2</sup>") + " = " + v +
               " m/s，Δ<i>H</i> = " + f2(worst->dynamicPressure) + " − " + f2(r.targetPressure) +
               " = " + loss + " m") +
       "</p>\n<p class=\"eq\">" +
       formula("<i>ζ</i> = " + frac("2<i>g</i> Δ<i>H</i>", "<i>V</i><sup>2</sup>") + " = " +
               frac("2×9.81×" + loss, v + "<sup>2</sup>") + " = " + zeta) +
       "，由 " +
       formula("<i>ζ</i> = [1.75 " +
               frac(sub("d", "j") + "<sup>2</sup>", sub("d", "k") + "<sup>2</sup>") + " · " +
               frac("1.1 − " + sub("d", "k") + "<sup>2</sup>/" + sub("d", "j") + "<sup>2</sup>",
                    "1.175 − " + sub("d", "k") + "<sup>2</sup>/" + sub("d", "j") + "<sup>2</sup>") +
               " − 1]<sup>2</sup>") +
       " 解得 " + formula(sub("d", "k") + "/" + sub("d", "j") + " = " + formatFixed(p.ratio, 4)) +
       "</p>\n<p class=\"eq\">" +
       formula("孔径 = " + formatFixed(p.ratio, 4) + "×" + num(dj) +
               " + 1 = " + calc::holeDigits(p) + " mm") +
       "，取 <b>" + formatFixed(p.holeDiameter, 0) + " mm</b>" +
       (p.ok ? "，孔板后动压 " + f2(p.afterPressure) + " m。"
             : "，小于第 10.3.1 条下限 " + formatFixed(calc::minHoleDiameter(dj), 1) +
                   " mm，不应采用减压孔板。") +
       "</p></div>\n";
}

void checkSection(std::string& h, const calc::SystemResult& r, int number) {
  h += "<div class=\"keep\">";
  heading(h, number, "系统校核（GB 50974-2014）");
  h += "<table><thead><tr><th style=\"width:12%\">条文</th><th style=\"width:15%\">要求</th>"
       "<th style=\"width:15%\">设计值</th><th "
       "style=\"width:8%\">结论</th><th>说明</th></tr></thead>\n";
  for (const calc::DesignCheck& c : r.checks) {
    h += "<tr><td class=\"c\">" + esc(c.clause) + "</td><td>" + esc(c.requirement) + "</td><td>" +
         esc(c.value) + "</td><td class=\"c " + esc(calc::verdictName(c.verdict)) + "\">" +
         esc(calc::verdictWords(c.verdict)) + "</td><td class=\"small\">" + esc(c.text) +
         "</td></tr>\n";
  }
  h += "</table></div>\n";
}

// The system's results in one paragraph for the conclusion (HTML).
std::string systemConclusion(const calc::SystemInputs& in, const calc::SystemResult& r) {
  std::vector<int> plates, hydrants, unreduced;
  for (const calc::SystemFloor& f : r.floors) {
    if (f.reducing == calc::Reducing::None) continue;
    if (!f.orifice) {
      unreduced.push_back(f.floor);
    } else {
      (f.orifice->ok ? plates : hydrants).push_back(f.floor);
    }
  }
  bool zoning = false;
  for (const calc::DesignCheck& c : r.checks) {
    zoning = zoning || (c.id == "zoning" && c.verdict == calc::Verdict::Fail);
  }
  std::string h = "系统：消防水泵流量 " + f2(r.pump.flow) + " L/s，扬程 " +
                  f2(r.pump.selectedHead) + " m（" +
                  (in.ratedHead ? "选用，计算扬程 " + f2(r.pump.head) + " m" : "取计算扬程") +
                  "）；水泵出口系统工作压力 " + formatFixed(r.workingPressure / 100, 3) + " MPa；" +
                  (zoning ? "<b>应分区供水</b>" : "不分区") + "；";
  if (plates.empty() && hydrants.empty() && unreduced.empty()) {
    h += "各层栓口动压均不大于 0.50 MPa，无需减压。";
    return h;
  }
  std::string how;
  if (!plates.empty()) how = "第 " + calc::floorList(plates) + " 层设减压孔板";
  if (!hydrants.empty()) {
    how += (how.empty() ? "" : "，") + std::string("第 ") + calc::floorList(hydrants) +
           " 层孔板孔径小于第 10.3.1 条下限，应采用减压稳压消火栓或设减压阀分区";
  }
  if (!unreduced.empty()) {
    how += (how.empty() ? "" : "，") + std::string("第 ") + calc::floorList(unreduced) +
           " 层应设减压稳压消火栓";
  }
  return h + "栓口动压大于 0.50 MPa 的楼层：" + how + "。";
}

}  // namespace

std::string systemDiagram(const calc::SystemInputs& inputs, const calc::SystemResult& result) {
  return diagram(inputs, result);
}

std::string renderSystemBasis(const calc::SystemInputs& in, const calc::SystemResult& r) {
  std::string h(kStyle);
  methodParagraph(h, in, r);
  return h;
}

std::string renderSystemSections(const calc::SystemInputs& in, const calc::SystemResult& r,
                                 int first) {
  std::string h;
  inputSection(h, in, first);
  heading(h, first + 1, "系统计算简图");
  h += diagram(in, r);
  if (in.riserCount > 1) h += ringPlan(in, r);
  segmentSection(h, in, r, first + 2);
  pumpSection(h, in, r, first + 3);
  floorSection(h, in, r, first + 4);
  checkSection(h, r, first + 5);
  h += renderBookSection(in, r, first + kSystemSectionCount);
  return h;
}

calc::Result<std::string> makeSystemSheet(const calc::SystemInputs& in, SheetRequest request) {
  const auto result = calc::calculateSystem(in);
  if (!result.ok()) return result.error();
  const calc::DesignInputs& h = in.hydrant;
  request.entries.hoseLength = calc::numberToText(h.hoseLength);
  request.entries.material = h.material;
  request.entries.hoseDiameter = h.hoseDiameter;
  request.entries.nozzle = calc::numberToText(h.nozzle);
  request.entries.waterColumn = calc::numberToText(h.waterColumn);
  request.entries.flow.reset();
  request.entries.width.clear();
  request.design.occupancy = h.occupancy;
  request.design.streams = h.streams;
  request.design.minFlow = h.minFlow;
  request.design.pressureMPa.reset();
  request.extraBasis = renderSystemBasis(in, result.value()) + renderBookBasis(result.value());
  request.extraSections = renderSystemSections(in, result.value(), 7);
  request.extraSectionCount = kSystemSectionCount + (result.value().book ? 1 : 0);
  request.extraChecks = result.value().checks;
  request.extraConclusion = systemConclusion(in, result.value());
  return makeSheet(request);
}

}  // namespace sheet
