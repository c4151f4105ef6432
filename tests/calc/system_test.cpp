// The system calculation: the orifice plate's ζ against the table the method reproduces, the
// welded pipe table, and a two-floor system worked by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>

#include "calc/hose_table.h"
#include "calc/pipe_table.h"
#include "calc/system.h"

namespace {

// The orifice plate's ζ against the table (to half a unit of its last digit) and back; the
// welded pipe table's inner diameter, outside less two walls (0: no such size).
TEST(SystemTables, OrificeZetaAndWeldedPipes) {
  for (const auto& [ratio, zeta, tolerance] : {std::tuple{0.3, 292.0, 0.5},
                                               {0.4, 83.3, 0.05},
                                               {0.5, 29.5, 0.05},
                                               {0.6, 11.7, 0.05},
                                               {0.7, 4.75, 0.005},
                                               {0.8, 1.83, 0.005}}) {
    EXPECT_NEAR(calc::orificeZeta(ratio), zeta, tolerance) << ratio;
    EXPECT_NEAR(calc::orificeRatio(calc::orificeZeta(ratio)), ratio, 1e-12) << ratio;
  }
  EXPECT_NEAR(calc::orificeRatio(0), 1, 1e-12);  // no loss: no plate
  for (const auto& [dn, inner] : {std::pair{65, 68.1}, {100, 106.3}, {150, 159.3}, {90, 0.0}}) {
    const auto pipe = calc::weldedSteelPipe(dn);
    EXPECT_NEAR(pipe ? pipe->innerDiameter : 0, inner, 1e-9) << dn;
  }
}

// Two floors 4 m apart, both hydrants flowing (10 L/s / 5 L/s), a pump chosen at 80 m, a
// stabilizer instead of a tank. Expected values worked by hand from the method's formulas.
TEST(SystemTest, TwoFloorsByHand) {
  calc::SystemInputs in;
  in.hydrant.nozzle = 19;
  in.hydrant.material = "衬胶";
  in.hydrant.hoseDiameter = "65";
  in.hydrant.hoseCoefficient = 0.00172;
  in.hydrant.hoseLength = 25;
  in.hydrant.waterColumn = 13;
  in.hydrant.occupancy = calc::Occupancy::High;
  in.floors = 2;
  in.floorHeights = {4};
  in.firstOutletElevation = 1;
  in.designFlow = 10;
  in.riserMinFlow = 10;
  in.poolLevel = -3;
  in.poolMaxLevel = -1;
  in.pumpElevation = -2.5;
  in.ratedHead = 80;
  in.stabilizer = calc::StabilizerInputs{0.3, -2.5};
  in.riser = {100, 106, 120};
  in.riserBaseElevation = -1;
  in.main = {100, 106, 120};
  in.mainLength = 20;
  in.localLoss = 0.1;
  in.k2 = 1.3;

  const auto result = calc::calculateSystem(in);
  ASSERT_TRUE(result.ok()) << result.error().message;
  const calc::SystemResult& r = result.value();
  ASSERT_EQ(r.streams, 2);
  ASSERT_EQ(r.hydrants.size(), 2u);
  ASSERT_EQ(r.segments.size(), 3u);
  ASSERT_EQ(r.floors.size(), 2u);
  ASSERT_TRUE(r.floors[0].orifice);
  const calc::OrificePlate& plate = *r.floors[0].orifice;
  struct Row {
    const char* name;
    double actual;
    double expected;
  };
  const Row rows[] = {
      {"q0", r.hydrants[0].flow, 6.978059},
      {"H1", r.hydrants[1].outletPressure, 39.037526},
      {"q1", r.hydrants[1].flow, 7.392624},
      {"Qr", r.riserFlow, 14.370683},
      {"Qp", r.pump.flow, 14.370683},
      {"Hp", r.pump.head, 44.071358},
      {"Hs", r.pump.selectedHead, 80},
      {"S1", *r.floors[0].staticPressure, 26.5},
      {"S2", *r.floors[1].staticPressure, 22.5},
      {"P0 1", r.floors[0].zeroFlowPressure, 110},
      {"D1", r.floors[0].dynamicPressure, 75.928491},
      {"D2", r.floors[1].dynamicPressure, 71.785474},
      {"zeta", plate.zeta, 217.505842},
      {"exact hole", plate.holeDiameterExact, 22.860447},
      {"hole", plate.holeDiameter, 23},
      {"after", plate.afterPressure, 36.105851},
      {"Pw", r.workingPressure, 113.5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_NEAR(row.actual, row.expected, 5e-6);
  }
  EXPECT_EQ(r.floors[0].reducing, calc::Reducing::Mandatory);
  EXPECT_EQ(r.floors[1].reducing, calc::Reducing::Mandatory);
  EXPECT_TRUE(plate.ok);
}

}  // namespace
