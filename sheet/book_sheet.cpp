#include "sheet/book_sheet.h"

#include <cmath>

#include "calc/number_text.h"
#include "sheet/calc_sheet.h"

namespace sheet {
namespace {

using calc::formatFixed;

std::string f1(double v) { return formatFixed(v, 1); }
std::string f2(double v) { return formatFixed(v, 2); }
std::string num(double v) { return calc::numberToText(v); }
std::string esc(std::string_view text) { return escapeHtml(text); }
std::string sub(const std::string& base, const std::string& index) {
  return "<i>" + base + "</i><sub>" + index + "</sub>";
}
std::string formula(const std::string& html) { return "<span class=\"f\">" + html + "</span>"; }

// The step's title on the sheet, by check id.
std::string_view titleOf(std::string_view id) {
  static constexpr std::pair<std::string_view, std::string_view> kTitles[] = {
      {"duration", "火灾延续时间"},
      {"fullCover", "消火栓设计流量"},
      {"poolRequired", "是否设水池"},
      {"poolVolume", "水池有效容积"},
      {"poolMinimum", "水池最小容积"},
      {"refillTime", "补水时间"},
      {"poolSplit", "水池分格"},
      {"tankRequired", "高位消防水箱"},
      {"tankVolume", "水箱有效容积"},
      {"tankStatic", "水箱静压"},
      {"stabilizerFlow", "稳压泵流量"},
      {"stabilizerAutoStart", "稳压泵流量"},
      {"stabilizerStatic", "稳压泵停泵压力"},
      {"stabilizerStart", "稳压泵启泵压力"},
      {"pressureTank", "气压罐容积"},
      {"stabilizerStarts", "稳压泵启泵次数"},
      {"adapters", "水泵接合器"},
      {"pump150", "水泵 150% 流量点"},
      {"standbyPump", "备用泵"},
      {"suctionVelocity", "吸水管流速"},
      {"dischargeVelocity", "出水管流速"},
      {"gauges", "压力表量程"},
  };
  for (const auto& [key, title] : kTitles) {
    if (key == id) return title;
  }
  return id;
}

// The formula put before a step's own sentence, where the sentence does not carry it.
std::string formulaOf(std::string_view id, const calc::SystemInputs& in,
                      const calc::BookResult& b) {
  if (id == "poolVolume" && b.pool) {
    std::string h = formula("<i>V</i> = 3.6 (" + sub("q", "x") + " <i>t</i> + " + sub("q", "p") +
                            " " + sub("t", "p") + " + " + sub("q", "w") + " <i>t</i>) − " +
                            sub("q", "f") + " <i>t</i>");
    h += "，" + sub("q", "x") + " 室内消火栓、" + sub("q", "p") + " 自动喷水、" + sub("q", "w") +
         " 室外消火栓设计流量（L/s）";
    if (b.pool->refillRate > 0 && in.book.supply && in.book.supply->inletDn) {
      const calc::BookSupply& s = *in.book.supply;
      h += "；补水 " +
           formula(sub("q", "f") + " = 3600 · π/4 · <i>d</i><sup>2</sup> · <i>v</i> = 3600×π/4×" +
                   formatFixed(*s.inletDn / 1000.0, 3) + "<sup>2</sup>×" + num(s.inletVelocity) +
                   " = " + f2(b.pool->refillRate) + " m³/h") +
           "（<i>d</i> 取进水管公称直径）";
    }
    return h + "<br>";
  }
  if (id == "stabilizerStart" && b.stabilizer && b.stabilizer->proposal) {
    const calc::BookStabilizerResult& s = *b.stabilizer;
    const double stop = in.stabilizer ? in.stabilizer->stopPressure : s.stop;
    std::string h =
        "建议值（表压，MPa，稳压泵出口处；0.80 为气压罐最低与最高工作压力之比，按"
        "绝对压力计，0.10 MPa 为大气压）：" +
        formula(sub("P", "1") + " = 0.80 (" + sub("P", "2") + " + 0.10) − 0.10 = 0.80×(" +
                f2(stop) + " + 0.10) − 0.10") +
        "，向下取整到 0.01 MPa；最不利点静压大于 0.15 MPa 要求 " +
        formula(sub("P", "1") + " &gt; 0.15 + Δ<i>Z</i>/100 = 0.15 + " +
                (s.rise < 0 ? "(" + f2(s.rise) + ")" : f2(s.rise)) + "/100") +
        "，即 " + formula(sub("P", "1") + " ≥ " + f2(s.startMin)) +
        "（Δ<i>Z</i> 为最不利点高于稳压泵出口的高度，m）";
    if (s.stopRaised) {
      h += "；取 " + formula(sub("P", "1") + " = " + f2(s.start)) + "，" +
           formula(sub("P", "2") + " = (" + f2(s.start) + " + 0.10)/0.80 − 0.10") + "，向上取整 " +
           formula(sub("P", "2") + " = " + f2(s.stop)) + "，停泵压力宜提高";
    } else {
      h += "；取 " +
           formula(sub("P", "1") + " = " + f2(s.start) + "，" + sub("P", "2") + " = " + f2(s.stop));
    }
    return h + "。<br>";
  }
  if (id == "pump150") {
    const calc::BookCurve& c = b.pumpSet.curve;
    return formula("<i>H</i>(<i>Q</i>) = <i>a</i> − <i>b</i> <i>Q</i><sup><i>c</i></sup>") +
           "，<i>a</i> = " + f2(c.a) + "，<i>b</i> = " + formatFixed(c.b, 6) +
           "，<i>c</i> = " + formatFixed(c.c, 4) + "；" +
           formula("<i>H</i>(" + f2(1.5 * b.pumpSet.flow) + ") = " + f2(c.a) + " − " +
                   formatFixed(c.b, 6) + "×" + f2(1.5 * b.pumpSet.flow) + "<sup>" +
                   formatFixed(c.c, 4) + "</sup> = " + f2(b.pumpSet.point150Head) + " m") +
           "<br>";
  }
  return "";
}

}  // namespace

std::vector<EquipmentRow> bookEquipment(const calc::BookResult& b) {
  std::vector<EquipmentRow> rows;
  const calc::BookPumpSet& p = b.pumpSet;
  rows.push_back({"消防水泵", "Q = " + f2(p.flow) + " L/s，H = " + f2(p.head) + " m",
                  !p.standbyRequired   ? "1 台工作泵（备用泵按第 5.1.10 条确定）"
                  : *p.standbyRequired ? "2 台（1 用 1 备）"
                                       : "1 台"});
  if (const auto& s = b.stabilizer) {
    const std::string mark = "（建议值）";
    rows.push_back({"稳压泵",
                    "Q = " + f2(s->flow) + " L/s" + (s->flowProposed ? mark : "") +
                        "，P1 = " + f2(s->start) + " MPa" + (s->proposal ? mark : "") +
                        "，P2 = " + f2(s->stop) + " MPa" + (s->stopRaised ? mark : ""),
                    "—"});
    rows.push_back({"气压罐",
                    "有效储水容积 V = " + num(std::ceil(s->tankVolume)) + " L" +
                        (s->tankProposed ? "（建议值）" : ""),
                    "1 个"});
  }
  if (const auto& t = b.tank) {
    if (t->volume) {
      rows.push_back({"高位消防水箱", "有效容积 V = " + num(*t->volume) + " m³", "1 座"});
    } else if (t->requiredVolume) {
      rows.push_back(
          {"高位消防水箱", "有效容积 V ≥ " + num(*t->requiredVolume) + " m³（建议值）", "1 座"});
    }
  }
  if (const auto& pool = b.pool) {
    rows.push_back({"消防水池", "有效容积 V = " + f2(pool->volume) + " m³",
                    pool->twoPools           ? "2 座"
                    : pool->compartments > 1 ? "1 座（分 2 格）"
                                             : "1 座"});
  }
  if (const auto& a = b.adapters; a && (a->required || a->sprinkler)) {
    std::string figures = a->required ? "消火栓系统 " + std::to_string(a->hydrant) + " 个" : "";
    if (a->sprinkler) {
      figures += (figures.empty() ? "" : "，") + std::string("自动喷水系统 ") +
                 std::to_string(*a->sprinkler) + " 个";
    }
    rows.push_back({"水泵接合器", figures + "，每个 10–15 L/s",
                    std::to_string(a->hydrant + a->sprinkler.value_or(0)) + " 个"});
  }
  rows.push_back({"压力表",
                  "出水管 0–" + calc::formatFixed(p.dischargeGauge, 1) + " MPa，吸水管 0–" +
                      calc::formatFixed(p.suctionGauge, 1) + " MPa",
                  "每台水泵各 1 块"});
  return rows;
}

std::string renderBookBasis(const calc::SystemResult& r) {
  if (!r.book) return "";
  return "<p>消防水池、高位消防水箱与稳压设施：第 3.5.3、3.6.1、3.6.2 条（消火栓设计流量、火灾延续"
         "时间），第 4.3.1–4.3.4、4.3.6 条（消防水池），第 5.1.6、5.1.10、5.1.13、5.1.17 条（消防"
         "水泵），第 5.2.1、5.2.2、6.1.9 条（高位消防水箱），第 5.3.2–5.3.4 条（稳压泵与气压罐），"
         "第 5.4.1、5.4.3、5.4.6 条（水泵接合器）；建筑分类按《建筑设计防火规范》GB 50016-2014 "
         "第 5.1.1 条；稳压泵流量与自动启动流量的关系按《消防设施通用规范》GB 55036-2022。"
         "其中第 3.6.1、3.6.2（表）、4.3.2、4.3.3、4.3.6、5.3.2、5.3.3 条按条文释义整理，相应结论"
         "注明“条文待核”。</p>\n";
}

std::string renderBookSection(const calc::SystemInputs& in, const calc::SystemResult& r,
                              int number) {
  if (!r.book) return "";
  const calc::BookResult& b = *r.book;
  std::string h = "<h2>" + std::to_string(number) + " 消防水池、高位消防水箱与稳压设施</h2>\n";
  h += "<p>";
  if (b.use) {
    h += "建筑类别：" + esc(calc::buildingUseName(*b.use)) + "，" +
         esc(calc::buildingClassName(*b.buildingClass)) +
         (b.classDerived ? "（按建筑高度划分）" : "（设计给定）") + "，火灾延续时间 " +
         formula("<i>t</i> = " + f1(*b.duration) + " h") + "。";
  }
  h += "第 3.6.1、3.6.2（表）、4.3.2、4.3.3、4.3.6、5.3.2、5.3.3 条按条文释义整理，相应结论为"
       "“注意”并注明“条文待核”；稳压泵流量与自动启动流量的关系按《消防设施通用规范》"
       "GB 55036-2022。</p>\n";
  h += "<table><thead><tr><th style=\"width:14%\">项目</th><th>计算</th><th "
       "style=\"width:9%\">条文</th><th style=\"width:7%\">结论</th></tr></thead>\n";
  for (const calc::DesignCheck& c : b.checks) {
    h += "<tr><td>" + esc(titleOf(c.id)) + "</td><td class=\"small\">" + formulaOf(c.id, in, b) +
         esc(c.text) + "</td><td class=\"c\">" + esc(c.clause) + "</td><td class=\"c " +
         esc(calc::verdictName(c.verdict)) + "\">" + esc(calc::verdictWords(c.verdict)) +
         "</td></tr>\n";
  }
  h += "</table>\n<div class=\"keep\"><p><b>主要设备表</b></p>\n<table><thead><tr><th "
       "style=\"width:16%\">设备</th><th>参数</th><th style=\"width:26%\">数量</th></tr></thead>\n";
  for (const EquipmentRow& row : bookEquipment(b)) {
    h += "<tr><td>" + esc(row.name) + "</td><td>" + esc(row.figures) + "</td><td>" +
         esc(row.count) + "</td></tr>\n";
  }
  h += "</table></div>\n";
  return h;
}

}  // namespace sheet
