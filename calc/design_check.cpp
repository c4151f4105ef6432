#include "calc/design_check.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "calc/nozzle.h"
#include "calc/number_text.h"
#include "calc/run.h"
#include "calc/run_errors.h"

namespace calc {
namespace {

constexpr double kHydrantLoss = 2;  // H_k, m: the loss through the hydrant valve itself
// Pressures are stated in MPa and compared in metres; 0.35 · 100 need not be exactly 35 in
// binary, so a value within a nanometre of a limit counts as on it.
constexpr double kOnLimit = 1e-9;
constexpr double kSolveTolerance = 1e-9;  // m, for the actual water column
// Newton needs about five steps; halving a bracket of 2^1024 m to 1e-9 m needs some 1100.
constexpr int kMaxSolveSteps = 1200;

// 7.4.10: spacing caps for two streams and one stream, m.
constexpr double kCapTwoStreams = 30;
constexpr double kCapOneStream = 50;

// 7.4.12-1: 0.50 MPa calls for pressure reduction, above 0.70 MPa a device is mandatory.
constexpr double kMaxPressure = 50;
constexpr double kReducerMandatory = 70;

struct Kit {
  double phi;         // φ of the nozzle
  double b;           // B of the nozzle
  double hoseFactor;  // A_z · L_d
};

// Lengths in m, heads in mH₂O, pressures in MPa to three places, flows in L/s as the code
// writes them.
std::string metres(double m, int decimals = 2) { return formatFixed(m, decimals) + " m"; }
std::string head(double m) { return formatFixed(m, 2) + " mH₂O"; }
std::string mpa(double m) { return formatFixed(toMPa(m), 3) + " MPa"; }
std::string lps(double q) { return formatFixed(q, 2) + " L/s"; }
std::string plain(double v) { return numberToText(v); }

// The dense water column H whose jet the nozzle pressure H_q gives:
// H_q / (1 + φ·H_q) = α_f(H)·H, to within kSolveTolerance.
double actualWaterColumn(double hq, const Kit& kit) {
  const double target = hq / (1 + kit.phi * hq);
  if (!(target > 0)) return 0;
  // g(H) = α_f(H)·H − target = 1.19·H + 80·(0.01·H)⁴·H − target grows and is convex for
  // H > 0, so Newton from H = target / 1.19, where g ≥ 0, falls onto the root from above in
  // a handful of steps. The bracket [lo, hi] is kept, and a step that would leave it (an
  // overflow for an absurd nozzle) halves the bracket instead, so the solve cannot diverge.
  const auto excess = [target](double h) {
    const double x = 0.01 * h;
    const double x2 = x * x;
    return (1.19 + 80 * x2 * x2) * h - target;
  };
  const auto slope = [](double h) {
    const double x = 0.01 * h;
    const double x2 = x * x;
    return 1.19 + 400 * x2 * x2;
  };
  double lo = 0;
  double hi = target / 1.19;
  double h = hi;
  for (int step = 0; step < kMaxSolveSteps; ++step) {
    const double g = excess(h);
    if (g == 0) return h;
    (g < 0 ? lo : hi) = h;
    double next = h - g / slope(h);
    if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
    // Quadratic convergence: after a step this small the error is far below it.
    if (std::abs(next - h) <= kSolveTolerance || next <= lo || next >= hi) return next;
    h = next;
  }
  return h;
}

// Nozzle pressure, flow, hose loss and water column at a given outlet pressure H_xh.
HydrantPoint pointAt(double outletPressure, const Kit& kit) {
  HydrantPoint p;
  p.outletPressure = outletPressure;
  p.nozzlePressure = (outletPressure - kHydrantLoss) / (1 + kit.hoseFactor * kit.b);
  p.flow = std::sqrt(kit.b * p.nozzlePressure);
  p.hoseLoss = kit.hoseFactor * p.flow * p.flow;
  p.waterColumn = actualWaterColumn(p.nozzlePressure, kit);
  return p;
}

CalcError inputError(const char* field, double value, const std::string& message) {
  return {field, plain(value), message};
}

// Refuses what no hydrant has: negative lengths, a nozzle of 0, values that are not finite.
std::optional<CalcError> validate(const DesignInputs& in) {
  using errors::Input;
  const auto bad = [](double v) { return !std::isfinite(v); };
  if (bad(in.hoseLength)) return errors::outOfRange(Input::HoseLength, plain(in.hoseLength));
  if (in.hoseLength < 0) return errors::negative(Input::HoseLength, plain(in.hoseLength));
  if (bad(in.hoseCoefficient) || !(in.hoseCoefficient > 0)) {
    return errors::hoseCoefficient(plain(in.hoseCoefficient));
  }
  if (bad(in.nozzle)) return errors::outOfRange(Input::NozzleDiameter, plain(in.nozzle));
  if (!(in.nozzle > 0)) return errors::notPositive(Input::NozzleDiameter, plain(in.nozzle));
  if (bad(in.waterColumn)) return errors::outOfRange(Input::WaterColumn, plain(in.waterColumn));
  if (in.waterColumn < 0) return errors::negative(Input::WaterColumn, plain(in.waterColumn));
  if (in.width) {
    if (bad(*in.width)) return errors::outOfRange(Input::ProtectionWidth, plain(*in.width));
    if (*in.width < 0) return errors::negative(Input::ProtectionWidth, plain(*in.width));
  }
  if (in.streams != 1 && in.streams != 2) {
    return CalcError{kStreamsField, std::to_string(in.streams),
                     "同时到达任一点的水枪充实水柱股数应为 1 或 2。"};
  }
  if (bad(in.minFlow) || !(in.minFlow > 0)) {
    return inputError(kMinFlowField, in.minFlow,
                      "每支水枪的最小流量应大于 0，一般为 5 l/s，表 3.5.2 的小型建筑为 2.5 l/s。");
  }
  if (in.flow && (bad(*in.flow) || !(*in.flow > 0))) {
    return errors::notPositive(Input::Flow, plain(*in.flow));
  }
  if (in.pressureMPa && (bad(*in.pressureMPa * 100) || !(*in.pressureMPa * 100 > kHydrantLoss))) {
    return inputError(kOutletPressureField, *in.pressureMPa,
                      "栓口动压应大于消火栓本身的 0.02 MPa 局部损失，单位为 MPa（如 0.35）。");
  }
  return std::nullopt;
}

// What every check reads: the inputs, the result so far and the kit.
struct Context {
  const DesignInputs& in;
  const DesignResult& r;
  const Kit& kit;
};

// 7.4.2-2: a 65 mm lined hose "应", its length of 25 m "不宜".
bool lined65(const DesignInputs& in) { return in.material == "衬胶" && in.hoseDiameter == "65"; }
constexpr double kHoseLengthLimit = 25;

// Table 3.5.2's 2.5 L/s buildings take the small nozzles, 11 or 13 mm; others 16 or 19 mm.
std::pair<double, double> suitableNozzles(const DesignInputs& in) {
  return in.minFlow <= 2.5 ? std::pair{11.0, 13.0} : std::pair{16.0, 19.0};
}

bool isGiven(const DesignInputs& in) { return in.pressureMPa || in.flow; }

// q_min only beyond 0.50 MPa: a reducer would take the flow away again.
bool kitTooSmall(const DesignResult& r) { return r.minFlowOutlet > kMaxPressure + kOnLimit; }

// The decisions of the checks. With a given pressure or flow nothing is raised, so a
// shortfall fails; otherwise a shortfall in pressure, flow or water column is raised and noted.
Verdict atLeast(const DesignInputs& in, double value, double limit) {
  if (value >= limit - kOnLimit) return Verdict::Pass;
  return isGiven(in) ? Verdict::Fail : Verdict::Note;
}

Verdict waterColumnVerdict(const Context& x) {
  return atLeast(x.in, isGiven(x.in) ? x.r.design.waterColumn : x.in.waterColumn,
                 x.r.requiredWaterColumn);
}
Verdict minPressureVerdict(const Context& x) {
  return atLeast(x.in,
                 isGiven(x.in) ? x.r.design.outletPressure : x.r.fromWaterColumn->outletPressure,
                 x.r.minPressure);
}
Verdict maxPressureVerdict(const Context& x) {
  return x.r.design.outletPressure <= kMaxPressure + kOnLimit ? Verdict::Pass : Verdict::Fail;
}
Verdict minFlowVerdict(const Context& x) {
  return atLeast(x.in, isGiven(x.in) ? x.r.design.flow : x.r.fromWaterColumn->flow, x.in.minFlow);
}
Verdict spacingVerdict(const Context& x) {
  if (x.r.widthTooLarge) return Verdict::Fail;
  return *x.r.spacing > *x.r.spacingCap + kOnLimit ? Verdict::Note : Verdict::Pass;
}
Verdict hoseVerdict(const Context& x) {
  if (!lined65(x.in)) return Verdict::Fail;
  return x.in.hoseLength <= kHoseLengthLimit ? Verdict::Pass : Verdict::Advice;
}
// 7.4.2-3 says 宜: a nozzle too small for q_min is advice; the shortfall itself fails under
// 7.4.12-1 or 3.5.2, so it is not counted twice.
Verdict nozzleVerdict(const Context& x) {
  if (kitTooSmall(x.r)) return Verdict::Advice;
  const auto [first, second] = suitableNozzles(x.in);
  return x.in.nozzle == first || x.in.nozzle == second ? Verdict::Pass : Verdict::Advice;
}
Verdict streamsVerdict(const Context&) { return Verdict::Advice; }

// How a given design point was given: "栓口动压 0.300 MPa" or "出水量 5.00 L/s（栓口动压 0.254
// MPa）".
std::string givenPoint(const DesignInputs& in, const DesignResult& r) {
  if (in.pressureMPa) return "栓口动压 " + mpa(r.design.outletPressure);
  return "出水量 " + lps(r.design.flow) + "（栓口动压 " + mpa(r.design.outletPressure) + "）";
}

// The sentence of 7.4.12-2 on the water column, for this occupancy.
std::string waterColumnRule(const DesignInputs& in) {
  return in.occupancy == Occupancy::High
             ? "GB 50974-2014 第7.4.12条第2款：高层建筑、厂房、库房和室内净空高度超过8m"
               "的民用建筑等场所充实水柱应按13 m计算"
             : "GB 50974-2014 第7.4.12条第2款：其他场所充实水柱应按10 m计算";
}

void waterColumnWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  const std::string req = metres(r.requiredWaterColumn, 0);
  c.requirement = "按 " + req + " 计算";
  if (isGiven(in)) {
    c.value = metres(r.design.waterColumn, 1);
    c.text = givenPoint(in, r) + " 时充实水柱为 " + c.value +
             (c.verdict == Verdict::Pass ? "，达到按 " + req + " 计算的充实水柱。"
                                         : "，不足按 " + req + " 计算的充实水柱，应提高栓口动压。");
    return;
  }
  c.value = plain(in.waterColumn) + " m";
  if (c.verdict == Verdict::Pass) {
    c.text = "本场所充实水柱按 " + req + " 计算；输入值 " + c.value +
             " 不小于此值，设计工况按输入值计算";
    c.text += in.waterColumn > r.requiredWaterColumn + kOnLimit
                  ? "，保护半径按第 10.2.1 条取 " + req + " 计算。"
                  : "。";
    return;
  }
  c.text = "输入充实水柱 " + c.value + " 小于本场所的计算值。" + waterColumnRule(in) +
           "；设计工况与保护半径已按 " + req + " 计算。";
}

void minPressureWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  const std::string limit = mpa(r.minPressure);
  c.requirement = "≥ " + limit;
  if (isGiven(in)) {
    c.value = mpa(r.design.outletPressure);
    c.text = (in.pressureMPa ? "栓口动压 " + c.value
                             : "出水量 " + lps(r.design.flow) + " 时栓口动压为 " + c.value) +
             (c.verdict == Verdict::Pass ? "，不小于本场所的 " + limit + "。"
                                         : "，低于本场所的 " + limit + "，应提高供水压力。");
    return;
  }
  const HydrantPoint& a = *r.fromWaterColumn;
  c.value = mpa(r.design.outletPressure);  // the design point; the column's value is in the text
  c.text = "按充实水柱 " + plain(a.waterColumn) + " m 计算的栓口动压为 " + mpa(a.outletPressure);
  if (c.verdict == Verdict::Pass) {
    c.text += "，不小于本场所的 " + limit + "。";
    return;
  }
  const HydrantPoint atMin = pointAt(r.minPressure, kit);
  c.text += "，低于本场所的 " + limit + "；栓口动压应提高到 " + limit +
            "，此时单支水枪计算出水量 " + lps(atMin.flow) + "，充实水柱 " +
            metres(atMin.waterColumn, 1) + "。";
}

void maxPressureWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  const double p = r.design.outletPressure;
  c.requirement = "≤ 0.500 MPa";
  c.value = mpa(p);
  if (c.verdict == Verdict::Pass) {
    c.text = "栓口动压 " + c.value + "，不大于 0.500 MPa。";
    return;
  }
  if (!isGiven(in) && r.governedBy == Governing::MinFlow) {
    // Reducing the pressure would take away the flow it was raised for.
    c.text = "每支水枪出水量达到 " + plain(in.minFlow) + " L/s 所需栓口动压 " + c.value +
             " 大于 0.500 MPa，减压后达不到该流量；应按第 7.4.2 条校核改配水枪或水带。";
    return;
  }
  c.text = (in.pressureMPa ? "给定栓口动压 " : "栓口动压 ") + c.value;
  if (p <= kReducerMandatory + kOnLimit) {
    c.text += " 大于 0.500 MPa，应采取减压措施（如减压稳压消火栓）";
  } else {
    c.text += " 大于 0.700 MPa，必须设置减压装置（减压稳压消火栓、减压孔板或减压阀）";
  }
  c.text += in.pressureMPa ? "，并按减压后的栓口动压重新计算。" : "。";
}

void minFlowWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  const double qmin = in.minFlow;
  const std::string limit = "每支水枪最小流量 " + plain(qmin) + " L/s（由表 3.5.2 折算）";
  c.requirement = "≥ " + plain(qmin) + " L/s";
  if (isGiven(in)) {
    c.value = lps(r.design.flow);
    c.text =
        (in.pressureMPa ? "栓口动压 " + mpa(r.design.outletPressure) + " 时单支水枪计算出水量为 "
                        : "给定单支水枪出水量 ") +
        c.value +
        (c.verdict == Verdict::Pass
             ? "，不小于" + limit + "。"
             : "，低于" + limit + (in.pressureMPa ? "，应提高栓口动压。" : "。"));
    return;
  }
  c.value = lps(r.design.flow);  // the design point; the column's flow is in the text
  c.text = "按充实水柱 " + plain(r.fromWaterColumn->waterColumn) + " m 计算的单支水枪出水量为 " +
           lps(r.fromWaterColumn->flow);
  if (c.verdict == Verdict::Pass) {
    c.text += "，不小于" + limit + "。";
  } else {
    c.text += "，低于" + limit + "；出水量达到 " + plain(qmin) + " L/s 需喷嘴压力 " +
              head(r.fromMinFlow->nozzlePressure) + "、栓口动压 " +
              mpa(r.fromMinFlow->outletPressure) + "。";
  }
}

void spacingWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  const std::string cap = plain(in.streams == 2 ? kCapTwoStreams : kCapOneStream) + " m";
  if (r.widthTooLarge) {
    c.requirement = "b ≤ R";
    c.value = "b = " + metres(*in.width);
    c.text = "保护宽度 " + metres(*in.width) + " 大于保护半径 " + metres(r.radius) +
             "，单排布置时" + (in.streams == 2 ? "两股充实水柱不能同时到达" : "充实水柱不能到达") +
             "保护宽度内的任何部位；消火栓应两排布置，或减小保护宽度。";
    return;
  }
  c.requirement = "≤ " + cap;
  c.value = metres(*r.spacing);
  c.text = std::string(in.streams == 2 ? "两股充实水柱同时到达" : "一股充实水柱到达") +
           "时，保护半径 " + metres(r.radius) + "（充实水柱按 " + metres(r.requiredWaterColumn, 0) +
           " 计）、保护宽度 " + metres(*in.width) + " 得消火栓间距 " + c.value +
           (c.verdict == Verdict::Pass ? "，不大于 " + cap + "。"
                                       : "，大于 " + cap + "，布置间距取 " + cap + "。");
}

void streamsWords(DesignCheck& c, const Context&) {
  c.requirement = "2 股充实水柱";
  c.value = "1 股";
  c.text =
      "室内消火栓布置应满足同一平面 2 支水枪的 2 股充实水柱同时到达任何部位；仅建筑高度不大于 "
      "24 m 且体积不大于 5000 m³ 的多层仓库、建筑高度不大于 54 m 且每单元设置一部疏散楼梯的"
      "住宅，以及表 3.5.2 中规定可采用 1 支水枪的场所，可按 1 股充实水柱布置；请确认本工程属于"
      "上述情形。";
}

void hoseWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  c.requirement = "DN65 衬胶，≤ 25 m";
  c.value = in.hoseDiameter + " mm " + in.material + "水带 " + plain(in.hoseLength) + " m";
  switch (c.verdict) {
    case Verdict::Pass:
      c.text = "配置 " + c.value + "，符合公称直径 65 mm 有内衬里、长度不超过 25 m 的要求。";
      break;
    case Verdict::Advice:
      c.text = "配置 " + c.value + "，水带长度不宜超过 25 m，建议缩短水带或加密消火栓。";
      break;
    default:
      c.text = "消火栓应配置公称直径 65 mm 有内衬里的消防水带；当前为 " + c.value +
               "，应改用 65 mm 衬胶水带后重新计算。";
  }
}

void nozzleWords(DesignCheck& c, const Context& x) {
  const auto& [in, r, kit] = x;
  const auto [first, second] = suitableNozzles(in);
  c.requirement = plain(first) + " 或 " + plain(second) + " mm";
  c.value = plain(in.nozzle) + " mm";
  const std::string flow = "每支水枪 " + plain(in.minFlow) + " L/s";
  if (kitTooSmall(r)) {
    c.text = "当量喷嘴直径 " + c.value + " 的水枪配 " + in.hoseDiameter + " mm " + in.material +
             "水带 " + plain(in.hoseLength) + " m，" + flow + " 需栓口动压 " +
             mpa(r.minFlowOutlet) + "，在 0.500 MPa 以内不能提供该流量；" +
             (in.nozzle < first ? "宜改配当量喷嘴直径 " + c.requirement + " 的消防水枪。"
                                : "宜缩短水带或改用阻力较小的水带。");
    return;
  }
  c.text = c.verdict == Verdict::Pass
               ? "当量喷嘴直径 " + c.value + "，符合" + flow + " 时的配置要求。"
               : flow + " 时宜配置当量喷嘴直径 " + c.requirement + " 的消防水枪，当前为 " +
                     c.value + "。";
}

