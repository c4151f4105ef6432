#pragma once
// A water network of Hazen–Williams pipes, pumps, fixed-head nodes, emitters and fixed draws,
// solved for its steady state by the gradient method (Todini–Pilati): the flows of every link
// and the heads of every node together, one sparse symmetric linear system per iteration.
//
// Heads and elevations in m of water, flows in L/s, diameters in mm, double precision.

#include <optional>
#include <vector>

namespace calc {

struct NetworkNode {
  double elevation = 0;             // m: pressure = head − elevation
  std::optional<double> fixedHead;  // m: a reservoir, or a head held by other means
  double draw = 0;                  // L/s taken whatever the pressure (negative: put in)
};

// Loses (1 + localLoss)·j·length in the direction of flow, j by 10.1.2 (d in m, q in L/s).
struct NetworkPipe {
  int from = 0;
  int to = 0;
  double length = 0;         // m, > 0
  double innerDiameter = 0;  // mm
  double c = 120;            // Hazen–Williams coefficient
  double localLoss = 0;      // λ
};

// Lifts water from `from` to `to` by H(Q) = a − b·Q^c; never lets it run backwards.
struct NetworkPump {
  int from = 0;
  int to = 0;
  double a = 0;  // m, the head at zero flow
  double b = 0;
  double c = 1;
};

// Lets out q with node pressure p = offset + coefficient·q²; nothing while p ≤ offset.
struct NetworkEmitter {
  int node = 0;
  double offset = 0;       // m
  double coefficient = 0;  // m per (L/s)², > 0
};

// A draw at `node` of whatever makes the fixed-head node `source` deliver `flow` (negative:
// take it in): a pump held at a given flow, or a hydrant held at its pressure and flow.
struct NetworkBalance {
  int node = 0;
  int source = 0;
  double flow = 0;
};

struct Network {
  std::vector<NetworkNode> nodes;
  std::vector<NetworkPipe> pipes;
  std::vector<NetworkPump> pumps;
  std::vector<NetworkEmitter> emitters;
  std::optional<NetworkBalance> balance;
};

struct NetworkSolution {
  std::vector<double> heads;         // per node, m
  std::vector<double> pipeFlows;     // per pipe, L/s, positive from → to
  std::vector<double> pumpFlows;     // per pump, L/s, ≥ 0
  std::vector<double> emitterFlows;  // per emitter, L/s, ≥ 0
  double balanceDraw = 0;            // the balancing draw, L/s
  int iterations = 0;
  bool converged = false;
  double residual = 0;      // the largest imbalance left by the last iteration (m or L/s)
  double headResidual = 0;  // of it, the largest head imbalance, m
  double flowResidual = 0;  // and the largest mass imbalance or flow change, L/s
};

// Heads and flows of `network`. `start`, when given, is a solution of a network of the same
// links whose flows the iteration starts from (a neighbouring duty converges in fewer steps).
// Pipes in series through nodes with nothing else attached are solved as one (their loss laws
// add) and the heads between them shared out by resistance afterwards. Links no water can
// cross carry exactly nothing, and their nodes take the head of the node they hang from. A
// network without a fixed head, or one the iteration cannot balance, comes back with
// converged = false.
NetworkSolution solveNetwork(const Network& network, const NetworkSolution* start = nullptr);

}  // namespace calc
