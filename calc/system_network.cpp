#include "calc/system_network.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "calc/network.h"
#include "calc/number_text.h"

namespace calc {
namespace {

constexpr double kG = 9.81;              // m/s²
constexpr double kHydrantLoss = 2;       // H_k through the hydrant valve, m
constexpr double kOnLimit = 1e-9;        // m: within this of a limit counts as on it
constexpr double kReduceAbove = 50;      // 7.4.12-1: 0.50 MPa
constexpr double kReduceMandatory = 70;  // 7.4.12-1: 0.70 MPa
constexpr double kFixedPoint = 1e-9;     // L/s: the rest of the design flow settles to this
constexpr double kTie = 1e-6;  // risers whose ΔH, and pipes whose flows, differ by less tie

double velocity(double flow, double innerDiameterMm) {
  const double d = innerDiameterMm / 1000;
  return flow / 1000 / (std::numbers::pi / 4 * d * d);
}

enum class PipeKind { Main, Ring, TopRing, Riser };

struct PipeInfo {
  PipeKind kind = PipeKind::Main;
  int riser = 0;  // a riser pipe's riser; a ring pipe's risers, a to b
  int riserTo = 0;
  PipeInputs pipe;
  double length = 0;
};

struct Open {
  int riser = 1;  // 1-based
  int floor = 1;  // 1-based
  double zeta = 0;
};

// The network of the building; the duties open hydrants, add draws and the pump on copies.
class Model {
 public:
  Model(const SystemInputs& in, double resistance) : in_(in), resistance_(resistance) {
    const std::vector<double> z = outletElevations(in);
    const int n = in.riserCount;
    const int m = in.floors;
    net_.nodes.push_back({in.poolLevel, in.poolLevel, 0});
    node(0, 0);
    net_.nodes.push_back({in.pumpElevation, std::nullopt, 0});
    node(0, 0);
    const bool footApart = in.riserBaseElevation < z.front();
    floorNode_.assign(n, std::vector<int>(m));
    for (int r = 1; r <= n; ++r) {
      if (footApart) {
        foot_.push_back(static_cast<int>(net_.nodes.size()));
        net_.nodes.push_back({in.riserBaseElevation, std::nullopt, 0});
        node(r, 0);
      }
      for (int i = 1; i <= m; ++i) {
        floorNode_[r - 1][i - 1] = static_cast<int>(net_.nodes.size());
        net_.nodes.push_back({z[i - 1], std::nullopt, 0});
        node(r, i);
      }
      if (!footApart) foot_.push_back(floorNode_[r - 1][0]);
    }
    pipe(kPump, foot_[0], {PipeKind::Main, 0, 1, in.main, in.mainLength});
    const PipeInputs ring = in.ring.value_or(in.main);
    for (int r = 1; r < n; ++r) {
      pipe(foot_[r - 1], foot_[r], {PipeKind::Ring, r, r + 1, ring, in.riserSpacing});
    }
    if (n >= 3) pipe(foot_[n - 1], foot_[0], {PipeKind::Ring, n, 1, ring, in.riserSpacing});
    for (int r = 1; r <= n; ++r) {
      if (footApart) {
        pipe(foot_[r - 1], floorNode_[r - 1][0],
             {PipeKind::Riser, r, r, in.riser, z.front() - in.riserBaseElevation});
      }
      for (int i = 1; i < m; ++i) {
        pipe(floorNode_[r - 1][i - 1], floorNode_[r - 1][i],
             {PipeKind::Riser, r, r, in.riser, z[i] - z[i - 1]});
      }
    }
    if (in.topRing && n >= 2) {
      for (int r = 1; r < n; ++r) {
        pipe(floorNode_[r - 1][m - 1], floorNode_[r][m - 1],
             {PipeKind::TopRing, r, r + 1, in.riser, in.riserSpacing});
      }
      if (n >= 3) {
        pipe(floorNode_[n - 1][m - 1], floorNode_[0][m - 1],
             {PipeKind::TopRing, n, 1, in.riser, in.riserSpacing});
      }
    }
  }

  static constexpr int kPool = 0;
  static constexpr int kPump = 1;

