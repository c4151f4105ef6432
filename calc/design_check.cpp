#include "calc/design_check.h"

#include <algorithm>
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
constexpr double kBisectionTolerance = 1e-9;  // m, for the actual water column

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

std::string metres(double m, int decimals = 2) { return formatFixed(m, decimals) + " m"; }
std::string mpa(double m) { return formatFixed(toMPa(m), 3) + " MPa"; }
std::string lps(double q) { return formatFixed(q, 2) + " l/s"; }
std::string plain(double v) { return numberToText(v); }

// The dense water column H whose jet the nozzle pressure H_q gives:
// H_q / (1 + φ·H_q) = α_f(H)·H. The right side grows with H, so bisect.
double actualWaterColumn(double hq, const Kit& kit) {
  const double target = hq / (1 + kit.phi * hq);
  if (!(target > 0)) return 0;
  const auto reaches = [](double h) { return waterColumnCoefficient(h) * h; };
  double lo = 0;
  double hi = 1;
  while (reaches(hi) < target) {
    lo = hi;
    hi *= 2;
  }
  while (hi - lo > kBisectionTolerance) {
    const double mid = (lo + hi) / 2;
    (reaches(mid) < target ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
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
  if (in.pressureMPa && (bad(*in.pressureMPa) || !(*in.pressureMPa * 100 > kHydrantLoss))) {
    return inputError(kOutletPressureField, *in.pressureMPa,
                      "栓口动压应大于消火栓本身的 0.02 MPa 局部损失，单位为 MPa（如 0.35）。");
  }
  return std::nullopt;
}

DesignCheck makeCheck(const char* id, const char* clause, Verdict verdict, std::string requirement,
                      std::string value, std::string text) {
  return {id, clause, verdict, std::move(requirement), std::move(value), std::move(text)};
}

DesignCheck waterColumnCheck(const DesignInputs& in, const DesignResult& r) {
  const double req = r.requiredWaterColumn;
  const std::string requirement = "≥ " + metres(req, 0);
  if (in.pressureMPa) {
    const double act = r.design.waterColumn;
    const std::string at = "栓口动压 " + mpa(r.design.outletPressure) + " 时充实水柱为 ";
    if (act >= req - kOnLimit) {
      return makeCheck("waterColumn", "7.4.12-2", Verdict::Pass, requirement, metres(act, 1),
                       at + metres(act, 1) + "，不小于本场所要求的 " + metres(req, 0) + "。");
    }
    return makeCheck(
        "waterColumn", "7.4.12-2", Verdict::Fail, requirement, metres(act, 1),
        at + metres(act, 1) + "，小于本场所要求的 " + metres(req, 0) + "，应提高栓口动压。");
  }
  const std::string entered = plain(in.waterColumn) + " m";
  if (in.waterColumn >= req) {
    return makeCheck("waterColumn", "7.4.12-2", Verdict::Pass, requirement, entered,
                     "充实水柱长度 " + entered + "，不小于本场所要求的 " + metres(req, 0) + "。");
  }
  std::string text = "充实水柱长度 " + entered + " 小于本场所要求的 " + metres(req, 0) +
                     "，计算已按 " + metres(req, 0) + " 取用。";
  if (in.waterColumn < 10) {
    text +=
        "不足 10 m 的充实水柱（如 7 m）出自旧版规范（GB 50016-2006 等），"
        "GB 50974-2014 对任何场所均不再采用。";
  }
  return makeCheck("waterColumn", "7.4.12-2", Verdict::Fail, requirement, entered, text);
}

DesignCheck minPressureCheck(const DesignInputs& in, const DesignResult& r, const Kit& kit) {
  const double pmin = r.minPressure;
  const std::string requirement = "≥ " + formatFixed(toMPa(pmin), 2) + " MPa";
  const std::string limit = formatFixed(toMPa(pmin), 2) + " MPa";
  if (in.pressureMPa) {
    const double p = r.design.outletPressure;
    if (p >= pmin - kOnLimit) {
      return makeCheck("minPressure", "7.4.12-2", Verdict::Pass, requirement, mpa(p),
                       "栓口动压 " + mpa(p) + "，不小于本场所要求的 " + limit + "。");
    }
    return makeCheck("minPressure", "7.4.12-2", Verdict::Fail, requirement, mpa(p),
                     "栓口动压 " + mpa(p) + " 低于本场所要求的 " + limit + "，应提高供水压力。");
  }
  const HydrantPoint& a = *r.fromWaterColumn;
  const std::string fromColumn =
      "按充实水柱 " + plain(a.waterColumn) + " m 计算的栓口动压为 " + mpa(a.outletPressure);
  if (a.outletPressure >= pmin - kOnLimit) {
    return makeCheck("minPressure", "7.4.12-2", Verdict::Pass, requirement, mpa(a.outletPressure),
                     fromColumn + "，不小于本场所要求的 " + limit + "。");
  }
  const HydrantPoint atMin = pointAt(pmin, kit);
  return makeCheck("minPressure", "7.4.12-2", Verdict::Note, requirement, mpa(a.outletPressure),
                   fromColumn + "，低于本场所要求的 " + limit + "；栓口动压应提高到 " + limit +
                       "，此时每支水枪出水量 " + lps(atMin.flow) + "，充实水柱 " +
                       metres(atMin.waterColumn, 1) + "。");
}

DesignCheck maxPressureCheck(const DesignResult& r) {
  const double p = r.design.outletPressure;
  const std::string value = mpa(p);
  const std::string design = "设计栓口动压 " + value;
  if (p <= kMaxPressure + kOnLimit) {
    return makeCheck("maxPressure", "7.4.12-1", Verdict::Pass, "≤ 0.50 MPa", value,
                     design + "，不大于 0.50 MPa。");
  }
  if (p <= kReducerMandatory + kOnLimit) {
    return makeCheck("maxPressure", "7.4.12-1", Verdict::Fail, "≤ 0.50 MPa", value,
                     design + " 大于 0.50 MPa，应采取减压措施（如减压稳压消火栓）。");
  }
  return makeCheck("maxPressure", "7.4.12-1", Verdict::Fail, "≤ 0.50 MPa", value,
                   design + " 大于 0.70 MPa，必须设置减压装置（减压孔板或减压阀）。");
}

DesignCheck minFlowCheck(const DesignInputs& in, const DesignResult& r, const Kit& kit) {
  const double qmin = in.minFlow;
  const std::string requirement = "≥ " + plain(qmin) + " l/s";
  const std::string limit = "每支水枪最小流量 " + plain(qmin) + " l/s";
  if (in.pressureMPa) {
    const double q = r.design.flow;
    const std::string at = "栓口动压 " + mpa(r.design.outletPressure) + " 时出水量为 " + lps(q);
    if (q >= qmin - kOnLimit) {
      return makeCheck("minFlow", "3.5.2", Verdict::Pass, requirement, lps(q),
                       at + "，不小于" + limit + "。");
    }
    return makeCheck("minFlow", "3.5.2", Verdict::Fail, requirement, lps(q),
                     at + "，低于" + limit + "，应提高栓口动压。");
  }
  const double q = r.fromWaterColumn->flow;
  const std::string fromColumn = "按充实水柱计算的出水量为 " + lps(q);
  if (q >= qmin - kOnLimit) {
    return makeCheck("minFlow", "3.5.2", Verdict::Pass, requirement, lps(q),
                     fromColumn + "，不小于" + limit + "。");
  }
  return makeCheck("minFlow", "3.5.2", Verdict::Note, requirement, lps(q),
                   fromColumn + "，低于" + limit + "；出水量提高到不小于 " + plain(qmin) +
                       " l/s，喷嘴压力 H_q = q²/B = " + metres(qmin * qmin / kit.b) + "。");
}

DesignCheck spacingCheck(const DesignInputs& in, const DesignResult& r) {
  const char* clause = in.streams == 2 ? "7.4.10-1" : "7.4.10-2";
  const std::string cap = plain(in.streams == 2 ? kCapTwoStreams : kCapOneStream) + " m";
  const std::string requirement = "≤ " + cap;
  const std::string layout = in.streams == 2 ? "两股充实水柱同时到达" : "一股充实水柱到达";
  if (r.widthTooLarge) {
    return makeCheck("spacing", clause, Verdict::Fail, "b ≤ R", metres(*in.width),
                     "保护宽度 " + metres(*in.width) + " 大于保护半径 " + metres(r.radius) + "（" +
                         kWidthTooLargeMessage + "），应减小保护宽度或增设消火栓。");
  }
  const std::string computed = layout + "时，保护半径 " + metres(r.radius) + "、保护宽度 " +
                               metres(*in.width) + " 得消火栓间距 " + metres(*r.spacing);
  if (*r.spacing > *r.spacingCap + kOnLimit) {
    return makeCheck("spacing", clause, Verdict::Note, requirement, metres(*r.spacing),
                     computed + "，大于 " + cap + "，布置间距取 " + cap + "。");
  }
  return makeCheck("spacing", clause, Verdict::Pass, requirement, metres(*r.spacing),
                   computed + "，不大于 " + cap + "。");
}

DesignCheck hoseCheck(const DesignInputs& in) {
  const std::string value =
      in.hoseDiameter + " mm " + in.material + "水带 " + plain(in.hoseLength) + " m";
  if (in.material == "衬胶" && in.hoseDiameter == "65" && in.hoseLength <= 25) {
    return makeCheck("hose", "7.4.2", Verdict::Pass, "DN65 衬胶水带，≤ 25 m", value,
                     "配置 " + value + "，符合公称直径 65 mm 有内衬里、长度不超过 25 m 的要求。");
  }
  return makeCheck("hose", "7.4.2", Verdict::Advice, "DN65 衬胶水带，≤ 25 m", value,
                   "消火栓宜配置公称直径 65 mm 有内衬里的消防水带，长度不宜超过 25 m；当前为 " +
                       value + "，建议改用 65 mm 衬胶水带。");
}

DesignCheck nozzleCheck(const DesignInputs& in) {
  // Table 3.5.2's 2.5 l/s buildings take the small nozzles, every other flow the large.
  const bool small = in.minFlow <= 2.5;
  const double first = small ? 11 : 16;
  const double second = small ? 13 : 19;
  const std::string requirement = plain(first) + " 或 " + plain(second) + " mm";
  const std::string value = plain(in.nozzle) + " mm";
  if (in.nozzle == first || in.nozzle == second) {
    return makeCheck(
        "nozzle", "7.4.2", Verdict::Pass, requirement, value,
        "当量喷嘴直径 " + value + "，符合每支水枪 " + plain(in.minFlow) + " l/s 时的配置要求。");
  }
  return makeCheck("nozzle", "7.4.2", Verdict::Advice, requirement, value,
                   "每支水枪 " + plain(in.minFlow) + " l/s 时宜配置当量喷嘴直径 " + requirement +
                       " 的消防水枪，当前为 " + value + "。");
}

}  // namespace

Result<DesignResult> checkDesign(const DesignInputs& in) {
  if (auto error = validate(in)) return *error;

  const Kit kit{nozzleCoefficient(in.nozzle), nozzleFlowCoefficient(1, in.nozzle),
                in.hoseCoefficient * in.hoseLength};
  DesignResult r;
  const bool high = in.occupancy == Occupancy::High;
  r.requiredWaterColumn = high ? 13 : 10;
  r.minPressure = high ? 35 : 25;

  if (in.pressureMPa) {
    r.governedBy = Governing::Pressure;
    r.design = pointAt(*in.pressureMPa * 100, kit);
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

  // The radius as the window forms it, from the water column as entered.
  r.radius = in.hoseLength * 0.8 + in.waterColumn * 0.71;
  if (!std::isfinite(r.radius * r.radius)) {
    return errors::outOfRange(errors::Input::WaterColumn, plain(in.waterColumn));
  }
  if (in.width) {
    const double b = *in.width;
    if (b > r.radius) {
      r.widthTooLarge = true;
    } else {
      const double half = std::sqrt(r.radius * r.radius - b * b);
      r.spacing = in.streams == 2 ? half : 2 * half;
      r.spacingCap = in.streams == 2 ? kCapTwoStreams : kCapOneStream;
      r.adoptedSpacing = std::min(*r.spacing, *r.spacingCap);
    }
  }

  r.checks.push_back(waterColumnCheck(in, r));
  r.checks.push_back(minPressureCheck(in, r, kit));
  r.checks.push_back(maxPressureCheck(r));
  r.checks.push_back(minFlowCheck(in, r, kit));
  if (in.width) r.checks.push_back(spacingCheck(in, r));
  r.checks.push_back(hoseCheck(in));
  r.checks.push_back(nozzleCheck(in));
  return r;
}

std::string_view verdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass:
      return "pass";
    case Verdict::Fail:
      return "fail";
    case Verdict::Note:
      return "note";
    case Verdict::Advice:
      break;
  }
  return "advice";
}

std::string_view governingName(Governing governing) {
  switch (governing) {
    case Governing::WaterColumn:
      return "waterColumn";
    case Governing::MinFlow:
      return "minFlow";
    case Governing::MinPressure:
      return "minPressure";
    case Governing::Pressure:
      break;
  }
  return "pressure";
}

std::string_view verdictWords(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass:
      return "满足";
    case Verdict::Fail:
      return "不满足";
    case Verdict::Note:
      return "注意";
    case Verdict::Advice:
      break;
  }
  return "建议";
}

std::string_view governingWords(Governing governing) {
  switch (governing) {
    case Governing::WaterColumn:
      return "充实水柱";
    case Governing::MinFlow:
      return "最小流量";
    case Governing::MinPressure:
      return "最小栓口动压";
    case Governing::Pressure:
      break;
  }
  return "给定栓口动压";
}

std::string_view occupancyText(Occupancy occupancy) {
  return occupancy == Occupancy::High ? "高层建筑、厂房、库房和室内净空高度超过8m的民用建筑等场所"
                                      : "其他场所";
}

}  // namespace calc