// What a failed check asks the designer to change, in one line for the conclusion.
std::string remedyOf(std::string_view id, const Context& x) {
  if (id == "waterColumn" || id == "minFlow") return "应提高栓口动压";
  if (id == "minPressure") return "应提高供水压力";
  if (id == "spacing") return "消火栓应两排布置，或减小保护宽度";
  if (id == "hose") return "应改用 65 mm 衬胶水带后重新计算";
  if (id != "maxPressure") return {};
  if (!isGiven(x.in) && x.r.governedBy == Governing::MinFlow) {
    return "应按第 7.4.2 条校核改配水枪或水带";
  }
  return x.r.design.outletPressure <= kReducerMandatory + kOnLimit ? "应采取减压措施"
                                                                   : "必须设置减压装置";
}

// One row per check, in the order checkDesign gives them; streams comes last so that a batch
// file's verdict columns keep their places. `words` fills requirement, value and text.
struct CheckRow {
  std::string_view id;
  std::string_view clause;
  Verdict (*verdict)(const Context&);
  void (*words)(DesignCheck&, const Context&);
};

constexpr CheckRow kChecks[] = {
    {"waterColumn", "7.4.12-2", waterColumnVerdict, waterColumnWords},
    {"minPressure", "7.4.12-2", minPressureVerdict, minPressureWords},
    {"maxPressure", "7.4.12-1", maxPressureVerdict, maxPressureWords},
    {"minFlow", "3.5.2", minFlowVerdict, minFlowWords},
    {"spacing", "7.4.10", spacingVerdict, spacingWords},
    {"hose", "7.4.2-2", hoseVerdict, hoseWords},
    {"nozzle", "7.4.2-3", nozzleVerdict, nozzleWords},
    {"streams", "7.4.6", streamsVerdict, streamsWords},
};