  const Network& base() const { return net_; }
  const PipeInfo& info(int pipe) const { return info_[pipe]; }
  int foot(int riser) const { return foot_[riser - 1]; }
  int floorNode(int riser, int floor) const { return floorNode_[riser - 1][floor - 1]; }
  int riserOf(int node) const { return riserOf_[node]; }
  int floorOf(int node) const { return floorOf_[node]; }
  bool isFoot(int node) const { return node == foot_[std::max(riserOf_[node], 1) - 1]; }

  // Outlet resistance with a plate of `zeta` in the branch: p = 2 + coefficient·q².
  double coefficient(double zeta) const {
    const double d = in_.branchInnerDiameter / 1000;
    const double area = std::numbers::pi / 4 * d * d;
    return resistance_ + zeta / (1e6 * area * area * 2 * kG);
  }

  // Where the rest R of the design flow is drawn with the fire on `fireRiser`: the other
  // risers' feet in ring order r+1, r−1, r+2, …, each up to the riser minimum flow, then what
  // is left at riser 1's foot.
  struct Slot {
    int node = 0;
    double cap = 0;  // L/s
  };
  std::vector<Slot> slots(int fireRiser) const {
    const int n = in_.riserCount;
    std::vector<Slot> out;
    std::vector<char> taken(n + 1, 0);
    taken[fireRiser] = 1;
    for (int step = 1; step < n; ++step) {
      for (int sign : {1, -1}) {
        const int r = ((fireRiser - 1 + sign * step) % n + n) % n + 1;
        if (taken[r]) continue;
        taken[r] = 1;
        out.push_back({foot(r), in_.riserMinFlow});
      }
    }
    out.push_back({foot(1), std::numeric_limits<double>::infinity()});
    return out;
  }

  // The open hydrants, and the slots before `filled` drawing their full share.
  Network fire(const std::vector<Open>& open, const std::vector<Slot>& slots, int filled) const {
    Network net = net_;
    for (const Open& o : open) {
      net.emitters.push_back({floorNode(o.riser, o.floor), kHydrantLoss, coefficient(o.zeta)});
    }
    for (int k = 0; k < filled; ++k) net.nodes[slots[k].node].draw += slots[k].cap;
    return net;
  }

 private:
  void node(int riser, int floor) {
    riserOf_.push_back(riser);
    floorOf_.push_back(floor);
  }
  void pipe(int from, int to, PipeInfo info) {
    net_.pipes.push_back(
        {from, to, info.length, info.pipe.innerDiameter, info.pipe.c, in_.localLoss});
    info_.push_back(info);
  }

  const SystemInputs& in_;
  double resistance_;
  Network net_;
  std::vector<PipeInfo> info_;
  std::vector<int> foot_;
  std::vector<std::vector<int>> floorNode_;
  std::vector<int> riserOf_;
  std::vector<int> floorOf_;
};

CalcError notBalanced(const std::string& duty, const NetworkSolution& s) {
  const std::string left = "水头 " + significantText(s.headResidual) + " m、流量 " +
                           significantText(s.flowResidual) + " L/s";
  return {"network", left, "管网计算未收敛：" + duty + "，最后残差 " + left};
}

// Outlet pressure of an open hydrant: 2 + k·q² while it flows, its node's pressure when shut.
double outletPressure(const Network& net, const NetworkSolution& s, int emitter, double k) {
  const double q = s.emitterFlows[emitter];
  const int node = net.emitters[emitter].node;
  return q > 0 ? kHydrantLoss + k * q * q : s.heads[node] - net.nodes[node].elevation;
}

double madeZeta(double hole, double branch) {
  const double made = (hole - 1) / branch;
  return made < 1 ? orificeZeta(made) : 0;
}

struct Duties {
  const SystemInputs& in;
  const Model& model;
  double k;  // outlet resistance
  SystemResult& r;
  int m = in.floors;
  int s = r.streams;
  double rest = 0;  // R of the last duty solved, L/s

  // Floors a..a+s−1 of `riser` open for a fire at floor f, a = min(f, m − s + 1).
  std::vector<Open> streams(int riser, int f, const std::vector<double>& zetas) const {
    std::vector<Open> open;
    const int a = std::min(f, m - s + 1);
    for (int i = a + s - 1; i >= a; --i) open.push_back({riser, i, zetas[i - 1]});
    return open;
  }

