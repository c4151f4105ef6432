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
constexpr double kNoiseCeiling = 1e-5;   // L/s: a solve noisier than this is not trusted
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

// 2.9660×10⁻⁵·L·(1 + λ)/(C^1.852·d^4.87): the powers worked out once for each of the few pipe
// sizes a network has.
class Resistances {
 public:
  double of(const NetworkPipe& p) {
    double denominator = 0;
    if (last_ < sizes_.size() && sizes_[last_].d == p.innerDiameter && sizes_[last_].c == p.c) {
      denominator = sizes_[last_].denominator;
    }
    for (std::size_t k = 0; denominator == 0 && k < sizes_.size(); ++k) {
      if (sizes_[k].d == p.innerDiameter && sizes_[k].c == p.c) {
        denominator = sizes_[k].denominator;
        last_ = k;
      }
    }
    if (denominator == 0) {
      denominator = std::pow(p.c, kHazenWilliams) * std::pow(p.innerDiameter / 1000, 4.87);
      if (sizes_.size() < 16) sizes_.push_back({p.innerDiameter, p.c, denominator});
    }
    return (1 + p.localLoss) * 2.9660e-5 * p.length / denominator;
  }

 private:
  struct Size {
    double d, c, denominator;
  };
  std::vector<Size> sizes_;
  std::size_t last_ = 0;
};

enum class Kind { Pipe, Pump, Emitter };

// Pipes in series between two nodes where something else happens (a fixed head, a draw, an
// emitter, a pump, a branch): one link whose resistance is the sum of theirs.
struct Chain {
  int from = 0;
  int to = 0;
  std::vector<int> pipes;     // in order from `from`
  std::vector<char> forward;  // the pipe runs along the chain
  std::vector<double> r;      // each pipe's resistance
  std::vector<int> inner;     // the nodes between them, in order
  double total = 0;
};

struct Link {
  Kind kind = Kind::Pipe;
  int index = 0;  // its chain, pump or emitter
  int from = 0;
  int to = 0;  // an emitter's is its outlet, a fixed head after the network's own nodes
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

// The pipes at each node, packed: those of node i are pipe[first[i]] … pipe[first[i + 1] − 1].
struct PipesAt {
  std::vector<int> first;
  std::vector<int> pipe;
  PipesAt(const Network& net) : first(net.nodes.size() + 1, 0), pipe(2 * net.pipes.size()) {
    for (const NetworkPipe& p : net.pipes) {
      ++first[p.from + 1];
      ++first[p.to + 1];
    }
    for (std::size_t i = 1; i < first.size(); ++i) first[i] += first[i - 1];
    std::vector<int> next(first.begin(), first.end() - 1);
    for (std::size_t j = 0; j < net.pipes.size(); ++j) {
      pipe[next[net.pipes[j].from]++] = static_cast<int>(j);
      pipe[next[net.pipes[j].to]++] = static_cast<int>(j);
    }
  }
  int count(int node) const { return first[node + 1] - first[node]; }
};

std::vector<Chain> chainsOf(const Network& net, const PipesAt& at, std::vector<char>& pinned) {
  const int nodes = static_cast<int>(net.nodes.size());
  for (const NetworkPipe& p : net.pipes) {
    if (p.from == p.to) pinned[p.from] = 1;
  }
  for (int i = 0; i < nodes; ++i) {
    const NetworkNode& n = net.nodes[i];
    if (n.fixedHead || n.draw != 0 || at.count(i) != 2) pinned[i] = 1;
  }
  for (const NetworkEmitter& e : net.emitters) pinned[e.node] = 1;
  for (const NetworkPump& p : net.pumps) pinned[p.from] = pinned[p.to] = 1;
  if (net.balance) pinned[net.balance->node] = pinned[net.balance->source] = 1;

  Resistances resistances;
  std::vector<Chain> chains;
  std::vector<char> used(net.pipes.size(), 0);
  const auto walk = [&](int from, int j) {
    Chain c;
    c.from = from;
    int node = from;
    for (;;) {
      used[j] = 1;
      const NetworkPipe& p = net.pipes[j];
      const bool forward = p.from == node;
      const int next = forward ? p.to : p.from;
      c.pipes.push_back(j);
      c.forward.push_back(forward);
      c.r.push_back(resistances.of(p));
      c.total += c.r.back();
      if (pinned[next]) {
        c.to = next;
        break;
      }
      c.inner.push_back(next);
      const int* two = &at.pipe[at.first[next]];
      j = two[0] == j ? two[1] : two[0];
      node = next;
    }
    chains.push_back(std::move(c));
  };
  for (int i = 0; i < nodes; ++i) {
    if (!pinned[i]) continue;
    for (int k = at.first[i]; k < at.first[i + 1]; ++k) {
      if (!used[at.pipe[k]]) walk(i, at.pipe[k]);
    }
  }
  // A loop of plain pipes touching nothing else: pinned at one of its nodes.
  for (std::size_t j = 0; j < net.pipes.size(); ++j) {
    if (used[j]) continue;
    pinned[net.pipes[j].from] = 1;
    walk(net.pipes[j].from, static_cast<int>(j));
  }
  return chains;
}

}  // namespace

