#include "calc/network.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace calc {
namespace {

constexpr double kHeadTolerance = 1e-9;  // m
constexpr double kFlowTolerance = 1e-9;  // L/s
constexpr double kSmoothing = 1e-9;      // m: the small-flow cubic departs from the law by this
constexpr double kMinSlope = 1e-12;      // m per L/s: keeps a pump at zero flow invertible
constexpr int kMaxIterations = 200;
constexpr double kHazenWilliams = 1.852;
constexpr double kQuadratic = 2;

// max over x in [0, 1] of (3 − n)/2·x + (n − 1)/2·x³ − xⁿ: how far the cubic through the
// end point of the law h = R·qⁿ (same value and slope at q₀) departs from it, per R·q₀ⁿ.
double cubicDeparture(double n) {
  const auto f = [n](double x) {
    return (3 - n) / 2 * x + (n - 1) / 2 * x * x * x - std::pow(x, n);
  };
  double lo = 0;
  double hi = 1;
  for (int i = 0; i < 200; ++i) {
    const double m1 = lo + (hi - lo) / 3;
    const double m2 = hi - (hi - lo) / 3;
    if (f(m1) < f(m2)) {
      lo = m1;
    } else {
      hi = m2;
    }
  }
  return f((lo + hi) / 2);
}

// h = R·|q|ⁿ·sign(q), replaced below q₀ by the odd cubic α·q + β·q³ with the same value and
// slope at q₀, q₀ where the two differ by kSmoothing at most: the slope stays positive at zero
// flow, so an idle pipe keeps the linear system invertible.
struct PowerLaw {
  double r = 0;
  double n = kHazenWilliams;
  double q0 = 0;
  double alpha = 0;
  double beta = 0;

  PowerLaw() = default;
  PowerLaw(double resistance, double exponent) : r(resistance), n(exponent) {
    static const double departureHw = cubicDeparture(kHazenWilliams);
    static const double departureSquare = cubicDeparture(kQuadratic);
    const double departure = n == kHazenWilliams ? departureHw
                             : n == kQuadratic   ? departureSquare
                                                 : cubicDeparture(n);
    q0 = std::pow(kSmoothing / (r * departure), 1 / n);
    alpha = r * std::pow(q0, n - 1) * (3 - n) / 2;
    beta = r * std::pow(q0, n - 3) * (n - 1) / 2;
  }
  double loss(double q) const {
    const double a = std::abs(q);
    if (a < q0) return q * (alpha + beta * q * q);
    return std::copysign(r * std::pow(a, n), q);
  }
  double slope(double q) const {
    const double a = std::abs(q);
    if (a < q0) return alpha + 3 * beta * q * q;
    return n * r * std::pow(a, n - 1);
  }
};

double pipeResistance(const NetworkPipe& p) {
  return (1 + p.localLoss) * 2.9660e-5 * p.length /
         (std::pow(p.c, kHazenWilliams) * std::pow(p.innerDiameter / 1000, 4.87));
}

enum class Kind { Pipe, Pump, Emitter };

struct Link {
  Kind kind = Kind::Pipe;
  int index = 0;  // in its own list
  int from = 0;
  int to = 0;  // an emitter's is the outlet, a fixed-head node after the network's own
  PowerLaw law;
  double a = 0, b = 0, c = 1;  // pump
  bool open = true;
  double q = 0;
  double p = 0;  // dq/dh of the last linearisation
  double loss() const {
    if (kind == Kind::Pump) return -(a - b * std::pow(std::max(q, 0.0), c));
    return law.loss(q);
  }
  double slope() const {
    if (kind == Kind::Pump) {
      return std::max(b * c * std::pow(std::max(q, 0.0), c - 1), kMinSlope);
    }
    return law.slope(q);
  }
};

}  // namespace

double pipeHeadLoss(const NetworkPipe& pipe, double flow) {
  return PowerLaw(pipeResistance(pipe), kHazenWilliams).loss(flow);
}