  // The slot that R falls in (−1: nothing drawn), from the last duty's R.
  int slotFor(const std::vector<Model::Slot>& slots) const {
    if (rest <= 0) return -1;
    double below = 0;
    for (std::size_t k = 0; k + 1 < slots.size(); ++k) {
      if (rest <= below + slots[k].cap) return static_cast<int>(k);
      below += slots[k].cap;
    }
    return static_cast<int>(slots.size()) - 1;
  }

  // R = max(design − Q_r, 0) and Q_r solved together: while R > 0 the pump delivers exactly the
  // design flow, so it is held there (at its head on the curve, or by the injection of duty 1)
  // and the slot R ends in draws whatever balances; the slots before it draw their share. The
  // slot is moved until its draw fits. `hold` sets up the duty: the pump on its curve when
  // nothing is drawn, else held; returns the balance.
  template <class Hold>
  std::optional<CalcError> withRest(const std::vector<Open>& open, int riser,
                                    const std::string& duty, int& iterations, Hold hold,
                                    Network& net, NetworkSolution& sol, double& qr) {
    const std::vector<Model::Slot> slots = model.slots(riser);
    int k = slotFor(slots);
    const int most = 2 * static_cast<int>(slots.size()) + 4;
    for (int round = 0; round < most; ++round) {
      net = model.fire(open, slots, std::max(k, 0));
      hold(net, k < 0 ? -1 : slots[k].node);
      NetworkSolution next = solveNetwork(net, sol.heads.empty() ? nullptr : &sol);
      iterations += next.iterations;
      ++r.iterations.solves;
      if (!next.converged) return notBalanced(duty, next);
      sol = std::move(next);
      double drawn = 0;
      for (int j = 0; j < k; ++j) drawn += slots[j].cap;
      if (k < 0) {
        qr = 0;
        for (double q : sol.emitterFlows) qr += q;
        if (net.balance) qr = -sol.balanceDraw;  // duty 1: what is put in comes out
        if (qr >= in.designFlow - kFixedPoint || round + 1 == most) {
          rest = 0;
          return std::nullopt;
        }
        k = 0;
        continue;
      }
      const double x = sol.balanceDraw;
      qr = in.designFlow - drawn - x;
      if (x < -kFixedPoint && round + 1 < most) {
        --k;
      } else if (x > slots[k].cap + kFixedPoint && round + 1 < most) {
        ++k;
      } else {
        rest = drawn + x;
        return std::nullopt;
      }
    }
    return notBalanced(duty, NetworkSolution{});
  }

  // The pump on its curve, or held at the design flow by its head there.
  std::optional<CalcError> onCurve(const std::vector<Open>& open, int riser,
                                   const std::string& duty, int& iterations, Network& net,
                                   NetworkSolution& sol) {
    const double designHead =
        in.poolLevel + r.pump.a - r.pump.b * std::pow(in.designFlow, r.pump.c);
    const auto hold = [&](Network& n, int balancing) {
      if (balancing < 0) {
        n.pumps.push_back({Model::kPool, Model::kPump, r.pump.a, r.pump.b, r.pump.c});
      } else {
        n.nodes[Model::kPump].fixedHead = designHead;
        n.balance = NetworkBalance{balancing, Model::kPump, in.designFlow};
      }
    };
    double qr = 0;
    return withRest(open, riser, duty, iterations, hold, net, sol, qr);
  }

  // 10.1.7: the top hydrant of `riser` held at H₀ (so letting out q₀), the water put in at the
  // pump's outlet.
  std::optional<CalcError> required(int riser, Network& net, NetworkSolution& sol, double& qr) {
    const double h0 = r.design.design.outletPressure;
    const double q0 = r.design.design.flow;
    std::vector<Open> open = streams(riser, m, std::vector<double>(m, 0));
    open.erase(open.begin());  // the top one is the held node
    const int top = model.floorNode(riser, m);
    const auto hold = [&](Network& n, int balancing) {
      n.nodes[top].fixedHead = n.nodes[top].elevation + h0;
      if (balancing < 0) {
        n.balance = NetworkBalance{Model::kPump, top, -q0};
      } else {
        n.nodes[Model::kPump].draw = -in.designFlow;
        n.balance = NetworkBalance{balancing, top, -q0};
      }
    };
    rest = std::max(in.designFlow - s * q0, 0.0);
    sol = NetworkSolution{};
    return withRest(open, riser, "第 " + std::to_string(riser) + " 根立管的所需扬程工况",
                    r.iterations.required, hold, net, sol, qr);
  }