constexpr auto kCheckIds = [] {
  std::array<std::string_view, std::size(kChecks)> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = kChecks[i].id;
  return ids;
}();

// Whether a check is made for these inputs, and the clause it cites.
bool applies(const CheckRow& row, const DesignInputs& in) {
  if (row.id == "spacing") return in.width.has_value();
  // One stream is a choice 7.4.6 allows only in named cases, whatever the occupancy.
  if (row.id == "streams") return in.streams == 1;
  return true;
}
std::string clauseOf(const CheckRow& row, const Context& x) {
  if (row.id != "spacing") return std::string(row.clause);
  // A width beyond the radius is a matter of reaching every point, not of spacing.
  if (x.r.widthTooLarge) return "7.4.6";
  return x.in.streams == 2 ? "7.4.10-1" : "7.4.10-2";
}

}  // namespace

Result<DesignResult> checkDesign(const DesignInputs& in) {
  if (auto error = validate(in)) return *error;

  const Kit kit{nozzleCoefficient(in.nozzle), nozzleFlowCoefficient(1, in.nozzle),
                in.hoseCoefficient * in.hoseLength};
  // Only a nozzle far beyond any real one makes B overflow or φ vanish.
  if (!std::isfinite(kit.b * kit.b) || !(kit.phi > 0)) {
    return errors::outOfRange(errors::Input::NozzleDiameter, plain(in.nozzle));
  }
  DesignResult r;
  const bool high = in.occupancy == Occupancy::High;
  r.requiredWaterColumn = high ? 13 : 10;
  r.minPressure = high ? 35 : 25;

  // The outlet pressure q_min needs through this kit, in every direction.
  const double minFlowSquared = in.minFlow * in.minFlow;
  r.minFlowOutlet = minFlowSquared / kit.b + kit.hoseFactor * minFlowSquared + kHydrantLoss;

  if (in.pressureMPa) {
    r.governedBy = Governing::Pressure;
    r.design = pointAt(*in.pressureMPa * 100, kit);
  } else if (in.flow) {
    r.governedBy = Governing::Flow;
    const double q2 = *in.flow * *in.flow;
    r.design = pointAt(q2 / kit.b + kit.hoseFactor * q2 + kHydrantLoss, kit);
  } else {
    // A: from the water column, never below the one the occupancy asks for.
    const double h = std::max(in.waterColumn, r.requiredWaterColumn);
    const double alpha = waterColumnCoefficient(h);
    const double divisor = 1 - kit.phi * alpha * h;
    if (!(divisor > 0)) {
      return errors::beyondReach(plain(h), static_cast<float>(in.nozzle),
                                 maxWaterColumn(in.nozzle));
    }
    HydrantPoint a;
    a.waterColumn = h;
    a.nozzlePressure = alpha * h / divisor;
    a.flow = std::sqrt(kit.b * a.nozzlePressure);
    a.hoseLoss = kit.hoseFactor * a.flow * a.flow;
    a.outletPressure = a.nozzlePressure + a.hoseLoss + kHydrantLoss;

    // F: the minimum flow per stream.
    HydrantPoint f;
    f.flow = in.minFlow;
    f.nozzlePressure = in.minFlow * in.minFlow / kit.b;
    f.hoseLoss = kit.hoseFactor * in.minFlow * in.minFlow;
    f.outletPressure = f.nozzlePressure + f.hoseLoss + kHydrantLoss;
    f.waterColumn = actualWaterColumn(f.nozzlePressure, kit);

    // The largest governs; ties go to A, then F, then P.
    double outlet = a.outletPressure;
    r.governedBy = Governing::WaterColumn;
    if (f.outletPressure > outlet) {
      outlet = f.outletPressure;
      r.governedBy = Governing::MinFlow;
    }
    if (r.minPressure > outlet) {
      outlet = r.minPressure;
      r.governedBy = Governing::MinPressure;
    }
    r.fromWaterColumn = a;
    r.fromMinFlow = f;
    r.design = pointAt(outlet, kit);
  }
  if (!std::isfinite(r.design.outletPressure) || !std::isfinite(r.design.flow)) {
    return errors::outOfRange(errors::Input::HoseLength, plain(in.hoseLength));
  }

  // 10.2.1 takes S_k as 7.4.12-2 fixes it, not as entered; k₃ = 0.8, the low end of 0.8–0.9.
  r.radius = protectionRadius(in.hoseLength, r.requiredWaterColumn);
  if (!std::isfinite(r.radius * r.radius)) {
    return errors::outOfRange(errors::Input::HoseLength, plain(in.hoseLength));
  }
  if (in.width) {
    const double b = *in.width;
    if (b > r.radius) {
      r.widthTooLarge = true;
    } else {
      const double half = hydrantSpacing(r.radius, b);
      r.spacing = in.streams == 2 ? half : 2 * half;
      r.spacingCap = in.streams == 2 ? kCapTwoStreams : kCapOneStream;
      r.adoptedSpacing = std::min(*r.spacing, *r.spacingCap);
    }
  }

  const Context context{in, r, kit};
  r.checks.reserve(std::size(kChecks));
  for (const CheckRow& row : kChecks) {
    if (!applies(row, in)) continue;
    DesignCheck check{
        std::string(row.id), clauseOf(row, context), row.verdict(context), {}, {}, {}, {}};
    if (in.withTexts) row.words(check, context);
    if (in.withTexts && check.verdict == Verdict::Fail) check.remedy = remedyOf(row.id, context);
    r.checks.push_back(std::move(check));
  }
  return r;
}