NetworkSolution solveNetwork(const Network& net, const NetworkSolution* start) {
  const int nodes = static_cast<int>(net.nodes.size());
  const int all = nodes + static_cast<int>(net.emitters.size());
  std::vector<double> head(all, 0);
  std::vector<int> row(all, -1);  // the node's row in the linear system; −1: a fixed head
  int free = 0;
  bool anyFixed = false;
  double startHead = -std::numeric_limits<double>::infinity();
  for (int i = 0; i < nodes; ++i) {
    if (net.nodes[i].fixedHead) {
      head[i] = *net.nodes[i].fixedHead;
      startHead = std::max(startHead, head[i]);
      anyFixed = true;
    } else {
      row[i] = free++;
    }
  }

  std::vector<Link> links;
  links.reserve(net.pipes.size() + net.pumps.size() + net.emitters.size());
  for (std::size_t i = 0; i < net.pipes.size(); ++i) {
    const NetworkPipe& p = net.pipes[i];
    Link l;
    l.index = static_cast<int>(i);
    l.from = p.from;
    l.to = p.to;
    l.law = PowerLaw(pipeResistance(p), kHazenWilliams);
    // 1 m/s to start with.
    l.q = std::numbers::pi / 4 * p.innerDiameter * p.innerDiameter / 1000;
    links.push_back(l);
  }
  for (std::size_t i = 0; i < net.pumps.size(); ++i) {
    const NetworkPump& p = net.pumps[i];
    Link l;
    l.kind = Kind::Pump;
    l.index = static_cast<int>(i);
    l.from = p.from;
    l.to = p.to;
    l.a = p.a;
    l.b = p.b;
    l.c = p.c;
    l.q = p.b > 0 ? std::pow(p.a / 2 / p.b, 1 / p.c) : 1;  // half the shut-off head
    links.push_back(l);
    startHead = std::max(startHead, p.a);
  }
  for (std::size_t i = 0; i < net.emitters.size(); ++i) {
    const NetworkEmitter& e = net.emitters[i];
    const int outlet = nodes + static_cast<int>(i);
    head[outlet] = net.nodes[e.node].elevation + e.offset;
    Link l;
    l.kind = Kind::Emitter;
    l.index = static_cast<int>(i);
    l.from = e.node;
    l.to = outlet;
    l.law = PowerLaw(e.coefficient, kQuadratic);
    l.q = 1;
    links.push_back(l);
  }
  if (start && start->pipeFlows.size() == net.pipes.size() &&
      start->pumpFlows.size() == net.pumps.size() &&
      start->emitterFlows.size() == net.emitters.size()) {
    for (Link& l : links) {
      const std::vector<double>& q = l.kind == Kind::Pipe   ? start->pipeFlows
                                     : l.kind == Kind::Pump ? start->pumpFlows
                                                            : start->emitterFlows;
      l.q = q[l.index];
      // A hydrant that was shut may open now: start it with a little water.
      if (l.kind != Kind::Pipe && l.q <= 0) l.q = 1e-3;
    }
  }
  for (int i = 0; i < nodes; ++i) {
    if (row[i] >= 0) head[i] = std::isfinite(startHead) ? startHead : 0;
  }

  NetworkSolution s;
  if (!anyFixed) {
    s.residual = std::numeric_limits<double>::infinity();
    return s;
  }

  // The pattern once: the diagonal of every free node, and one entry per link between two.
  using Matrix = Eigen::SparseMatrix<double>;
  Matrix a(free, free);
  {
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(free + links.size());
    for (int i = 0; i < free; ++i) entries.emplace_back(i, i, 0.0);
    for (const Link& l : links) {
      const int u = row[l.from];
      const int v = row[l.to];
      if (u >= 0 && v >= 0 && u != v) entries.emplace_back(std::max(u, v), std::min(u, v), 0.0);
    }
    a.setFromTriplets(entries.begin(), entries.end());
    a.makeCompressed();
  }
  std::vector<double*> diagonal(free);
  for (int i = 0; i < free; ++i) diagonal[i] = &a.coeffRef(i, i);
  std::vector<double*> offDiagonal(links.size(), nullptr);
  for (std::size_t k = 0; k < links.size(); ++k) {
    const int u = row[links[k].from];
    const int v = row[links[k].to];
    if (u >= 0 && v >= 0 && u != v) offDiagonal[k] = &a.coeffRef(std::max(u, v), std::min(u, v));
  }
  Eigen::SimplicialLDLT<Matrix, Eigen::Lower> solver;
  solver.analyzePattern(a);
  Eigen::VectorXd rhs(free);
  Eigen::VectorXd x(free);
  std::vector<double> balance(nodes);

  double flowTolerance = kFlowTolerance;
  for (s.iterations = 1; s.iterations <= kMaxIterations; ++s.iterations) {
    // Each open link linearised: q' = q − p·(loss(q) − (h_from − h_to)), p = 1/slope.
    std::fill(a.valuePtr(), a.valuePtr() + a.nonZeros(), 0.0);
    rhs.setZero();
    for (int i = 0; i < nodes; ++i) {
      if (row[i] >= 0) rhs[row[i]] = -net.nodes[i].draw;
    }
    for (std::size_t k = 0; k < links.size(); ++k) {
      Link& l = links[k];
      if (!l.open) continue;
      l.p = 1 / l.slope();
      const double c = l.q - l.p * l.loss();
      const int u = row[l.from];
      const int v = row[l.to];
      if (u >= 0) {
        *diagonal[u] += l.p;
        rhs[u] -= c;
        if (v < 0) rhs[u] += l.p * head[l.to];
      }
      if (v >= 0) {
        *diagonal[v] += l.p;
        rhs[v] += c;
        if (u < 0) rhs[v] += l.p * head[l.from];
      }
      if (offDiagonal[k]) *offDiagonal[k] -= l.p;
    }
    // A node left with nothing open keeps its head.
    for (int i = 0; i < nodes; ++i) {
      if (row[i] >= 0 && *diagonal[row[i]] == 0) {
        *diagonal[row[i]] = 1;
        rhs[row[i]] = head[i];
      }
    }
    solver.factorize(a);
    if (solver.info() != Eigen::Success) break;
    x = solver.solve(rhs);
    for (int i = 0; i < nodes; ++i) {
      if (row[i] >= 0) head[i] = x[row[i]];
    }

    double maxHead = 0;
    for (double h : head) maxHead = std::max(maxHead, std::abs(h));
    double maxP = 0;
    double change = 0;
    bool statusChanged = false;
    for (Link& l : links) {
      if (l.open) {
        const double q = l.q - l.p * (l.loss() - (head[l.from] - head[l.to]));
        change = std::max(change, std::abs(q - l.q));
        maxP = std::max(maxP, l.p);
        l.q = q;
        if (l.kind != Kind::Pipe && q < 0) {  // check valve: shut
          l.open = false;
          l.q = 0;
          statusChanged = true;
        }
      } else {
        const double lift = head[l.from] - head[l.to];
        // Opens again when the heads would drive water forward through it.
        const bool opens = l.kind == Kind::Pump ? l.a + lift > 0 : lift > 0;
        if (opens) {
          l.open = true;
          l.q = l.kind == Kind::Emitter ? std::sqrt(lift / l.law.r) : 1e-3;
          statusChanged = true;
        }
      }
    }
    // Below the flows a rounding of the heads makes, nothing more can be balanced.
    flowTolerance =
        std::max(kFlowTolerance, 4 * std::numeric_limits<double>::epsilon() * maxHead * maxP);
    double headImbalance = 0;
    std::fill(balance.begin(), balance.end(), 0.0);
    for (int i = 0; i < nodes; ++i) balance[i] = -net.nodes[i].draw;
    for (const Link& l : links) {
      if (!l.open) continue;
      headImbalance = std::max(headImbalance, std::abs(head[l.from] - head[l.to] - l.loss()));
      balance[l.from] -= l.q;
      if (l.to < nodes) balance[l.to] += l.q;
    }
    double mass = 0;
    for (int i = 0; i < nodes; ++i) {
      if (row[i] >= 0) mass = std::max(mass, std::abs(balance[i]));
    }
    s.residual = std::max({headImbalance, mass, change});
    if (!statusChanged && headImbalance < kHeadTolerance && mass < flowTolerance &&
        change < flowTolerance) {
      s.converged = true;
      break;
    }
  }
  if (!s.converged) s.iterations = std::min(s.iterations, kMaxIterations);

  // Idle links carry exactly nothing; a node reached only through them takes the head of the
  // node it hangs from.
  std::vector<char> active(nodes, 0);
  for (int i = 0; i < nodes; ++i) {
    active[i] = net.nodes[i].fixedHead || net.nodes[i].draw != 0;
  }
  for (Link& l : links) {
    if (!l.open || std::abs(l.q) <= flowTolerance) l.q = 0;
    if (l.q != 0) {
      active[l.from] = 1;
      if (l.to < nodes) active[l.to] = 1;
    }
  }
  std::vector<std::vector<int>> idle(nodes);
  for (const Link& l : links) {
    if (l.kind == Kind::Pipe && l.q == 0) {
      idle[l.from].push_back(l.to);
      idle[l.to].push_back(l.from);
    }
  }
  std::vector<int> queue;
  for (int i = 0; i < nodes; ++i) {
    if (active[i]) queue.push_back(i);
  }
  for (std::size_t k = 0; k < queue.size(); ++k) {
    for (int next : idle[queue[k]]) {
      if (active[next]) continue;
      active[next] = 1;
      head[next] = head[queue[k]];
      queue.push_back(next);
    }
  }

  s.heads.assign(head.begin(), head.begin() + nodes);
  s.pipeFlows.resize(net.pipes.size());
  s.pumpFlows.resize(net.pumps.size());
  s.emitterFlows.resize(net.emitters.size());
  for (const Link& l : links) {
    (l.kind == Kind::Pipe   ? s.pipeFlows
     : l.kind == Kind::Pump ? s.pumpFlows
                            : s.emitterFlows)[l.index] = l.q;
  }
  return s;
}

}  // namespace calc