  // How the water reaches `riser`'s top hydrant, traced back to the pump through the pipe
  // bringing in the most at each node; a riser's pipes with no open hydrant between one row.
  void trace(const Network& net, const NetworkSolution& sol, int riser) {
    std::vector<std::vector<int>> pipesAt(net.nodes.size());
    for (std::size_t j = 0; j < net.pipes.size(); ++j) {
      pipesAt[net.pipes[j].from].push_back(static_cast<int>(j));
      pipesAt[net.pipes[j].to].push_back(static_cast<int>(j));
    }
    std::vector<char> hydrant(net.nodes.size(), 0);
    for (const NetworkEmitter& e : net.emitters) hydrant[e.node] = 1;
    int node = model.floorNode(riser, m);
    hydrant[node] = 1;
    std::vector<std::pair<int, int>> path;  // pipe, the node water enters it from
    std::vector<char> seen(net.nodes.size(), 0);
    while (node != Model::kPump && !seen[node]) {
      seen[node] = 1;
      int best = -1;
      int bestFrom = 0;
      double bestFlow = 0;
      for (int j : pipesAt[node]) {
        const NetworkPipe& p = net.pipes[j];
        const double in_ = p.to == node ? sol.pipeFlows[j] : -sol.pipeFlows[j];
        if (in_ <= 0) continue;
        const int from = p.to == node ? p.from : p.to;
        if (best < 0 || in_ > bestFlow + kTie ||
            (in_ > bestFlow - kTie && model.riserOf(from) < model.riserOf(bestFrom))) {
          best = j;
          bestFrom = from;
          bestFlow = in_;
        }
      }
      if (best < 0) break;
      path.push_back({best, bestFrom});
      node = bestFrom;
    }
    const bool one = in.riserCount == 1;
    const auto end = [&](int at) {
      return model.isFoot(at) ? std::string("底部") : std::to_string(model.floorOf(at));
    };
    int upper = model.floorNode(riser, m);
    for (std::size_t k = 0; k < path.size(); ++k) {
      const auto [j, from] = path[k];
      const PipeInfo& info = model.info(j);
      const double q = std::abs(sol.pipeFlows[j]);
      SystemSegment seg;
      if (info.kind == PipeKind::Riser) {
        // Down the riser while no hydrant flows in between.
        std::size_t last = k;
        while (last + 1 < path.size() && !hydrant[path[last].second] &&
               !model.isFoot(path[last].second) &&
               model.info(path[last + 1].first).kind == PipeKind::Riser) {
          ++last;
        }
        const int lower = path[last].second;
        seg.name = (one ? std::string("立管 ") : std::to_string(info.riser) + "号立管 ") +
                   end(upper) + "–" + end(lower);
        seg.length = std::abs(net.nodes[upper].elevation - net.nodes[lower].elevation);
        k = last;
        upper = lower;
      } else {
        const int a = std::min(info.riser, info.riserTo);
        const int b = std::max(info.riser, info.riserTo);
        seg.name = info.kind == PipeKind::Main ? std::string("干管")
                   : info.kind == PipeKind::Ring
                       ? "环管 " + std::to_string(a) + "–" + std::to_string(b)
                       : "顶部环管 " + std::to_string(a) + "–" + std::to_string(b);
        seg.length = info.length;
        upper = from;
      }
      seg.flow = q;
      seg.innerDiameter = info.pipe.innerDiameter;
      seg.velocity = velocity(q, info.pipe.innerDiameter);
      seg.gradient = frictionGradient(q, info.pipe.innerDiameter, info.pipe.c);
      seg.friction = seg.gradient * seg.length;
      seg.local = in.localLoss * seg.friction;
      r.segments.push_back(std::move(seg));
    }
  }

