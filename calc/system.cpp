#include "calc/system.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "calc/nozzle.h"
#include "calc/number_text.h"

namespace calc {
namespace {

constexpr double kG = 9.81;               // m/s²
constexpr double kHydrantLoss = 2;        // H_k through the hydrant valve, m (textbook value)
constexpr double kOnLimit = 1e-9;         // m: within this of a limit counts as on it
constexpr double kReduceAbove = 50;       // 7.4.12-1: 0.50 MPa
constexpr double kReduceMandatory = 70;   // 7.4.12-1: 0.70 MPa
constexpr double kMinHoleFraction = 0.3;  // 10.3.1: hole ≥ 30 % of the pipe
constexpr double kMinHole = 20;           // 10.3.1: hole ≥ 20 mm

std::string plain(double v) { return numberToText(v); }

CalcError bad(const char* key, double value, const char* message) {
  return {key, plain(value), message};
}

bool finite(double v) { return std::isfinite(v); }
bool positive(double v) { return std::isfinite(v) && v > 0; }

// Flow through the hose and nozzle of the most unfavourable hydrant at outlet pressure H, L/s.
double hydrantFlow(double outletPressure, double resistance) {
  return std::sqrt(std::max(outletPressure - kHydrantLoss, 0.0) / resistance);
}

double velocity(double flow, double innerDiameterMm) {
  const double d = innerDiameterMm / 1000;
  return flow / 1000 / (std::numbers::pi / 4 * d * d);
}

SystemSegment segment(std::string name, double flow, const PipeInputs& pipe, double length,
                      double localLoss) {
  SystemSegment s;
  s.name = std::move(name);
  s.flow = flow;
  s.innerDiameter = pipe.innerDiameter;
  s.length = length;
  s.velocity = velocity(flow, pipe.innerDiameter);
  s.gradient = frictionGradient(flow, pipe.innerDiameter, pipe.c);
  s.friction = s.gradient * length;
  s.local = localLoss * s.friction;
  return s;
}

OrificePlate sizePlate(double dynamic, double target, double resistance, double branch) {
  OrificePlate p;
  p.flow = hydrantFlow(target, resistance);
  p.velocity = velocity(p.flow, branch);
  const double headOfVelocity = p.velocity * p.velocity / (2 * kG);
  p.lossToTake = dynamic - target;
  p.zeta = p.lossToTake / headOfVelocity;
  p.ratio = orificeRatio(p.zeta);
  p.holeDiameterExact = p.ratio * branch + 1;
  // Rounded up: a smaller hole would take more than the loss wanted.
  p.holeDiameter = std::ceil(p.holeDiameterExact - kOnLimit);
  const double made = (p.holeDiameter - 1) / branch;
  p.afterPressure = dynamic - (made < 1 ? orificeZeta(made) : 0) * headOfVelocity;
  p.ok = p.holeDiameter + kOnLimit >= minHoleDiameter(branch);
  return p;
}

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
  if (!positive(in.shutoffRatio)) return bad("pump.shutoff_ratio", in.shutoffRatio, "应为正数");
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

Result<SystemResult> calculateSystem(const SystemInputs& in) {
  if (auto error = validateSystem(in)) return *error;
  DesignInputs hydrant = in.hydrant;
  hydrant.width.reset();
  hydrant.pressureMPa.reset();
  auto design = checkDesign(hydrant);
  if (!design.ok()) return design.error();

  SystemResult r;
  r.design = design.value();
  const int n = in.floors;
  const std::vector<double> z = outletElevations(in);
  const double lambda = in.localLoss;
  // 1/B + A_z·L_d: H − 2 = q² · resistance.
  const double resistance = 1 / nozzleFlowCoefficient(1, in.hydrant.nozzle) +
                            in.hydrant.hoseCoefficient * in.hydrant.hoseLength;

  // Steps 1, 3: the flowing hydrants from the top down.
  // Compared as doubles first: a riser flow far above the nozzle's would overflow an int.
  const double nozzles = std::ceil(in.riserMinFlow / in.hydrant.minFlow - kOnLimit);
  r.streams = nozzles >= n ? n : std::max(static_cast<int>(nozzles), 1);
  double head = r.design.design.outletPressure;
  double flow = r.design.design.flow;
  r.hydrants.push_back({n, z[n - 1], head, flow});
  double carried = flow;
  for (int k = 1; k < r.streams; ++k) {
    const int upper = n - k + 1;
    const int lower = n - k;
    SystemSegment s = segment("立管 " + std::to_string(upper) + "–" + std::to_string(lower),
                              carried, in.riser, z[upper - 1] - z[lower - 1], lambda);
    head += s.length + s.friction + s.local;
    flow = hydrantFlow(head, resistance);
    carried += flow;
    r.segments.push_back(std::move(s));
    r.hydrants.push_back({lower, z[lower - 1], head, flow});
  }
  // Steps 4, 5: riser below the lowest flowing hydrant, then the main.
  r.riserFlow = carried;
  const int lowest = n - r.streams + 1;
  r.segments.push_back(segment("立管 " + std::to_string(lowest) + "–底部", r.riserFlow, in.riser,
                               z[lowest - 1] - in.riserBaseElevation, lambda));
  r.pump.flow = std::max(in.designFlow, r.riserFlow);
  r.segments.push_back(segment("干管", r.pump.flow, in.main, in.mainLength, lambda));

  // Step 6: 10.1.7.
  for (const SystemSegment& s : r.segments) {
    r.pump.friction += s.friction;
    r.pump.local += s.local;
  }
  r.pump.lift = z[n - 1] - in.poolLevel;
  r.pump.head =
      in.k2 * (r.pump.friction + r.pump.local) + r.pump.lift + r.design.design.outletPressure;
  r.pump.selectedHead = in.ratedHead.value_or(r.pump.head);
  r.pump.shutoffHead = in.shutoffRatio * r.pump.selectedHead;

  // Steps 7–9: every floor, the pump at (Q_p, H_s) and the riser carrying Q_r.
  r.targetPressure =
      in.targetPressureMPa ? *in.targetPressureMPa * 100 : r.design.design.outletPressure;
  const double riserLoss =
      (1 + lambda) * frictionGradient(r.riserFlow, in.riser.innerDiameter, in.riser.c);
  r.floors.reserve(n);
  for (int i = 1; i <= n; ++i) {
    SystemFloor f;
    f.floor = i;
    f.elevation = z[i - 1];
    if (in.tank) f.staticPressure = in.tank->highestLevel - f.elevation;
    if (in.stabilizer) {
      const double s = stabilizerPressureAt(in, f.elevation);
      f.staticPressure = std::max(f.staticPressure.value_or(s), s);
    }
    f.zeroFlowPressure = r.pump.shutoffHead + (in.poolMaxLevel - f.elevation);
    f.dynamicPressure = r.pump.selectedHead - (f.elevation - in.poolLevel) -
                        riserLoss * (f.elevation - in.riserBaseElevation);
    if (f.dynamicPressure > kReduceMandatory + kOnLimit) {
      f.reducing = Reducing::Mandatory;
    } else if (f.dynamicPressure > kReduceAbove + kOnLimit) {
      f.reducing = Reducing::Required;
    }
    if (f.reducing != Reducing::None && f.dynamicPressure > r.targetPressure) {
      f.orifice =
          sizePlate(f.dynamicPressure, r.targetPressure, resistance, in.branchInnerDiameter);
      f.orifice->afterInRange = f.orifice->afterPressure >= r.design.minPressure - kOnLimit &&
                                f.orifice->afterPressure <= kReduceAbove + kOnLimit;
    }
    r.floors.push_back(std::move(f));
  }

  // Step 10: 8.2.3, at the pump outlet. A pump above the pool's highest level gains no
  // suction static; the stabiliser's stop pressure is referred from its outlet to the pump's.
  r.workingPressure = r.pump.shutoffHead + std::max(in.poolMaxLevel - in.pumpElevation, 0.0);
  if (in.stabilizer) {
    r.workingPressure = std::max(r.workingPressure, stabilizerPressureAt(in, in.pumpElevation));
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