NetworkSolution solveNetwork(const Network& net, const NetworkSolution* start) {
  const int nodes = static_cast<int>(net.nodes.size());
  const int all = nodes + static_cast<int>(net.emitters.size());
  NetworkSolution s;
  std::vector<char> pinned(nodes, 0);
  const PipesAt at(net);
  const std::vector<Chain> chains = chainsOf(net, at, pinned);

  std::vector<double> head(all, 0);
  std::vector<int> row(all, -1);  // the node's row in the linear system; −1: none
  int free = 0;
  bool anyFixed = false;
  double startHead = -std::numeric_limits<double>::infinity();
  for (int i = 0; i < nodes; ++i) {
    if (net.nodes[i].fixedHead) {
      head[i] = *net.nodes[i].fixedHead;
      startHead = std::max(startHead, head[i]);
      anyFixed = true;
    } else if (pinned[i]) {
      row[i] = free++;
    }
  }

  std::vector<Link> links;
  links.reserve(chains.size() + net.pumps.size() + net.emitters.size());
  for (std::size_t i = 0; i < chains.size(); ++i) {
    const Chain& c = chains[i];
    Link l;
    l.index = static_cast<int>(i);
    l.from = c.from;
    l.to = c.to;
    l.law = PowerLaw(c.total, kHazenWilliams);
    const double d = net.pipes[c.pipes.front()].innerDiameter;
    l.q = std::numbers::pi / 4 * d * d / 1000;  // 1 m/s to start with
    if (start && start->pipeFlows.size() == net.pipes.size()) {
      l.q = start->pipeFlows[c.pipes.front()] * (c.forward.front() ? 1 : -1);
    }
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
    if (start && start->pumpFlows.size() == net.pumps.size() && start->pumpFlows[i] > 0) {
      l.q = start->pumpFlows[i];
    }
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
    if (start && start->emitterFlows.size() == net.emitters.size() && start->emitterFlows[i] > 0) {
      l.q = start->emitterFlows[i];
    }
    links.push_back(l);
  }
  for (int i = 0; i < nodes; ++i) {
    if (row[i] >= 0) head[i] = std::isfinite(startHead) ? startHead : 0;
  }
  if (start && start->heads.size() == static_cast<std::size_t>(nodes)) {
    for (int i = 0; i < nodes; ++i) {
      if (row[i] >= 0) head[i] = start->heads[i];
    }
  }
  int balanceRow = -1;
  if (net.balance) {
    balanceRow = row[net.balance->node];
    if (balanceRow < 0 || !net.nodes[net.balance->source].fixedHead) anyFixed = false;
  }
  if (!anyFixed) {
    s.residual = s.flowResidual = std::numeric_limits<double>::infinity();
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
  Eigen::VectorXd unit;
  Eigen::VectorXd toUnit;
  Eigen::VectorXd weight;
  if (balanceRow >= 0) {
    unit = Eigen::VectorXd::Zero(free);
    unit[balanceRow] = 1;
    weight.resize(free);
  }
  std::vector<double> balance(free);
  std::vector<int> freeNode(free);
  double fixedMax = 0;  // the largest fixed head, emitters' outlets included
  for (int i = 0; i < all; ++i) {
    if (row[i] >= 0) {
      freeNode[row[i]] = i;
    } else if (i >= nodes || net.nodes[i].fixedHead) {
      fixedMax = std::max(fixedMax, std::abs(head[i]));
    }
  }

  double flowTolerance = kFlowTolerance;
  double balanceDraw = 0;
  for (s.iterations = 1; s.iterations <= kMaxIterations; ++s.iterations) {
    // Each open link linearised: q' = q − p·(loss(q) − (h_from − h_to)), p = 1/slope.
    std::fill(a.valuePtr(), a.valuePtr() + a.nonZeros(), 0.0);
    rhs.setZero();
    for (int k = 0; k < free; ++k) rhs[k] = -net.nodes[freeNode[k]].draw;
    // The balancing draw makes the source deliver D(h) = k0 − weight·h.
    double k0 = 0;
    if (balanceRow >= 0) weight.setZero();
    const int source = net.balance ? net.balance->source : -1;
    for (std::size_t k = 0; k < links.size(); ++k) {
      Link& l = links[k];
      if (!l.open) continue;
      l.p = 1 / l.slope();
      // A loop from a node back to itself (pipes in series touching nothing else) has no head
      // across it: its flow settles to nothing by its own update, and it adds nothing here.
      if (l.from == l.to) continue;
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
      if (balanceRow >= 0 && l.from == source && l.to != source) {
        k0 += c + l.p * head[source];
        if (v >= 0) {
          weight[v] += l.p;
        } else {
          k0 -= l.p * head[l.to];
        }
      } else if (balanceRow >= 0 && l.to == source && l.from != source) {
        k0 += -c + l.p * head[source];
        if (u >= 0) {
          weight[u] += l.p;
        } else {
          k0 -= l.p * head[l.from];
        }
      }
    }
    // A node left with nothing open keeps its head.
    for (int k = 0; k < free; ++k) {
      if (*diagonal[k] == 0) {
        *diagonal[k] = 1;
        rhs[k] = head[freeNode[k]];
      }
    }
    solver.factorize(a);
    if (solver.info() != Eigen::Success) break;
    x = solver.solve(rhs);
    if (balanceRow >= 0) {
      toUnit = solver.solve(unit);
      const double along = weight.dot(toUnit);
      if (along == 0) break;
      balanceDraw = (net.balance->flow - k0 + weight.dot(x)) / along;
      x -= balanceDraw * toUnit;
    }
    double maxHead = fixedMax;
    for (int k = 0; k < free; ++k) {
      head[freeNode[k]] = x[k];
      maxHead = std::max(maxHead, std::abs(x[k]));
    }
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
    for (int k = 0; k < free; ++k) balance[k] = -net.nodes[freeNode[k]].draw;
    if (balanceRow >= 0) balance[balanceRow] -= balanceDraw;
    for (const Link& l : links) {
      if (!l.open) continue;
      headImbalance = std::max(headImbalance, std::abs(head[l.from] - head[l.to] - l.loss()));
      if (row[l.from] >= 0) balance[row[l.from]] -= l.q;
      if (row[l.to] >= 0) balance[row[l.to]] += l.q;
    }
    double mass = 0;
    for (int k = 0; k < free; ++k) mass = std::max(mass, std::abs(balance[k]));
    // The bound above assumes heads solved to their last digits. A large ring of nearly idle
    // pipes (which pass much flow for little head) hung from the fixed heads by a few links
    // is ill-conditioned: the solve's heads then wander by far more, and the flows stall at
    // that noise, never below the bound. One step of refinement (the solve of what the result
    // leaves over) measures that error; the flows it moves are the floor to balance to, up
    // to a ceiling still far below any flow shown.
    if (!statusChanged && headImbalance < kHeadTolerance && mass < flowTolerance &&
        change >= flowTolerance) {
      rhs -= a.selfadjointView<Eigen::Lower>() * x;
      if (balanceRow >= 0) rhs[balanceRow] -= balanceDraw;
      const Eigen::VectorXd error = solver.solve(rhs);
      double noise = 0;
      for (const Link& l : links) {
        if (!l.open) continue;
        const double from = row[l.from] >= 0 ? error[row[l.from]] : 0;
        const double to = row[l.to] >= 0 ? error[row[l.to]] : 0;
        noise = std::max(noise, l.p * std::abs(from - to));
      }
      flowTolerance = std::max(flowTolerance, std::min(4 * noise, kNoiseCeiling));
    }
    s.headResidual = headImbalance;
    s.flowResidual = std::max(mass, change);
    s.residual = std::max(headImbalance, s.flowResidual);
    if (!statusChanged && headImbalance < kHeadTolerance && mass < flowTolerance &&
        change < flowTolerance) {
      s.converged = true;
      break;
    }
  }
  if (!s.converged) s.iterations = std::min(s.iterations, kMaxIterations);
  s.balanceDraw = balanceDraw;

  // The pipes of each chain, and the heads between them shared out by resistance.
  s.pipeFlows.assign(net.pipes.size(), 0);
  s.pumpFlows.assign(net.pumps.size(), 0);
  s.emitterFlows.assign(net.emitters.size(), 0);
  std::vector<char> active(nodes, 0);
  for (int i = 0; i < nodes; ++i) active[i] = net.nodes[i].fixedHead || net.nodes[i].draw != 0;
  if (net.balance && balanceDraw != 0) active[net.balance->node] = 1;
  for (Link& l : links) {
    // Idle links carry exactly nothing.
    if (!l.open || std::abs(l.q) <= flowTolerance) l.q = 0;
    if (l.q != 0) {
      active[l.from] = 1;
      if (l.to < nodes) active[l.to] = 1;
    }
    if (l.kind == Kind::Pump) s.pumpFlows[l.index] = l.q;
    if (l.kind == Kind::Emitter) s.emitterFlows[l.index] = l.q;
    if (l.kind != Kind::Pipe) continue;
    const Chain& c = chains[l.index];
    const double loss = l.loss();
    double h = head[c.from];
    for (std::size_t k = 0; k < c.pipes.size(); ++k) {
      s.pipeFlows[c.pipes[k]] = c.forward[k] ? l.q : -l.q;
      if (k < c.inner.size()) {
        h -= c.r[k] / c.total * loss;
        head[c.inner[k]] = h;
        if (l.q != 0) active[c.inner[k]] = 1;
      }
    }
  }
  // A node reached only through idle pipes takes the head of the node it hangs from.
  std::vector<int> queue;
  queue.reserve(nodes);
  for (int i = 0; i < nodes; ++i) {
    if (active[i]) queue.push_back(i);
  }
  for (std::size_t k = 0; k < queue.size() && queue.size() < static_cast<std::size_t>(nodes); ++k) {
    const int node = queue[k];
    for (int m = at.first[node]; m < at.first[node + 1]; ++m) {
      const int j = at.pipe[m];
      const int next = net.pipes[j].from == node ? net.pipes[j].to : net.pipes[j].from;
      if (s.pipeFlows[j] != 0 || active[next]) continue;
      active[next] = 1;
      head[next] = head[node];
      queue.push_back(next);
    }
  }
  s.heads.assign(head.begin(), head.begin() + nodes);
  return s;
}

}  // namespace calc