  std::optional<CalcError> run() {
    const int n = in.riserCount;
    const double h0 = r.design.design.outletPressure;
    const std::vector<double> z = outletElevations(in);

    // Duty 1 on every riser; r* has the largest ΔH.
    Network starNet;
    NetworkSolution starSol;
    double starRest = 0;
    double starQr = 0;
    for (int riser = 1; riser <= n; ++riser) {
      Network net;
      NetworkSolution sol;
      double qr = 0;
      if (auto error = required(riser, net, sol, qr)) return error;
      const double loss = sol.heads[Model::kPump] - (z[m - 1] + h0);
      r.risers.push_back({riser, loss});
      if (riser == 1 || loss > r.risers[r.mostUnfavourableRiser - 1].headLoss + kTie) {
        r.mostUnfavourableRiser = riser;
        starNet = std::move(net);
        starSol = std::move(sol);
        starRest = rest;
        starQr = qr;
      }
    }
    const int star = r.mostUnfavourableRiser;
    r.hydrants.push_back({star, m, z[m - 1], h0, r.design.design.flow});
    for (std::size_t e = 0; e < starNet.emitters.size(); ++e) {
      const int node = starNet.emitters[e].node;
      const int floor = model.floorOf(node);
      r.hydrants.push_back({star, floor, z[floor - 1],
                            outletPressure(starNet, starSol, static_cast<int>(e), k),
                            starSol.emitterFlows[e]});
    }
    r.riserFlow = starQr;
    r.otherFlow = starRest;
    rest = starRest;
    trace(starNet, starSol, star);
    for (const SystemSegment& seg : r.segments) {
      r.pump.friction += seg.friction;
      r.pump.local += seg.local;
    }
    r.pump.flow = r.riserFlow + starRest;
    r.pump.lift = z[m - 1] - in.poolLevel;
    r.pump.head = in.k2 * r.risers[star - 1].headLoss + r.pump.lift + h0;

    // The pump's curve.
    if (in.pumpCurve.size() == 3) {
      const CurveFit fit = fitPumpCurve(in.pumpCurve[0], in.pumpCurve[1], in.pumpCurve[2]);
      r.pump.a = fit.a;
      r.pump.b = fit.b;
      r.pump.c = fit.c;
      r.pump.selectedHead = fit.a - fit.b * std::pow(r.pump.flow, fit.c);
      r.pump.shutoffHead = fit.a;
    } else {
      const double hs = in.ratedHead.value_or(r.pump.head);
      const CurveFit fit = fitPumpCurve({0, in.shutoffRatio * hs}, {r.pump.flow, hs},
                                        {1.5 * r.pump.flow, 0.65 * hs});
      r.pump.a = fit.a;
      r.pump.b = fit.b;
      r.pump.c = fit.c;
      r.pump.selectedHead = hs;
      r.pump.shutoffHead = fit.a;
    }

    // Duty 3, floor by floor from the top: the plates above sized, floor f without one.
    r.targetPressure = in.targetPressureMPa ? *in.targetPressureMPa * 100 : h0;
    std::vector<double> zetas(m, 0);
    r.floors.resize(m);
    Network net;
    NetworkSolution sol;
    for (int f = m; f >= 1; --f) {
      SystemFloor& floor = r.floors[f - 1];
      floor.floor = f;
      floor.elevation = z[f - 1];
      std::vector<double> above = zetas;
      std::fill(above.begin(), above.begin() + f, 0.0);
      const std::vector<Open> open = streams(star, f, above);
      const std::string duty = "第 " + std::to_string(f) + " 层着火工况";
      if (auto error = onCurve(open, star, duty, r.iterations.floors, net, sol)) return error;
      const int at = static_cast<int>(
          std::find_if(open.begin(), open.end(), [f](const Open& o) { return o.floor == f; }) -
          open.begin());
      floor.dynamicPressure = outletPressure(net, sol, at, k);
      if (floor.dynamicPressure > kReduceMandatory + kOnLimit) {
        floor.reducing = Reducing::Mandatory;
      } else if (floor.dynamicPressure > kReduceAbove + kOnLimit) {
        floor.reducing = Reducing::Required;
      }
      if (floor.reducing == Reducing::None || floor.dynamicPressure <= r.targetPressure) continue;
      OrificePlate p;
      p.flow = std::sqrt((r.targetPressure - kHydrantLoss) / k);
      p.velocity = velocity(p.flow, in.branchInnerDiameter);
      const double headOfVelocity = p.velocity * p.velocity / (2 * kG);
      p.lossToTake = floor.dynamicPressure - r.targetPressure;
      p.zeta = p.lossToTake / headOfVelocity;
      p.ratio = orificeRatio(p.zeta);
      p.holeDiameterExact = p.ratio * in.branchInnerDiameter + 1;
      // Rounded up: a smaller hole would take more than the loss wanted.
      p.holeDiameter = std::ceil(p.holeDiameterExact - kOnLimit);
      p.ok = p.holeDiameter + kOnLimit >= minHoleDiameter(in.branchInnerDiameter);
      zetas[f - 1] = madeZeta(p.holeDiameter, in.branchInnerDiameter);
      std::vector<Open> plated = open;
      plated[at].zeta = zetas[f - 1];
      NetworkSolution after = sol;
      if (auto error =
              onCurve(plated, star, duty + "（设孔板）", r.iterations.floors, net, after)) {
        return error;
      }
      p.afterPressure = outletPressure(net, after, at, k);
      p.afterInRange = p.afterPressure >= r.design.minPressure - kOnLimit &&
                       p.afterPressure <= kReduceAbove + kOnLimit;
      floor.orifice = p;
    }

    // Duty 2: the fire on r*'s top floors, the plates as sized.
    {
      const std::vector<Open> open = streams(star, m, zetas);
      if (auto error = onCurve(open, star, "设计工况", r.iterations.design, net, sol)) return error;
      for (std::size_t e = 0; e < open.size(); ++e) {
        const int floor = open[e].floor;
        r.designHydrants.push_back({star, floor, z[floor - 1],
                                    outletPressure(net, sol, static_cast<int>(e), k),
                                    sol.emitterFlows[e]});
      }
      r.pump.dutyFlow = sol.pumpFlows.empty() ? in.designFlow : sol.pumpFlows[0];
      r.pump.dutyHead = r.pump.a - r.pump.b * std::pow(r.pump.dutyFlow, r.pump.c);
    }

    // Duty 4: each floor's hydrant open alone, on every riser, no other draw.
    NetworkSolution single;
    for (int f = 1; f <= m; ++f) {
      SystemFloor& floor = r.floors[f - 1];
      for (int riser = 1; riser <= n; ++riser) {
        Network alone = model.fire({{riser, f, zetas[f - 1]}}, {}, 0);
        alone.pumps.push_back({Model::kPool, Model::kPump, r.pump.a, r.pump.b, r.pump.c});
        NetworkSolution next = solveNetwork(alone, single.heads.empty() ? nullptr : &single);
        r.iterations.single += next.iterations;
        ++r.iterations.solves;
        if (!next.converged) {
          return notBalanced(
              "第 " + std::to_string(f) + " 层单栓工况（第 " + std::to_string(riser) + " 根立管）",
              next);
        }
        single = std::move(next);
        const double pressure = outletPressure(alone, single, 0, k);
        if (riser == 1 || pressure > floor.singleHydrantPressure) {
          floor.singleHydrantPressure = pressure;
          floor.singleHydrantRiser = riser;
          floor.singleHydrantFlow = single.pumpFlows[0];
        }
      }
    }
    return std::nullopt;
  }
};

}  // namespace

CurveFit fitPumpCurve(const PumpCurvePoint& p1, const PumpCurvePoint& p2,
                      const PumpCurvePoint& p3) {
  CurveFit fit;
  fit.a = p1.head;
  fit.c = std::log((p1.head - p3.head) / (p1.head - p2.head)) / std::log(p3.flow / p2.flow);
  fit.b = (p1.head - p2.head) / std::pow(p2.flow, fit.c);
  return fit;
}

std::optional<CalcError> solveSystemDuties(const SystemInputs& in, double resistance,
                                           SystemResult& r) {
  const double nozzles = std::ceil(in.riserMinFlow / in.hydrant.minFlow - kOnLimit);
  // Compared as doubles first: a riser flow far above the nozzle's would overflow an int.
  r.streams = nozzles >= in.floors ? in.floors : std::max(static_cast<int>(nozzles), 1);
  const Model model(in, resistance);
  Duties duties{in, model, resistance, r};
  return duties.run();
}

}  // namespace calc
