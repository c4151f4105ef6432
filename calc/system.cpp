#include "calc/system.h"

#include <algorithm>
#include <cmath>

#include "calc/nozzle.h"
#include "calc/number_text.h"
#include "calc/system_network.h"

namespace calc {
namespace {

constexpr double kHydrantLoss = 2;        // H_k through the hydrant valve, m (textbook value)
constexpr double kOnLimit = 1e-9;         // m: within this of a limit counts as on it
constexpr double kReduceAbove = 50;       // 7.4.12-1: 0.50 MPa
constexpr double kMaxStatic = 100;        // 6.2.1: 1.0 MPa standby static at an outlet
constexpr double kMaxWorking = 240;       // 6.2.1: 2.40 MPa system working pressure
constexpr double kMinHoleFraction = 0.3;  // 10.3.1: hole ≥ 30 % of the pipe
constexpr double kMinHole = 20;           // 10.3.1: hole ≥ 20 mm
constexpr double kAdvisedVelocity = 2.5;  // 8.1.8, m/s
constexpr double kMaxVelocity = 7;        // 8.1.8, m/s
constexpr int kMinRiserDn = 100;          // 8.1.5

std::string plain(double v) { return numberToText(v); }
std::string metres(double m) { return formatFixed(m, 2) + " m"; }
std::string mpa(double m) { return formatFixed(m / 100, 3) + " MPa"; }

CalcError bad(const char* key, double value, const char* message) {
  return {key, plain(value), message};
}

bool finite(double v) { return std::isfinite(v); }
bool positive(double v) { return std::isfinite(v) && v > 0; }

// "1–15、17": runs of consecutive floors.
std::string floorList(const std::vector<int>& floors) {
  std::string text;
  for (std::size_t i = 0; i < floors.size();) {
    std::size_t j = i;
    while (j + 1 < floors.size() && floors[j + 1] == floors[j] + 1) ++j;
    if (!text.empty()) text += "、";
    text += std::to_string(floors[i]);
    if (j > i) text += "–" + std::to_string(floors[j]);
    i = j + 1;
  }
  return text;
}

DesignCheck check(std::string id, std::string clause, Verdict verdict, std::string requirement,
                  std::string value, std::string text) {
  return {std::move(id),          std::move(clause), verdict,
          std::move(requirement), std::move(value),  std::move(text)};
}

}  // namespace

double frictionGradient(double flow, double innerDiameterMm, double c) {
  // 10.1.2 with 2.9660×10⁻⁷ MPa/m written as 2.9660×10⁻⁵ m/m; d in m.
  return 2.9660e-5 * std::pow(flow, 1.852) /
         (std::pow(c, 1.852) * std::pow(innerDiameterMm / 1000, 4.87));
}

double orificeZeta(double ratio) {
  const double x = ratio * ratio;
  const double f = 1.75 / x * (1.1 - x) / (1.175 - x) - 1;
  return f * f;
}

double orificeRatio(double zeta) {
  // ζ = (f − 1)² with f = 1.75·(1.1 − x)/(x·(1.175 − x)), x = r², f ≥ 1 on (0, 1]:
  // f·x² − (1.175·f + 1.75)·x + 1.925 = 0, the smaller root (x = 1 at ζ = 0). Written as
  // 2c / (b + √(b² − 4ac)) so that a large ζ does not cancel.
  const double f = 1 + std::sqrt(std::max(zeta, 0.0));
  const double b = 1.175 * f + 1.75;
  const double x = 2 * 1.925 / (b + std::sqrt(b * b - 4 * f * 1.925));
  return std::sqrt(x);
}

std::string_view reducingName(Reducing reducing) {
  switch (reducing) {
    case Reducing::Required:
      return "required";
    case Reducing::Mandatory:
      return "mandatory";
    case Reducing::None:
      break;
  }
  return "none";
}

std::string_view reducingWords(Reducing reducing) {
  switch (reducing) {
    case Reducing::Required:
      return "应减压";
    case Reducing::Mandatory:
      return "必须减压";
    case Reducing::None:
      break;
  }
  return "无";
}

std::vector<double> outletElevations(const SystemInputs& in) {
  std::vector<double> z;
  z.reserve(in.floors > 0 ? in.floors : 0);
  double level = in.firstOutletElevation;
  for (int i = 0; i < in.floors; ++i) {
    if (i > 0)
      level += i - 1 < static_cast<int>(in.floorHeights.size()) ? in.floorHeights[i - 1] : 0;
    z.push_back(level);
  }
  return z;
}

std::optional<CalcError> validateSystem(const SystemInputs& in) {
  if (in.floors < 1) return bad("building.floors", in.floors, "楼层数应为不小于 1 的整数");
  if (in.floorHeights.size() != static_cast<std::size_t>(in.floors - 1)) {
    return CalcError{"building.floor_heights", std::to_string(in.floorHeights.size()),
                     "层高应有 floors - 1 = " + std::to_string(in.floors - 1) + " 个，现有 " +
                         std::to_string(in.floorHeights.size()) + " 个"};
  }
  for (double h : in.floorHeights) {
    if (!positive(h)) return bad("building.floor_heights", h, "层高应为正数");
  }
  if (!finite(in.firstOutletElevation)) {
    return bad("building.first_outlet_elevation", in.firstOutletElevation, "应为有限数");
  }
  if (!positive(in.designFlow)) return bad("system.design_flow", in.designFlow, "应为正数");
  if (!positive(in.riserMinFlow)) return bad("system.riser_min_flow", in.riserMinFlow, "应为正数");
  if (in.riserMinFlow > in.designFlow) {
    return bad("system.riser_min_flow", in.riserMinFlow, "每根竖管最小流量不应大于消火栓设计流量");
  }
  const std::vector<double> z = outletElevations(in);
  if (!finite(in.poolLevel)) return bad("supply.pool_level", in.poolLevel, "应为有限数");
  if (in.poolLevel > z.back()) {
    return bad("supply.pool_level", in.poolLevel, "水池最低有效水位不应高于最高层消火栓栓口");
  }
  if (!finite(in.poolMaxLevel) || in.poolMaxLevel < in.poolLevel) {
    return bad("supply.pool_max_level", in.poolMaxLevel, "最高水位不应低于最低有效水位");
  }
  if (!finite(in.pumpElevation)) return bad("pump.elevation", in.pumpElevation, "应为有限数");
  if (in.ratedHead && !positive(*in.ratedHead)) {
    return bad("pump.rated_head", *in.ratedHead, "应为正数");
  }
  if (!finite(in.shutoffRatio) || in.shutoffRatio <= 1) {
    return bad("pump.shutoff_ratio", in.shutoffRatio, "零流量扬程与设计扬程之比应大于 1");
  }
  if (!in.pumpCurve.empty()) {
    const std::vector<PumpCurvePoint>& c = in.pumpCurve;
    if (c.size() != 3) {
      return CalcError{"pump.curve", std::to_string(c.size()) + " 个点",
                       "水泵特性曲线应为三个点 [[0, h₁], [q₂, h₂], [q₃, h₃]]"};
    }
    if (c[0].flow != 0) return bad("pump.curve", c[0].flow, "水泵特性曲线的第一点流量应为 0");
    if (!(positive(c[1].flow) && finite(c[2].flow) && c[2].flow > c[1].flow)) {
      return bad("pump.curve", c[2].flow, "水泵特性曲线的流量应满足 0 < q₂ < q₃");
    }
    if (!(positive(c[2].head) && finite(c[0].head) && c[0].head > c[1].head &&
          c[1].head > c[2].head)) {
      return bad("pump.curve", c[2].head, "水泵特性曲线的扬程应满足 h₁ > h₂ > h₃ > 0");
    }
    if (in.ratedHead) {
      return bad("pump.rated_head", *in.ratedHead, "给出水泵特性曲线时不应再给选用扬程");
    }
  }
  if (in.tank) {
    if (!finite(in.tank->lowestLevel))
      return bad("tank.lowest_level", in.tank->lowestLevel, "应为有限数");
    if (!finite(in.tank->highestLevel) || in.tank->highestLevel < in.tank->lowestLevel) {
      return bad("tank.highest_level", in.tank->highestLevel, "最高水位不应低于最低有效水位");
    }
    if (!positive(in.tank->minStatic))
      return bad("tank.min_static", in.tank->minStatic, "应为正数");
  }
  if (in.stabilizer) {
    if (!positive(in.stabilizer->stopPressure)) {
      return bad("stabilizer.stop_pressure", in.stabilizer->stopPressure, "应为正数");
    }
    if (!finite(in.stabilizer->elevation)) {
      return bad("stabilizer.elevation", in.stabilizer->elevation, "应为有限数");
    }
  }
  if (in.riser.dn <= 0) return bad("riser.dn", in.riser.dn, "应为正数");
  if (!positive(in.riser.innerDiameter)) {
    return bad("riser.inner_diameter", in.riser.innerDiameter, "应为正数");
  }
  if (!positive(in.riser.c)) return bad("riser.c", in.riser.c, "应为正数");
  if (!finite(in.riserBaseElevation) || in.riserBaseElevation > z.front()) {
    return bad("riser.base_elevation", in.riserBaseElevation,
               "立管底部标高不应高于最低层消火栓栓口");
  }
  if (in.riserCount < 1) return bad("riser.count", in.riserCount, "立管数量应为不小于 1 的整数");
  if (in.riserCount >= 2 && !positive(in.riserSpacing)) {
    return bad("riser.spacing", in.riserSpacing, "两根及以上立管时应给出正的立管间距");
  }
  if (in.topRing && in.riserCount < 2) {
    return CalcError{"riser.top_ring", "true", "顶部环管至少需要两根立管"};
  }
  if (in.ring) {
    if (in.ring->dn <= 0) return bad("main.ring_dn", in.ring->dn, "应为正数");
    if (!positive(in.ring->innerDiameter)) {
      return bad("main.ring_inner_diameter", in.ring->innerDiameter, "应为正数");
    }
    if (!positive(in.ring->c)) return bad("main.ring_c", in.ring->c, "应为正数");
  }
  if (!positive(in.mainLength)) return bad("main.length", in.mainLength, "应为正数");
  if (in.main.dn <= 0) return bad("main.dn", in.main.dn, "应为正数");
  if (!positive(in.main.innerDiameter)) {
    return bad("main.inner_diameter", in.main.innerDiameter, "应为正数");
  }
  if (!positive(in.main.c)) return bad("main.c", in.main.c, "应为正数");
  if (!finite(in.localLoss) || in.localLoss < 0) {
    return bad("design.local_loss", in.localLoss, "应为不小于 0 的数");
  }
  if (!positive(in.k2)) return bad("design.k2", in.k2, "应为正数");
  if (!positive(in.branchInnerDiameter)) {
    return bad("design.branch_inner_diameter", in.branchInnerDiameter, "应为正数");
  }
  if (in.targetPressureMPa &&
      !(finite(*in.targetPressureMPa) && *in.targetPressureMPa * 100 > kHydrantLoss)) {
    return bad("design.target_pressure", *in.targetPressureMPa, "应大于消火栓本身的 0.02 MPa");
  }
  return std::nullopt;
}

Result<SystemResult> calculateSystem(const SystemInputs& in) {
  if (auto error = validateSystem(in)) return *error;
  DesignInputs hydrant = in.hydrant;
  hydrant.width.reset();
  hydrant.pressureMPa.reset();
  auto design = checkDesign(hydrant);
  if (!design.ok()) return design.error();

  SystemResult r;
  r.design = design.value();
  const std::vector<double> z = outletElevations(in);
  // 1/B + A_z·L_d: H − 2 = q² · resistance.
  const double resistance = 1 / nozzleFlowCoefficient(1, in.hydrant.nozzle) +
                            in.hydrant.hoseCoefficient * in.hydrant.hoseLength;
  if (auto error = solveSystemDuties(in, resistance, r)) return *error;

  // Standby static and zero-flow pressures of every floor.
  for (SystemFloor& f : r.floors) {
    if (in.tank) f.staticPressure = in.tank->highestLevel - f.elevation;
    if (in.stabilizer) {
      const double s = 100 * in.stabilizer->stopPressure + in.stabilizer->elevation - f.elevation;
      f.staticPressure = std::max(f.staticPressure.value_or(s), s);
    }
    f.zeroFlowPressure = r.pump.shutoffHead + (in.poolMaxLevel - f.elevation);
  }

  // Step 10: 8.2.3.
  r.workingPressure = r.pump.shutoffHead + (in.poolMaxLevel - in.pumpElevation);
  if (in.stabilizer)
    r.workingPressure = std::max(r.workingPressure, 100 * in.stabilizer->stopPressure);

  // Checks.
  {
    std::optional<double> maxStatic;
    for (const SystemFloor& f : r.floors) {
      if (f.staticPressure)
        maxStatic = std::max(maxStatic.value_or(*f.staticPressure), *f.staticPressure);
    }
    const bool staticHigh = maxStatic && *maxStatic > kMaxStatic + kOnLimit;
    const bool workingHigh = r.workingPressure > kMaxWorking + kOnLimit;
    std::string value = (maxStatic ? "静压 " + mpa(*maxStatic) : std::string("静压未知")) +
                        "，工作压力 " + mpa(r.workingPressure);
    std::string text;
    Verdict verdict = Verdict::Pass;
    if (staticHigh || workingHigh) {
      verdict = Verdict::Fail;
      text = std::string(staticHigh && workingHigh
                             ? "消火栓栓口处准工作状态静压大于 1.0 MPa，系统工作压力大于 2.40 MPa"
                         : staticHigh ? "消火栓栓口处准工作状态静压大于 1.0 MPa"
                                      : "系统工作压力大于 2.40 MPa") +
             "，应分区供水。";
    } else if (!maxStatic) {
      verdict = Verdict::Note;
      text = "未给出高位消防水箱或稳压泵，无法计算准工作状态静压；系统工作压力 " +
             mpa(r.workingPressure) + " 不大于 2.40 MPa。";
    } else {
      text = "最大静压 " + mpa(*maxStatic) + " 不大于 1.0 MPa，系统工作压力 " +
             mpa(r.workingPressure) + " 不大于 2.40 MPa，可不分区。";
    }
    r.checks.push_back(check("zoning", "6.2.1", verdict, "静压 ≤ 1.0 MPa，工作压力 ≤ 2.40 MPa",
                             std::move(value), std::move(text)));
  }
  std::vector<int> reducing;
  std::vector<int> badPlates;
  std::vector<int> badAfter;
  const SystemFloor* worst = nullptr;
  for (const SystemFloor& f : r.floors) {
    if (f.reducing != Reducing::None) reducing.push_back(f.floor);
    if (f.orifice && !f.orifice->ok) badPlates.push_back(f.floor);
    if (f.orifice && !f.orifice->afterInRange) badAfter.push_back(f.floor);
    if (!worst || f.dynamicPressure > worst->dynamicPressure) worst = &f;
  }
  r.checks.push_back(
      check("reducing", "7.4.12-1", reducing.empty() ? Verdict::Pass : Verdict::Note,
            "栓口动压 ≤ 0.50 MPa", "最大 " + mpa(worst->dynamicPressure),
            reducing.empty()
                ? "各层消火栓栓口动压均不大于 0.50 MPa，无需减压。"
                : "第 " + floorList(reducing) +
                      " 层栓口动压大于 0.50 MPa，应设减压装置；大于 0.70 MPa 的楼层必须设置。"));
  {
    const std::string limit =
        formatFixed(std::max(kMinHoleFraction * in.branchInnerDiameter, kMinHole), 1);
    bool any = false;
    for (const SystemFloor& f : r.floors) any = any || f.orifice.has_value();
    r.checks.push_back(
        check("orifice", "10.3.1", badPlates.empty() ? Verdict::Pass : Verdict::Advice,
              "孔径 ≥ " + limit + " mm",
              badPlates.empty() ? std::string(any ? "均满足" : "无孔板")
                                : "第 " + floorList(badPlates) + " 层不满足",
              badPlates.empty() ? std::string(any ? "各减压孔板孔径均不小于管径的 30% 和 20 mm。"
                                                  : "无需设置减压孔板。")
                                : "第 " + floorList(badPlates) + " 层所需孔板孔径小于 " + limit +
                                      " mm，不宜采用减压孔板，建议改用减压稳压消火栓或减压阀组。"));
    r.checks.push_back(
        check("orificePressure", "7.4.12", badAfter.empty() ? Verdict::Pass : Verdict::Fail,
              formatFixed(r.design.minPressure / 100, 2) + "–0.50 MPa",
              badAfter.empty() ? std::string(any ? "均满足" : "无孔板")
                               : "第 " + floorList(badAfter) + " 层不满足",
              badAfter.empty()
                  ? std::string(any ? "孔板减压后栓口动压均在要求范围内。" : "无需设置减压孔板。")
                  : "第 " + floorList(badAfter) + " 层孔板减压后栓口动压不在 " +
                        formatFixed(r.design.minPressure / 100, 2) + "–0.50 MPa 之间。"));
  }
  const bool riserOk = in.riser.dn >= kMinRiserDn;
  r.checks.push_back(check(
      "riserSize", "8.1.5", riserOk ? Verdict::Pass : Verdict::Fail, "≥ DN100",
      "DN" + std::to_string(in.riser.dn),
      riserOk
          ? "立管管径 DN" + std::to_string(in.riser.dn) + "，不小于 DN100。"
          : "室内消火栓竖管管径不应小于 DN100，当前为 DN" + std::to_string(in.riser.dn) + "。"));
  {
    const SystemSegment* fastest = &r.segments.front();
    for (const SystemSegment& s : r.segments) {
      if (s.velocity > fastest->velocity) fastest = &s;
    }
    const double v = fastest->velocity;
    const Verdict verdict = v > kMaxVelocity + kOnLimit       ? Verdict::Fail
                            : v > kAdvisedVelocity + kOnLimit ? Verdict::Advice
                                                              : Verdict::Pass;
    const std::string value = fastest->name + " " + formatFixed(v, 2) + " m/s";
    r.checks.push_back(check("velocity", "8.1.8", verdict, "≤ 2.5 m/s，不应 > 7 m/s", value,
                             verdict == Verdict::Pass ? "各管段流速均不大于 2.5 m/s。"
                             : verdict == Verdict::Advice ? value + "，大于 2.5 m/s，宜加大管径。"
                                                          : value + "，大于 7 m/s，应加大管径。"));
  }
  if (in.tank) {
    const double s = in.tank->lowestLevel - z.back();
    const double required = in.tank->minStatic * 100;
    const bool low = s < required - kOnLimit;
    r.checks.push_back(check(
        "tankStatic", "5.2.2", low ? Verdict::Note : Verdict::Pass,
        "≥ " + formatFixed(in.tank->minStatic, 2) + " MPa", mpa(s),
        low ? "高位消防水箱最低有效水位至最不利点消火栓的静压 " + metres(s) + " 小于 " +
                  metres(required) + "，应设稳压泵。"
            : "高位消防水箱最低有效水位至最不利点消火栓的静压 " + metres(s) + "，满足要求。"));
  }
  // Outlet pressures below H₀ at the design duty, with the fire at a floor, after a plate.
  const double h0 = r.design.design.outletPressure;
  std::vector<int> lowDuty;
  for (const SystemHydrant& h : r.designHydrants) {
    if (h.outletPressure < h0 - kOnLimit) lowDuty.push_back(h.floor);
  }
  std::sort(lowDuty.begin(), lowDuty.end());
  {
    const bool low = r.pump.selectedHead < r.pump.head - kOnLimit;
    std::string text = low ? "所选水泵扬程 " + metres(r.pump.selectedHead) + " 小于计算扬程 " +
                                 metres(r.pump.head) + "，不满足。"
                           : "水泵扬程 " + metres(r.pump.selectedHead) + "，不小于计算扬程 " +
                                 metres(r.pump.head) + "。";
    if (!lowDuty.empty()) {
      text += "设计工况下第 " + floorList(lowDuty) + " 层栓口动压低于 " + metres(h0) + "，不满足。";
    }
    r.checks.push_back(
        check("pumpHead", "10.1.7", low || !lowDuty.empty() ? Verdict::Fail : Verdict::Pass,
              "≥ " + metres(r.pump.head), metres(r.pump.selectedHead), std::move(text)));
  }
  {
    std::vector<int> lowFloors;
    double lowest = h0;
    for (const SystemHydrant& h : r.designHydrants) lowest = std::min(lowest, h.outletPressure);
    for (const SystemFloor& f : r.floors) {
      const double p = f.orifice ? f.orifice->afterPressure : f.dynamicPressure;
      lowest = std::min(lowest, p);
      const bool below =
          p < h0 - kOnLimit || std::find(lowDuty.begin(), lowDuty.end(), f.floor) != lowDuty.end();
      if (below) lowFloors.push_back(f.floor);
    }
    const bool low = !lowFloors.empty();
    r.checks.push_back(
        check("dutyPressure", "7.4.12-2", low ? Verdict::Fail : Verdict::Pass,
              "栓口动压 ≥ " + metres(h0), low ? "最低 " + metres(lowest) : std::string("均满足"),
              low ? "第 " + floorList(lowFloors) +
                        " 层在设计工况、本层着火或设孔板后栓口动压低于 " + metres(h0) + "，不满足。"
                  : "设计工况、各层着火（含孔板减压后）栓口动压均不低于 " + metres(h0) + "。"));
  }
  {
    std::vector<int> high;
    const SystemFloor* top = nullptr;
    for (const SystemFloor& f : r.floors) {
      if (f.singleHydrantPressure > kReduceAbove + kOnLimit) high.push_back(f.floor);
      if (!top || f.singleHydrantPressure > top->singleHydrantPressure) top = &f;
    }
    const std::string largest =
        "第 " + std::to_string(top->floor) + " 层 " + mpa(top->singleHydrantPressure);
    r.checks.push_back(check(
        "singleHydrant", "7.4.12-1", high.empty() ? Verdict::Pass : Verdict::Advice,
        "单栓栓口动压 ≤ 0.50 MPa", "最大 " + largest,
        high.empty() ? "仅一支消火栓出水时各层栓口动压均不大于 0.50 MPa。"
                     : "仅一支消火栓出水时（水泵接近零流量），第 " + floorList(high) +
                           " 层栓口动压大于 0.50 MPa，最大为" + largest +
                           "；建议采用减压稳压消火栓（栓口压力不随水泵工况变化），或按第 6.2.4 "
                           "条设减压阀。本条规定限值而未规定计算工况，故列为建议。"));
  }
  const auto range = [&](std::string id, std::string clause, double v, double lo, double hi,
                         const std::string& what) {
    const bool in_ = v >= lo - kOnLimit && v <= hi + kOnLimit;
    const std::string req = plain(lo) + "–" + plain(hi);
    r.checks.push_back(check(std::move(id), std::move(clause),
                             in_ ? Verdict::Pass : Verdict::Advice, req, plain(v),
                             in_ ? what + "取 " + plain(v) + "，在 " + req + " 之间。"
                                 : what + "取 " + plain(v) + "，宜在 " + req + " 之间。"));
  };
  range("shutoffRatio", "5.1.6-4", in.shutoffRatio, 1.2, 1.4, "水泵零流量扬程与设计扬程之比");
  range("localLoss", "10.1.6", in.localLoss, 0.1, 0.2, "局部水头损失占沿程损失的比例");
  range("safetyFactor", "10.1.7", in.k2, 1.2, 1.4, "安全系数 k₂ ");
  return r;
}

}  // namespace calc
