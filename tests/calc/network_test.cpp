// The network solver on networks solved by hand: a parallel pair (equal losses), a triangle
// loop balanced by Hardy Cross, a riser marched floor by floor, a pump that cannot lift, and
// a ladder of two idle rings.

#include <gtest/gtest.h>

#include <cmath>

#include "calc/network.h"
#include "calc/system.h"

namespace {

using calc::Network;
using calc::NetworkNode;
using calc::NetworkPipe;

NetworkNode fixed(double head) { return {0, head, 0}; }
NetworkNode drawing(double draw) { return {0, std::nullopt, draw}; }

struct Expect {
  const char* name;
  const std::vector<double>& values;
  std::size_t index;
  double expected;
  double tolerance = 1e-9;
};

TEST(NetworkTest, HandSolvedNetworks) {
  // Parallel pair: 20 L/s from a 50 m reservoir through two pipes; the loss
  // h = (Q / Σ R_i^(−1/1.852))^1.852 is the same in both.
  // A loop of two pipes through node 2 hangs from node 1 and carries nothing.
  Network parallel;
  parallel.nodes = {fixed(50), drawing(20), drawing(0)};
  parallel.pipes = {{0, 1, 100, 100, 120, 0},
                    {0, 1, 150, 80, 100, 0.1},
                    {1, 2, 30, 100, 120, 0},
                    {2, 1, 40, 100, 120, 0}};
  // Triangle 1-2-3 fed at 1 through 200 m of DN150 from a 60 m reservoir; 8 and 12 L/s drawn
  // at 2 and 3; Hardy Cross on the loop 1→2→3 against 1→3 until the correction vanishes.
  Network triangle;
  triangle.nodes = {fixed(60), drawing(0), drawing(8), drawing(12)};
  triangle.pipes = {{0, 1, 200, 150, 120, 0},
                    {1, 2, 300, 100, 120, 0},
                    {2, 3, 200, 80, 120, 0},
                    {1, 3, 400, 100, 120, 0}};
  // A pump whose shut-off head (50 m) is below the head it would have to lift to (60 m).
  Network shut;
  shut.nodes = {fixed(0), drawing(0), fixed(60)};
  shut.pipes = {{1, 2, 10, 100, 120, 0}};
  shut.pumps = {{0, 1, 50, 0.01, 2}};

  // Two rings of 150 short pipes joined by long rungs, like the feet and tops of a building's
  // risers, fed at one node where all 5 L/s is drawn: every ring pipe idle, a badly
  // conditioned system whose flows cannot settle below the rounding of its solve.
  constexpr int kRing = 150;
  Network ladder;
  ladder.nodes = {fixed(1300), drawing(5)};
  ladder.nodes.resize(1 + 2 * kRing, drawing(0));
  ladder.pipes = {{0, 1, 60, 159, 120, 0}};
  for (int i = 1, next = 2; i <= kRing; ++i, next = i % kRing + 1) {
    ladder.pipes.insert(ladder.pipes.end(), {{i, next, 30, 159, 120, 0},
                                             {i + kRing, next + kRing, 30, 106, 120, 0},
                                             {i, i + kRing, 900, 106, 120, 0}});
  }

  // Water drawn with nothing to feed it: no solution, said so.
  Network unfed;
  unfed.nodes = {drawing(0), drawing(5)};
  unfed.pipes = {{0, 1, 10, 100, 120, 0}};

  const calc::NetworkSolution p = calc::solveNetwork(parallel);
  const calc::NetworkSolution t = calc::solveNetwork(triangle);
  const calc::NetworkSolution s = calc::solveNetwork(shut);
  const calc::NetworkSolution l = calc::solveNetwork(ladder);
  ASSERT_TRUE(p.converged && t.converged && s.converged && l.converged);
  EXPECT_FALSE(calc::solveNetwork(unfed).converged);
  const Expect rows[] = {
      {"parallel q1", p.pipeFlows, 0, 14.775049346586},
      {"parallel q2", p.pipeFlows, 1, 5.224950653414},
      {"parallel head", p.heads, 1, 45.455406154868},
      {"hanging loop", p.pipeFlows, 2, 0},
      {"hanging loop head", p.heads, 2, 45.455406154868},
      {"triangle q01", t.pipeFlows, 0, 20},
      {"triangle q12", t.pipeFlows, 1, 10.437651034809},
      {"triangle q23", t.pipeFlows, 2, 2.437651034809},
      {"triangle q13", t.pipeFlows, 3, 9.562348965191},
      {"triangle h1", t.heads, 1, 57.789448714936},
      {"triangle h2", t.heads, 2, 50.626347808941},
      {"triangle h3", t.heads, 3, 49.668755788451},
      {"shut pump", s.pumpFlows, 0, 0},
      {"shut pipe", s.pipeFlows, 0, 0},
      {"shut head", s.heads, 1, 60},  // idle: the head it hangs from
      // What the rounding of the ladder's heads leaves (a few 10⁻⁸ m, 10⁻⁶ L/s), no more.
      {"ladder feed", l.pipeFlows, 0, 5, 1e-5},
      {"ladder rung", l.pipeFlows, 3 * kRing / 2, 0},
      {"ladder far top", l.heads, kRing + kRing / 2, 1299.961685145384, 1e-6},
  };
  for (const Expect& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(row.values.at(row.index), row.expected, row.tolerance);
  }
}

// Five floors marched down from the top hydrant at 35 m as the system calculation does
// (outlet pressure 2 + k·q², each floor's pressure its upper neighbour's plus the storey and
// the pipe's loss at the flow above), then the network fed at the march's base head. The
// riser goes on above the top hydrant to a roof node no water reaches.
TEST(NetworkTest, TreeEqualsMarch) {
  constexpr int kFloors = 5;
  constexpr double kStorey = 3.5;
  constexpr double k = 0.6;
  const NetworkPipe storey{0, 0, kStorey, 106, 120, 0.2};
  Network tree;
  tree.nodes.push_back(fixed(0));  // the base, head set below
  for (int i = 1; i <= kFloors + 1; ++i) {
    tree.nodes.push_back({i * kStorey, std::nullopt, 0});
    NetworkPipe pipe = storey;
    pipe.from = i - 1;
    pipe.to = i;
    tree.pipes.push_back(pipe);
  }
  for (int i = 1; i <= kFloors; ++i) tree.emitters.push_back({i, 2, k});

  std::vector<double> pressure(kFloors + 1);
  std::vector<double> flow(kFloors + 1);
  pressure[kFloors] = 35;
  flow[kFloors] = std::sqrt(33 / k);
  double carried = flow[kFloors];
  for (int i = kFloors - 1; i >= 1; --i) {
    pressure[i] =
        pressure[i + 1] + kStorey + kStorey * 1.2 * calc::frictionGradient(carried, 106, 120);
    flow[i] = std::sqrt((pressure[i] - 2) / k);
    carried += flow[i];
  }
  tree.nodes[0].fixedHead =
      kStorey + pressure[1] + kStorey * 1.2 * calc::frictionGradient(carried, 106, 120);

  const calc::NetworkSolution s = calc::solveNetwork(tree);
  ASSERT_TRUE(s.converged) << s.residual;
  for (int i = 1; i <= kFloors; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(s.heads[i] - i * kStorey, pressure[i], 1e-9);
    EXPECT_NEAR(s.emitterFlows[i - 1], flow[i], 1e-9);
  }
  EXPECT_NEAR(s.pipeFlows[0], carried, 1e-9);
  EXPECT_EQ(s.pipeFlows[kFloors], 0);                 // the roof pipe is idle
  EXPECT_EQ(s.heads[kFloors + 1], s.heads[kFloors]);  // and hangs from the top floor
}

}  // namespace
