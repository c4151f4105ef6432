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
constexpr double kMinHoleFraction = 0.3;  // 10.3.1: hole ≥ 30 % of the pipe
constexpr double kMinHole = 20;           // 10.3.1: hole ≥ 20 mm

std::string plain(double v) { return numberToText(v); }

CalcError bad(const char* key, double value, const char* message) {
  return {key, plain(value), message};
}

bool finite(double v) { return std::isfinite(v); }
bool positive(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

double minHoleDiameter(double branchInnerDiameter) {
  return std::max(kMinHoleFraction * branchInnerDiameter, kMinHole);
}

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

std::string heightRuns(const std::vector<double>& heights) {
  std::string out;
  for (std::size_t i = 0; i < heights.size();) {
    std::size_t j = i;
    while (j < heights.size() && heights[j] == heights[i]) ++j;
    if (!out.empty()) out += ", ";
    out += numberToText(heights[i]);
    if (j - i > 1) out += "×" + std::to_string(j - i);
    i = j;
  }
  return out;
}

std::string holeDigits(const OrificePlate& plate) {
  std::string text;
  for (int decimals = 2; decimals <= 6; ++decimals) {
    text = formatFixed(plate.holeDiameterExact, decimals);
    if (parseNumber(text).value_or(0) > plate.holeDiameter - 1) break;
  }
  return text;
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

double stabilizerPressureAt(const SystemInputs& in, double elevation) {
  return in.stabilizer ? 100 * in.stabilizer->stopPressure + in.stabilizer->elevation - elevation
                       : 0;
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
  if (!positive(in.componentRating)) {
    return bad("system.component_rating", in.componentRating, "应为正数");
  }
  return std::nullopt;
}

namespace {

// The first result of the solve that is not a finite number, by the step that gave it.
std::optional<std::string> nonFiniteStep(const SystemResult& r) {
  const SystemPump& p = r.pump;
  for (double v : {p.flow, p.head, p.selectedHead, p.shutoffHead, p.friction, p.local})
    if (!finite(v)) return "水泵扬程";
  for (const SystemSegment& s : r.segments) {
    for (double v : {s.flow, s.velocity, s.friction, s.local})
      if (!finite(v)) return "管段 " + s.name;
  }
  for (const SystemFloor& f : r.floors) {
    for (double v : {f.zeroFlowPressure, f.dynamicPressure, f.singleHydrantPressure})
      if (!finite(v)) return "第 " + std::to_string(f.floor) + " 层栓口压力";
    if (f.orifice && !(finite(f.orifice->holeDiameterExact) && finite(f.orifice->afterPressure)))
      return "第 " + std::to_string(f.floor) + " 层减压孔板";
  }
  if (!finite(r.workingPressure)) return "系统工作压力";
  return std::nullopt;
}

}  // namespace

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
      const double s = stabilizerPressureAt(in, f.elevation);
      f.staticPressure = std::max(f.staticPressure.value_or(s), s);
    }
    f.zeroFlowPressure = r.pump.shutoffHead + (in.poolMaxLevel - f.elevation);
  }

  // Step 10: 8.2.3, at the pump outlet. A pump above the pool's highest level gains no
  // suction static; the stabiliser's stop pressure is referred from its outlet to the pump's.
  r.workingPressure = r.pump.shutoffHead + std::max(in.poolMaxLevel - in.pumpElevation, 0.0);
  if (in.stabilizer) {
    r.workingPressure = std::max(r.workingPressure, stabilizerPressureAt(in, in.pumpElevation));
  }

  // A number that is not finite never reaches a table or a verdict: the step is named.
  if (auto step = nonFiniteStep(r)) {
    return CalcError{"", "", "计算结果不是有限数（" + *step + "），请检查输入是否在合理范围内"};
  }

  r.checks = systemChecks(in, r);
  if (in.book.any()) {
    auto book = calculateBook(in.book, bookSystem(in, r));
    if (!book.ok()) return book.error();
    r.book = book.value();
    // A book check replaces the system's of the same id: the tank's static by the class, the
    // stabilising pump's with its own settings.
    std::erase_if(r.checks, [&](const DesignCheck& c) {
      return std::any_of(r.book->checks.begin(), r.book->checks.end(),
                         [&](const DesignCheck& b) { return b.id == c.id; });
    });
    r.checks.insert(r.checks.end(), r.book->checks.begin(), r.book->checks.end());
  }
  return r;
}

}  // namespace calc
