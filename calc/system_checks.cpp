// The system's checks. Clauses whose text has been read give 满足 or 不满足; those whose
// text has not been confirmed give at most 注意 and say 条文待核, so that a failure is never
// claimed from a clause quoted from memory.

#include <algorithm>
#include <string>
#include <vector>

#include "calc/number_text.h"
#include "calc/system.h"

namespace calc {
namespace {

constexpr double kOnLimit = 1e-9;         // m: within this of a limit counts as on it
constexpr double kReduceAbove = 50;       // 7.4.12-1: 0.50 MPa
constexpr double kReduceMandatory = 70;   // 7.4.12-1: 0.70 MPa
constexpr double kMaxStatic = 100;        // 6.2.1: 1.0 MPa standby static at an outlet
constexpr double kMaxWorking = 240;       // 6.2.1: 2.40 MPa system working pressure
constexpr double kAdvisedVelocity = 2.5;  // 8.1.8, m/s
constexpr double kMaxVelocity = 7;        // 8.1.8, m/s
constexpr int kMinRiserDn = 100;          // 8.1.5
constexpr double kStabilizerStatic = 15;  // 5.3.3: standby static at the worst outlet, m
constexpr double kThickPipe = 120;        // above 1.20 MPa: thicker welded or seamless pipe
constexpr double kSeamlessPipe = 160;     // above 1.60 MPa: seamless pipe
constexpr const char* kUnconfirmed = "（条文待核）";

std::string plain(double v) { return numberToText(v); }
std::string metres(double m) { return formatFixed(m, 2) + " m"; }
std::string mpa(double m) { return formatFixed(m / 100, 3) + " MPa"; }
std::string elevation(double z) { return "标高 " + formatFixed(z, 2) + " m"; }

DesignCheck check(std::string id, std::string clause, Verdict verdict, std::string requirement,
                  std::string value, std::string text, std::string remedy = {}) {
  return {std::move(id),    std::move(clause), verdict,          std::move(requirement),
          std::move(value), std::move(text),   std::move(remedy)};
}

struct Context {
  const SystemInputs& in;
  const SystemResult& r;
  double top;  // Z_n, the most unfavourable outlet, m
};

// 6.2.1: the standby static is largest at the lowest outlet; the working pressure is the
// pump outlet's.
DesignCheck zoning(const Context& x) {
  const SystemFloor& low = x.r.floors.front();
  const std::optional<double>& s = low.staticPressure;
  const bool staticHigh = s && *s > kMaxStatic + kOnLimit;
  const bool workingHigh = x.r.workingPressure > kMaxWorking + kOnLimit;
  const std::string at = "第 1 层栓口（" + elevation(low.elevation) + "）";
  const std::string working =
      "水泵出口（" + elevation(x.in.pumpElevation) + "）系统工作压力 " + mpa(x.r.workingPressure);
  std::string value =
      (s ? "静压 " + mpa(*s) : std::string("静压未知")) + "，工作压力 " + mpa(x.r.workingPressure);
  std::string requirement = "静压 ≤ 1.0 MPa，工作压力 ≤ 2.40 MPa";
  if (staticHigh || workingHigh) {
    std::string why = staticHigh ? at + "准工作状态静压 " + mpa(*s) + " 大于 1.0 MPa" : "";
    if (workingHigh) why += (staticHigh ? "，" : "") + working + " 大于 2.40 MPa";
    return check("zoning", "6.2.1", Verdict::Fail, requirement, value, why + "，应分区供水。",
                 "应分区供水");
  }
  if (!s) {
    return check(
        "zoning", "6.2.1", Verdict::Note, requirement, value,
        "未给出高位消防水箱或稳压泵，无法计算准工作状态静压；" + working + " 不大于 2.40 MPa。");
  }
  return check("zoning", "6.2.1", Verdict::Pass, requirement, value,
               at + "准工作状态静压 " + mpa(*s) + " 不大于 1.0 MPa，" + working +
                   " 不大于 2.40 MPa，可不分区。");
}

DesignCheck suction(const Context& x) {
  const double above = x.in.pumpElevation - x.in.poolLevel;
  const std::string value = "泵轴 " + formatFixed(x.in.pumpElevation, 2) + " m，水池 " +
                            formatFixed(x.in.poolLevel, 2) + " m";
  if (above > kOnLimit) {
    return check("suction", "5.1.12-1", Verdict::Note, "自灌式吸水", value,
                 "水泵轴线高于消防水池最低有效水位 " + metres(above) +
                     "，不能自灌吸水；消防水泵应采用自灌式吸水" + kUnconfirmed + "。",
                 "消防水泵应采用自灌式吸水（降低水泵或提高水池最低有效水位）");
  }
  return check("suction", "5.1.12-1", Verdict::Note, "自灌式吸水", value,
               std::string("水泵轴线不高于消防水池最低有效水位，可自灌吸水") + kUnconfirmed + "。");
}

DesignCheck reducing(const Context& x) {
  std::vector<int> required, mandatory;
  const SystemFloor* worst = &x.r.floors.front();
  for (const SystemFloor& f : x.r.floors) {
    if (f.reducing == Reducing::Mandatory) mandatory.push_back(f.floor);
    if (f.reducing == Reducing::Required) required.push_back(f.floor);
    if (f.dynamicPressure > worst->dynamicPressure) worst = &f;
  }
  const std::string value = "最大 " + mpa(worst->dynamicPressure);
  if (required.empty() && mandatory.empty()) {
    return check("reducing", "7.4.12-1", Verdict::Pass, "栓口动压 ≤ 0.50 MPa", value,
                 "各层消火栓栓口动压均不大于 0.50 MPa，无需减压。");
  }
  std::string text;
  if (!mandatory.empty()) {
    text = "第 " + floorList(mandatory) + " 层栓口动压大于 0.70 MPa，必须设置减压装置";
  }
  if (!required.empty()) {
    text += (text.empty() ? "" : "；") + std::string("第 ") + floorList(required) +
            " 层栓口动压大于 0.50 MPa，应设减压装置";
  }
  return check("reducing", "7.4.12-1", Verdict::Note, "栓口动压 ≤ 0.50 MPa", value,
               text + "。减压见各层压力表。");
}

// 10.3.1: a plate whose hole is below the limit may not be used.
DesignCheck orifice(const Context& x) {
  const double dj = x.in.branchInnerDiameter;
  const std::string limit = formatFixed(minHoleDiameter(dj), 1) + " mm";
  // "20.4 mm（d_j = 68 mm 的 30% = 20.4 mm，且不小于 20 mm）"
  const std::string rule = limit + "（d_j = " + plain(dj) +
                           " mm 的 30% = " + formatFixed(0.3 * dj, 1) + " mm，且不小于 20 mm）";
  std::vector<int> small;
  bool any = false;
  for (const SystemFloor& f : x.r.floors) {
    if (!f.orifice) continue;
    any = true;
    if (!f.orifice->ok) small.push_back(f.floor);
  }
  const std::string requirement = "孔径 ≥ " + limit;
  if (!any) {
    return check("orifice", "10.3.1", Verdict::NotApplicable, requirement, "无孔板",
                 "各层无需设置减压孔板。");
  }
  if (small.empty()) {
    return check("orifice", "10.3.1", Verdict::Pass, requirement, "均满足",
                 "各减压孔板孔径均不小于下限 " + rule + "。");
  }
  const std::string remedy = "应采用减压稳压消火栓，或按第 6.2.4 条设减压阀分区";
  return check("orifice", "10.3.1", Verdict::Fail, requirement,
               "第 " + floorList(small) + " 层不满足",
               "第 " + floorList(small) + " 层所需孔板孔径小于下限 " + rule +
                   "，不应采用减压孔板；" + remedy + "。",
               "第 " + floorList(small) + " 层" + remedy);
}

// 7.4.12 on the outlets behind the plates that may be used.
DesignCheck afterPlates(const Context& x) {
  std::vector<int> low, high;
  bool any = false;
  bool plates = false;
  for (const SystemFloor& f : x.r.floors) {
    plates = plates || f.orifice;
    if (!f.orifice || !f.orifice->ok) continue;
    any = true;
    if (f.orifice->afterPressure < x.r.design.minPressure - kOnLimit) low.push_back(f.floor);
    if (f.orifice->afterPressure > kReduceAbove + kOnLimit) high.push_back(f.floor);
  }
  const std::string range = formatFixed(x.r.design.minPressure / 100, 2) + "–0.50 MPa";
  const std::string clause = "7.4.12-1/-2";
  if (!any) {
    return check("orificePressure", clause, Verdict::NotApplicable, range,
                 plates ? "无可用孔板" : "无孔板",
                 plates ? "无可采用的减压孔板。" : "各层无需设置减压孔板。");
  }
  if (low.empty() && high.empty()) {
    return check("orificePressure", clause, Verdict::Pass, range, "均满足",
                 "孔板减压后栓口动压均在 " + range + " 之间。");
  }
  std::string text;
  if (!high.empty()) text = "第 " + floorList(high) + " 层孔板后栓口动压大于 0.50 MPa（第 1 款）";
  if (!low.empty()) {
    text += (text.empty() ? "" : "；") + std::string("第 ") + floorList(low) +
            " 层孔板后栓口动压小于 " + formatFixed(x.r.design.minPressure / 100, 2) +
            " MPa（第 2 款）";
  }
  std::vector<int> all = low;
  all.insert(all.end(), high.begin(), high.end());
  std::sort(all.begin(), all.end());
  return check("orificePressure", clause, Verdict::Fail, range,
               "第 " + floorList(all) + " 层不满足", text + "，应调整孔板孔径。",
               "第 " + floorList(all) + " 层应调整孔板孔径");
}

DesignCheck riserSize(const Context& x) {
  const int dn = x.in.riser.dn;
  const std::string value = "DN" + std::to_string(dn);
  if (dn >= kMinRiserDn) {
    return check("riserSize", "8.1.5", Verdict::Pass, "≥ DN100", value,
                 "立管管径 " + value + "，不小于 DN100。");
  }
  return check("riserSize", "8.1.5", Verdict::Fail, "≥ DN100", value,
               "室内消火栓竖管管径不应小于 DN100，当前为 " + value + "。", "立管应不小于 DN100");
}

DesignCheck velocity(const Context& x) {
  const SystemSegment* fastest = &x.r.segments.front();
  for (const SystemSegment& s : x.r.segments) {
    if (s.velocity > fastest->velocity) fastest = &s;
  }
  const double v = fastest->velocity;
  const std::string value = fastest->name + " " + formatFixed(v, 2) + " m/s";
  const std::string requirement = "≤ 2.5 m/s，不应 > 7 m/s";
  if (v > kMaxVelocity + kOnLimit) {
    return check("velocity", "8.1.8", Verdict::Fail, requirement, value,
                 value + "，大于 7 m/s，应加大管径。", fastest->name + "应加大管径");
  }
  if (v > kAdvisedVelocity + kOnLimit) {
    return check("velocity", "8.1.8", Verdict::Advice, requirement, value,
                 value + "，大于 2.5 m/s，宜加大管径。");
  }
  return check("velocity", "8.1.8", Verdict::Pass, requirement, value,
               "各管段流速均不大于 2.5 m/s。");
}

// 5.2.2: the tank's lowest level over the most unfavourable outlet; where it falls short a
// stabiliser is required, and with one the stabiliser keeps the pressure (5.3.3).
DesignCheck tankStatic(const Context& x) {
  const auto& tank = x.in.tank;
  const bool stabilizer = x.in.stabilizer.has_value();
  if (!tank) {
    return stabilizer ? check("tankStatic", "5.2.2", Verdict::Pass, "静压或稳压泵", "稳压泵",
                              "未设高位消防水箱，准工作状态压力由稳压泵保持，见第 5.3.3 条。")
                      : check("tankStatic", "5.2.2", Verdict::Note, "静压或稳压泵", "均未给出",
                              "未给出高位消防水箱或稳压泵，无法校核最不利点的准工作状态静压。");
  }
  const double s = tank->lowestLevel - x.top;
  const double required = tank->minStatic * 100;
  const std::string requirement = "≥ " + formatFixed(tank->minStatic, 2) + " MPa";
  const std::string what =
      "高位消防水箱最低有效水位至最不利点消火栓（" + elevation(x.top) + "）的静压 " + mpa(s);
  if (s >= required - kOnLimit) {
    return check("tankStatic", "5.2.2", Verdict::Pass, requirement, mpa(s),
                 what + "，不小于 " + mpa(required) + "。");
  }
  if (stabilizer) {
    return check("tankStatic", "5.2.2", Verdict::Pass, requirement, mpa(s) + "，设稳压泵",
                 what + "，小于 " + mpa(required) + "；已设稳压泵，稳压泵压力见第 5.3.3 条。");
  }
  return check("tankStatic", "5.2.2", Verdict::Fail, requirement, mpa(s),
               what + "，小于 " + mpa(required) + "，应设稳压泵。", "应设稳压泵");
}

// 5.3.3: the stop pressure referred to the most unfavourable outlet.
DesignCheck stabilizerStatic(const Context& x) {
  const double s = stabilizerPressureAt(x.in, x.top);
  const std::string what = "稳压泵停泵压力 " + formatFixed(x.in.stabilizer->stopPressure, 2) +
                           " MPa（" + elevation(x.in.stabilizer->elevation) +
                           "）折算至最不利点消火栓（" + elevation(x.top) + "）为 " + mpa(s);
  if (s > kStabilizerStatic + kOnLimit) {
    return check("stabilizerStatic", "5.3.3", Verdict::Note, "> 0.15 MPa", mpa(s),
                 what + "，大于 0.15 MPa" + kUnconfirmed + "。");
  }
  return check("stabilizerStatic", "5.3.3", Verdict::Note, "> 0.15 MPa", mpa(s),
               what + "，不大于 0.15 MPa，应提高稳压泵停泵压力" + kUnconfirmed + "。",
               "应提高稳压泵停泵压力，使最不利点静压大于 0.15 MPa");
}

// The floors whose hydrants fall below H₀ at the design duty.
std::vector<int> lowAtDesignDuty(const Context& x) {
  std::vector<int> low;
  for (const SystemHydrant& h : x.r.designHydrants) {
    if (h.outletPressure < x.r.design.design.outletPressure - kOnLimit) low.push_back(h.floor);
  }
  std::sort(low.begin(), low.end());
  return low;
}

// 10.1.7: the selected head against the calculated one, with k₂ in its range; and the pump on
// its curve must give every design-duty hydrant H₀.
DesignCheck pumpHead(const Context& x) {
  const SystemPump& p = x.r.pump;
  const double k2 = x.in.k2;
  const bool k2InRange = k2 >= 1.2 - kOnLimit && k2 <= 1.4 + kOnLimit;
  const std::string k2Text =
      "安全系数 k₂ 取 " + plain(k2) + (k2InRange ? "（1.2–1.4）" : "，宜在 1.2–1.4 之间");
  if (p.selectedHead < p.head - kOnLimit) {
    return check("pumpHead", "10.1.7", Verdict::Fail, "≥ " + metres(p.head), metres(p.selectedHead),
                 "所选水泵扬程 " + metres(p.selectedHead) + " 小于计算扬程 " + metres(p.head) +
                     "（" + k2Text + "），应重新选泵。",
                 "应选用扬程不小于 " + metres(p.head) + " 的水泵");
  }
  const std::vector<int> low = lowAtDesignDuty(x);
  if (!low.empty()) {
    const std::string h0 = metres(x.r.design.design.outletPressure);
    return check("pumpHead", "10.1.7", Verdict::Fail, "≥ " + metres(p.head), metres(p.selectedHead),
                 "水泵按其特性曲线运行时，设计工况下第 " + floorList(low) + " 层栓口动压低于 " +
                     h0 + "，应重新选泵。",
                 "应选用设计工况下各出流消火栓栓口动压不低于 " + h0 + " 的水泵");
  }
  return check("pumpHead", "10.1.7", k2InRange ? Verdict::Pass : Verdict::Advice,
               "≥ " + metres(p.head), metres(p.selectedHead),
               "水泵扬程 " + metres(p.selectedHead) + "，不小于计算扬程 " + metres(p.head) + "；" +
                   k2Text + "。");
}

// 7.4.12-2 at the duties: the design duty's hydrants, each floor with the fire at it, and
// behind each plate, never below H₀.
DesignCheck dutyPressure(const Context& x) {
  const double h0 = x.r.design.design.outletPressure;
  std::vector<int> low = lowAtDesignDuty(x);
  double lowest = h0;
  for (const SystemHydrant& h : x.r.designHydrants) lowest = std::min(lowest, h.outletPressure);
  for (const SystemFloor& f : x.r.floors) {
    const double p = f.orifice ? f.orifice->afterPressure : f.dynamicPressure;
    lowest = std::min(lowest, p);
    if (p < h0 - kOnLimit && std::find(low.begin(), low.end(), f.floor) == low.end()) {
      low.push_back(f.floor);
    }
  }
  std::sort(low.begin(), low.end());
  const std::string requirement = "栓口动压 ≥ " + metres(h0);
  if (low.empty()) {
    return check("dutyPressure", "7.4.12-2", Verdict::Pass, requirement, "最低 " + metres(lowest),
                 "设计工况、各层着火及孔板减压后，栓口动压均不低于 " + metres(h0) + "。");
  }
  return check("dutyPressure", "7.4.12-2", Verdict::Fail, requirement, "最低 " + metres(lowest),
               "第 " + floorList(low) + " 层在设计工况、本层着火或孔板减压后栓口动压低于 " +
                   metres(h0) + "，不满足。",
               "第 " + floorList(low) + " 层应提高栓口动压（加大水泵扬程或管径，或调整孔板）");
}

// 7.4.12-1 with one hydrant open alone: the pump near shut-off. The clause gives the limit,
// not the duty, so this is advice.
DesignCheck singleHydrant(const Context& x) {
  std::vector<int> high;
  const SystemFloor* top = &x.r.floors.front();
  for (const SystemFloor& f : x.r.floors) {
    if (f.singleHydrantPressure > kReduceAbove + kOnLimit) high.push_back(f.floor);
    if (f.singleHydrantPressure > top->singleHydrantPressure) top = &f;
  }
  const std::string largest =
      "第 " + std::to_string(top->floor) + " 层 " + mpa(top->singleHydrantPressure);
  const std::string requirement = "单栓出流时栓口动压 ≤ 0.50 MPa";
  if (high.empty()) {
    return check("singleHydrant", "7.4.12-1", Verdict::Pass, requirement, "最大 " + largest,
                 "仅一支消火栓出流时，各层栓口动压均不大于 0.50 MPa。");
  }
  return check("singleHydrant", "7.4.12-1", Verdict::Advice, requirement, "最大 " + largest,
               "仅一支消火栓出流时（水泵接近零流量），第 " + floorList(high) +
                   " 层栓口动压大于 0.50 MPa，最大为" + largest +
                   "。本条规定限值而未规定计算工况，故列为建议。",
               "第 " + floorList(high) +
                   " 层宜采用减压稳压消火栓（栓口压力不随水泵工况变化），或按第 6.2.4 条设减压阀");
}

// 5.1.6-4: 不应 above 140 %, 宜 above 120 %.
DesignCheck shutoffRatio(const Context& x) {
  const double v = x.in.shutoffRatio;
  const std::string what = "水泵零流量扬程与设计扬程之比取 " + plain(v);
  if (v > 1.4 + kOnLimit) {
    return check("shutoffRatio", "5.1.6-4", Verdict::Fail, "1.2–1.4", plain(v),
                 what + "，零流量压力不应大于设计工作压力的 140%。",
                 "应选用零流量扬程不大于设计扬程 140% 的水泵");
  }
  return check("shutoffRatio", "5.1.6-4", v >= 1.2 - kOnLimit ? Verdict::Pass : Verdict::Advice,
               "1.2–1.4", plain(v),
               what + (v >= 1.2 - kOnLimit ? "，在 1.2–1.4 之间。" : "，宜大于 1.2。"));
}

DesignCheck localLoss(const Context& x) {
  const double v = x.in.localLoss;
  const bool in = v >= 0.1 - kOnLimit && v <= 0.2 + kOnLimit;
  return check("localLoss", "10.1.6", in ? Verdict::Pass : Verdict::Advice, "0.1–0.2", plain(v),
               "局部水头损失占沿程损失的比例取 " + plain(v) +
                   (in ? "，在 0.1–0.2 之间。" : "，宜在 0.1–0.2 之间。"));
}

// Components and pipes rated for the working pressure; the clause texts are not confirmed.
DesignCheck rating(const Context& x) {
  const double rated = x.in.componentRating * 100;
  const std::string requirement = "≤ " + formatFixed(x.in.componentRating, 2) + " MPa";
  const std::string what = "系统工作压力 " + mpa(x.r.workingPressure) + "，组件额定压力 " +
                           formatFixed(x.in.componentRating, 2) + " MPa";
  if (x.r.workingPressure > rated + kOnLimit) {
    return check("rating", "8.2.4", Verdict::Note, requirement, mpa(x.r.workingPressure),
                 what + "；消火栓、阀门等组件的额定压力应不小于系统工作压力" + kUnconfirmed + "。",
                 "消火栓、阀门等组件的额定压力应不小于系统工作压力");
  }
  return check("rating", "8.2.4", Verdict::Note, requirement, mpa(x.r.workingPressure),
               what + "，不小于工作压力" + kUnconfirmed + "。");
}

DesignCheck pipeClass(const Context& x) {
  const double p = x.r.workingPressure;
  const std::string value = mpa(p);
  if (p <= kThickPipe + kOnLimit) {
    return check("pipeClass", "8.2.8", Verdict::NotApplicable, "> 1.20 MPa 时", value,
                 "系统工作压力不大于 1.20 MPa。");
  }
  const std::string pipe = p > kSeamlessPipe + kOnLimit ? "无缝钢管" : "加厚钢管或无缝钢管";
  return check("pipeClass", "8.2.8", Verdict::Note, "> 1.20 MPa 时", value,
               "系统工作压力 " + value + " 大于 " +
                   (p > kSeamlessPipe + kOnLimit ? "1.60" : "1.20") +
                   " MPa，管道按普通焊接钢管计算时，应采用" + pipe + kUnconfirmed + "。",
               "管道应采用" + pipe);
}

}  // namespace

std::vector<DesignCheck> systemChecks(const SystemInputs& in, const SystemResult& r) {
  const Context x{in, r, r.floors.back().elevation};
  std::vector<DesignCheck> checks{zoning(x),   suction(x),     reducing(x),     singleHydrant(x),
                                  orifice(x),  afterPlates(x), dutyPressure(x), riserSize(x),
                                  velocity(x), tankStatic(x)};
  if (in.stabilizer) checks.push_back(stabilizerStatic(x));
  for (DesignCheck c : {pumpHead(x), shutoffRatio(x), localLoss(x), rating(x), pipeClass(x)}) {
    checks.push_back(std::move(c));
  }
  return checks;
}

}  // namespace calc