namespace {

// Indexed by the enums' values.
constexpr std::string_view kVerdictNames[] = {"pass", "fail", "note", "advice", "na"};
constexpr std::string_view kVerdictWords[] = {"满足", "不满足", "注意", "建议", "不适用"};
constexpr std::string_view kGoverningNames[] = {"waterColumn", "minFlow", "minPressure", "pressure",
                                                "flow"};
constexpr std::string_view kGoverningWords[] = {"充实水柱", "最小流量", "最小栓口动压",
                                                "给定栓口动压", "给定出水量"};

}  // namespace

std::string_view verdictName(Verdict verdict) { return kVerdictNames[static_cast<int>(verdict)]; }
std::string_view verdictWords(Verdict verdict) { return kVerdictWords[static_cast<int>(verdict)]; }
std::string_view governingName(Governing governing) {
  return kGoverningNames[static_cast<int>(governing)];
}
std::string_view governingWords(Governing governing) {
  return kGoverningWords[static_cast<int>(governing)];
}

std::string_view occupancyText(Occupancy occupancy) {
  return occupancy == Occupancy::High ? "高层建筑、厂房、库房和室内净空高度超过8m的民用建筑等场所"
                                      : "其他场所";
}

ShownPoint shownPoint(const HydrantPoint& p) {
  return {formatFixed(p.outletPressure, 2), formatFixed(toMPa(p.outletPressure), 3),
          formatFixed(p.nozzlePressure, 2), formatFixed(p.flow, 2),
          formatFixed(p.hoseLoss, 2),       formatFixed(p.waterColumn, 1)};
}

HydrantPoint roundedPoint(const HydrantPoint& p) {
  const ShownPoint s = shownPoint(p);
  const auto number = [](const std::string& text) { return parseNumber(text).value_or(0); };
  return {number(s.outletPressure), number(s.nozzlePressure), number(s.flow), number(s.hoseLoss),
          number(s.waterColumn)};
}

DesignInputs designInputs(const Calculation& calculation, const DesignSettings& settings) {
  const Entries& e = calculation.entries;
  DesignInputs in;
  // The run has already accepted these texts as numbers.
  in.hoseLength = parseNumber(e.hoseLength).value_or(0);
  in.hoseCoefficient = parseNumber(calculation.hoseCoefficient).value_or(0);
  in.material = e.material;
  in.hoseDiameter = e.hoseDiameter;
  in.nozzle = parseNumber(e.nozzle).value_or(0);
  in.waterColumn = parseNumber(e.waterColumn).value_or(0);
  if (!e.width.empty()) in.width = leadingNumber(e.width);
  if (e.flow) in.flow = parseNumber(*e.flow);
  in.occupancy = settings.occupancy;
  in.streams = settings.streams;
  in.minFlow = settings.minFlow;
  in.pressureMPa = settings.pressureMPa;
  return in;
}

std::span<const std::string_view> checkIds() { return kCheckIds; }

}  // namespace calc
