// The calculation book: two buildings worked by hand, then each rule on both sides of its limit.

#include <gtest/gtest.h>

#include <functional>

#include "calc/book.h"

namespace {

using calc::BuildingClass;
using calc::BuildingUse;
using calc::Verdict;

struct Case {
  calc::BookInputs in;
  calc::BookSystem sys;
};

// 18-storey office: top outlet 68.6 m, hydrants 40 L/s, sprinklers 30 L/s for 1 h, outdoor
// 40 L/s guaranteed by two mains, DN100 inlet at 1.5 m/s, a 36 m³ roof tank.
Case office() {
  Case c;
  c.in.building = calc::BookBuilding{BuildingUse::Office, 72.5, {}, {}};
  c.in.supply = calc::BookSupply{2, 40, true, {}, 100, 1.5};
  c.in.sprinkler = calc::BookSprinkler{30, 1.0, false};
  c.in.tank = calc::BookTank{36, {}};
  c.sys = {18, 40, 40, 120, 1.4, {}, 68.6, 170, 78.8, {}, 0};
  return c;
}

// 33-storey residence, 2.9 m storeys (95.7 m), 20 L/s, outdoor 15 L/s, one main.
Case residence() {
  Case c;
  c.in.building = calc::BookBuilding{BuildingUse::Residence, 95.7, {}, {}};
  c.in.supply = calc::BookSupply{1, 15, false, {}, {}, 1.5};
  c.in.tank = calc::BookTank{18, {}};
  c.sys = {33, 20, 20, 130, 1.4, {}, 93.9, 190, 101, {}, 0};
  return c;
}

calc::BookResult run(const Case& c) {
  const auto r = calc::calculateBook(c.in, c.sys);
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message);
  return r.ok() ? r.value() : calc::BookResult{};
}

std::optional<Verdict> verdictOf(const calc::BookResult& r, std::string_view id) {
  for (const calc::DesignCheck& c : r.checks) {
    if (c.id == id) return c.verdict;
  }
  return std::nullopt;
}

TEST(BookTest, WorkedExamples) {
  const calc::BookResult a = run(office());
  EXPECT_EQ(a.buildingClass, BuildingClass::PublicHigh1);
  EXPECT_DOUBLE_EQ(*a.duration, 2.0);
  ASSERT_TRUE(a.pool && a.tank && a.adapters);
  EXPECT_NEAR(a.pool->volumeBeforeRefill, 396, 1e-9);   // 3.6·(40·2 + 30·1)
  EXPECT_NEAR(a.pool->refill, 2 * 42.411500823, 1e-6);  // 3600·π/4·0.1²·1.5 · 2 h
  EXPECT_NEAR(a.pool->volume, 311.176998, 1e-5);
  EXPECT_FALSE(a.pool->required);
  EXPECT_EQ(*a.tank->requiredVolume, 36);
  EXPECT_DOUBLE_EQ(a.tank->requiredStatic, 0.10);
  EXPECT_NEAR(*a.tank->staticPressure, 0.102, 1e-12);
  EXPECT_EQ(a.adapters->hydrant, 3);
  EXPECT_EQ(a.adapters->sprinkler, 2);
  EXPECT_EQ(a.pumpSet.standbyRequired, true);
  EXPECT_NEAR(a.pumpSet.point150Head, 78, 1e-9);    // the three-point curve's own 65 %
  EXPECT_DOUBLE_EQ(a.pumpSet.dischargeGauge, 4.0);  // 2 × 1.70 MPa = 3.40
  for (const calc::DesignCheck& c : a.checks) EXPECT_NE(c.verdict, Verdict::Fail) << c.id;

  const calc::BookResult b = run(residence());
  EXPECT_EQ(b.buildingClass, BuildingClass::ResidenceHigh1);
  EXPECT_DOUBLE_EQ(*b.duration, 2.0);
  EXPECT_NEAR(b.pool->volume, 252, 1e-9);  // 3.6·(20·2) + 3.6·(15·2), no refill, one main
  EXPECT_TRUE(b.pool->required);
  EXPECT_EQ(*b.tank->requiredVolume, 18);
  EXPECT_DOUBLE_EQ(b.tank->requiredStatic, 0.07);
  EXPECT_EQ(b.pumpSet.standbyRequired, true);
  EXPECT_EQ(b.adapters->hydrant, 2);
}

using Change = std::function<void(Case&)>;
using Get = std::function<double(const calc::BookResult&)>;

Change height(BuildingUse use, double h) {
  return [=](Case& c) { c.in.building->use = use, c.in.building->height = h; };
}
Change oneMain(double outdoor, double h) {
  return [=](Case& c) {
    c.in.supply = calc::BookSupply{1, outdoor, true, {}, {}, 1.5}, c.in.building->height = h;
  };
}
const Get kClass = [](const calc::BookResult& r) { return double(*r.buildingClass); };
const Get kDuration = [](const calc::BookResult& r) { return *r.duration; };
const Get kFlow = [](const calc::BookResult& r) { return r.hydrantFlow; };
const Get kPool = [](const calc::BookResult& r) { return r.pool->volume; };
const Get kTankV = [](const calc::BookResult& r) { return r.tank->requiredVolume.value_or(0); };
const Get kTankP = [](const calc::BookResult& r) { return r.tank->requiredStatic; };
const Get kAdapters = [](const calc::BookResult& r) { return r.adapters->hydrant; };
const Get kStandby = [](const calc::BookResult& r) { return *r.pumpSet.standbyRequired; };
const Get kRequired = [](const calc::BookResult& r) { return r.pool->required; };
const Get kSplit = [](const calc::BookResult& r) { return r.pool->compartments; };
const Get kP1 = [](const calc::BookResult& r) { return r.stabilizer->start; };
const Get kP2 = [](const calc::BookResult& r) { return r.stabilizer->stop; };

// Each row starts from the office and changes what its rule reads.
TEST(BookTest, ValueRules) {
  const auto flow = [](double h, double q, bool tall) {
    return [=](Case& c) {
      c.in.building->height = h, c.sys.designFlow = q, c.in.sprinkler->fullCover = true;
      if (!tall) c.in.building->use = BuildingUse::OtherPublic;
    };
  };
  const auto twoMains = [](double q, bool sprinklers) {
    return [=](Case& c) {
      c.sys.designFlow = q, c.in.supply->outdoorFlow = 0;
      if (!sprinklers) c.in.sprinkler.reset();
    };
  };
  const auto stab = [](double rise, double stop) {
    return [=](Case& c) { c.sys.stabilizerStop = stop, c.sys.stabilizerElevation = 68.6 - rise; };
  };
  const struct {
    const char* name;
    Change setup;
    Get get;
    double expected;
  } rows[] = {
      {"public 50 m", height(BuildingUse::Office, 50), kClass, 1},
      {"public 50.1 m", height(BuildingUse::Office, 50.1), kClass, 0},
      {"public 24 m", height(BuildingUse::Office, 24), kClass, 2},
      {"public 24.1 m", height(BuildingUse::Office, 24.1), kClass, 1},
      {"residence 54 m", height(BuildingUse::Residence, 54), kClass, 4},
      {"residence 54.1 m", height(BuildingUse::Residence, 54.1), kClass, 3},
      {"residence 27 m", height(BuildingUse::Residence, 27), kClass, 5},
      {"residence 27.1 m", height(BuildingUse::Residence, 27.1), kClass, 4},
      {"plant", height(BuildingUse::PlantDE, 30), kClass, 6},
      {"shop 24 m", height(BuildingUse::Commercial, 24), kDuration, 2},
      {"shop 24.1 m", height(BuildingUse::Commercial, 24.1), kDuration, 3},
      {"hotel 50 m", height(BuildingUse::Hotel, 50), kDuration, 2},
      {"hotel 50.1 m", height(BuildingUse::Hotel, 50.1), kDuration, 3},
      {"office 100 m", height(BuildingUse::Office, 100), kDuration, 2},
      {"ABC plant", height(BuildingUse::PlantABC, 10), kDuration, 3},
      {"DE store", height(BuildingUse::WarehouseDE, 10), kDuration, 2},
      {"high-rise 50 m 25 L/s", flow(50, 25, true), kFlow, 20},
      {"high-rise 50.1 m", flow(50.1, 25, true), kFlow, 25},
      {"high-rise 20 L/s", flow(40, 20, true), kFlow, 20},
      {"low-rise 25 L/s", flow(20, 25, false), kFlow, 12.5},
      {"low-rise 15 L/s", flow(20, 15, false), kFlow, 10},
      {"two mains, hydrants only", twoMains(10, false), kPool, 50},
      {"two mains, sprinklers", twoMains(10, true), kPool, 100},
      {"one main, no minimum",
       [](Case& c) { oneMain(0, 40)(c), c.in.sprinkler.reset(), c.sys.designFlow = 5; }, kPool, 36},
      {"one main 20 L/s", oneMain(20, 50), kRequired, 0},
      {"one main 20.1 L/s", oneMain(20.1, 50), kRequired, 1},
      {"one main 50.1 m", oneMain(20, 50.1), kRequired, 1},
      {"municipal 110", [](Case& c) { c.in.supply->municipalFlow = 110; }, kRequired, 0},
      {"municipal 109.9", [](Case& c) { c.in.supply->municipalFlow = 109.9; }, kRequired, 1},
      {"pool 499.7 m³", [](Case& c) { oneMain(0, 40)(c), c.sys.designFlow = 54.4; }, kSplit, 1},
      {"pool 500.4 m³", [](Case& c) { oneMain(0, 40)(c), c.sys.designFlow = 54.5; }, kSplit, 2},
      {"class 1 100 m", height(BuildingUse::Office, 100), kTankV, 36},
      {"class 1 100.1 m", height(BuildingUse::Office, 100.1), kTankV, 50},
      {"class 1 150.1 m", height(BuildingUse::Office, 150.1), kTankV, 100},
      {"residence 100 m", height(BuildingUse::Residence, 100), kTankV, 18},
      {"residence 100.1 m", height(BuildingUse::Residence, 100.1), kTankV, 36},
      {"residence 21 m", height(BuildingUse::Residence, 21), kTankV, 0},
      {"residence 21.1 m", height(BuildingUse::Residence, 21.1), kTankV, 6},
      {"plant 25 L/s", [](Case& c) { height(BuildingUse::PlantDE, 10)(c), c.sys.designFlow = 25; },
       kTankV, 12},
      {"plant 25.1 L/s",
       [](Case& c) { height(BuildingUse::PlantDE, 10)(c), c.sys.designFlow = 25.1; }, kTankV, 18},
      {"class 1 static 100.1 m", height(BuildingUse::Office, 100.1), kTankP, 0.15},
      {"class 2 static", height(BuildingUse::Office, 40), kTankP, 0.07},
      {"plant 19999 m³",
       [](Case& c) { height(BuildingUse::PlantDE, 10)(c), c.in.building->volume = 19999; }, kTankP,
       0.07},
      {"plant 20000 m³",
       [](Case& c) { height(BuildingUse::PlantDE, 10)(c), c.in.building->volume = 20000; }, kTankP,
       0.10},
      {"adapters 30 L/s", [](Case& c) { c.sys.designFlow = 30; }, kAdapters, 2},
      {"adapters 30.1 L/s", [](Case& c) { c.sys.designFlow = 30.1; }, kAdapters, 3},
      {"adapters at least 2", [](Case& c) { c.sys.designFlow = 10; }, kAdapters, 2},
      {"low-rise 5 floors", [](Case& c) { height(BuildingUse::Office, 20)(c), c.sys.floors = 5; },
       kAdapters, 0},
      {"low-rise 6 floors", [](Case& c) { height(BuildingUse::Office, 20)(c), c.sys.floors = 6; },
       kAdapters, 3},
      {"plant 24 m 4 floors",
       [](Case& c) { height(BuildingUse::PlantDE, 24)(c), c.sys.floors = 4; }, kAdapters, 0},
      {"plant 24.1 m", [](Case& c) { height(BuildingUse::PlantDE, 24.1)(c), c.sys.floors = 4; },
       kAdapters, 3},
      {"residence 53.9 m", height(BuildingUse::Residence, 53.9), kStandby, 0},
      {"residence 54 m standby", height(BuildingUse::Residence, 54), kStandby, 1},
      {"outdoor 25 L/s", [](Case& c) { oneMain(25, 53.9)(c); }, kStandby, 0},
      {"outdoor 25.1 L/s", [](Case& c) { oneMain(25.1, 53.9)(c); }, kStandby, 1},
      {"indoor 10 L/s", [](Case& c) { c.sys.designFlow = 10, c.in.sprinkler.reset(); }, kStandby,
       0},
      {"indoor 10 L/s and sprinklers", [](Case& c) { c.sys.designFlow = 10; }, kStandby, 1},
      {"P1 level with outlet", stab(0, 0.15), kP1, 0.16},
      {"P1 outlet 0.5 m up", stab(0.5, 0.15), kP1, 0.16},
      {"P1 outlet 6.4 m down", stab(-6.4, 0.1), kP1, 0.09},
      {"P2 raised by 0.80", stab(0, 0.15), kP2, 0.23},
      {"P1 from P2 by 0.80", stab(0, 0.5), kP1, 0.38},
      {"P2 kept", stab(0, 0.5), kP2, 0.5},
  };
  for (const auto& row : rows) {
    Case c = office();
    row.setup(c);
    EXPECT_NEAR(row.get(run(c)), row.expected, 1e-9) << row.name;
  }
}

TEST(BookTest, VerdictRules) {
  const auto stab = [](double flow, double tank, double autoStart) {
    return [=](Case& c) {
      c.sys.stabilizerStop = 0.3;
      c.in.stabilizer = calc::BookStabilizer{flow, {}, tank, autoStart};
    };
  };
  const auto curve = [](double a, double b, double exponent) {
    return [=](Case& c) { c.sys.curve = calc::BookCurve{a, b, exponent}; };
  };
  const auto pipes = [](int suction, double q) {
    return [=](Case& c) { c.in.pump = calc::BookPump{suction, {}}, c.sys.pumpFlow = q; };
  };
  const struct {
    const char* name;
    Change setup;
    const char* id;
    Verdict verdict;
  } rows[] = {
      {"tank 35.9 m³", [](Case& c) { c.in.tank->volume = 35.9; }, "tankVolume", Verdict::Fail},
      {"tank 36 m³", [](Case&) {}, "tankVolume", Verdict::Pass},
      {"no tank, high-rise", [](Case& c) { c.in.tank.reset(), c.sys.tankLowest.reset(); },
       "tankRequired", Verdict::Fail},
      {"static 0.099 MPa", [](Case& c) { c.sys.tankLowest = 78.5; }, "tankStatic", Verdict::Fail},
      {"static 0.100 MPa", [](Case& c) { c.sys.tankLowest = 78.6; }, "tankStatic", Verdict::Pass},
      {"static low, stabilizer", [](Case& c) { c.sys.tankLowest = 70, c.sys.stabilizerStop = 0.3; },
       "tankStatic", Verdict::Pass},
      {"static low, 多层住宅",
       [](Case& c) { height(BuildingUse::Residence, 20)(c), c.sys.tankLowest = 70; }, "tankStatic",
       Verdict::Advice},
      {"flow at auto-start", stab(1.2, 150, 1.2), "stabilizerAutoStart", Verdict::Fail},
      {"flow below auto-start", stab(1.19, 150, 1.2), "stabilizerAutoStart", Verdict::Pass},
      {"pressure tank 149 L", stab(1, 149, 2), "pressureTank", Verdict::Advice},
      {"pressure tank 150 L", stab(1, 150, 2), "pressureTank", Verdict::Pass},
      {"15 starts", stab(1, 60, 2), "stabilizerStarts", Verdict::Pass},
      {"15.25 starts", stab(1, 59, 2), "stabilizerStarts", Verdict::Fail},
      {"curve 70 m at 150 %", curve(160, 0.025, 2), "pump150", Verdict::Fail},
      {"curve 78 m at 150 %", curve(160, 82.0 / 3600, 2), "pump150", Verdict::Pass},
      {"DN150 1.13 m/s", pipes(150, 20), "suctionVelocity", Verdict::Pass},
      {"DN125 1.63 m/s", pipes(125, 20), "suctionVelocity", Verdict::Advice},
      {"DN200 1.27 m/s", pipes(200, 40), "suctionVelocity", Verdict::Advice},
      {"DN250 1.43 m/s", pipes(250, 70), "suctionVelocity", Verdict::Pass},
  };
  for (const auto& row : rows) {
    Case c = office();
    row.setup(c);
    EXPECT_EQ(verdictOf(run(c), row.id), row.verdict) << row.name;
  }
}

TEST(BookTest, BadInputs) {
  const struct {
    Change setup;
    const char* key;
  } rows[] = {
      {[](Case& c) { c.in.supply->mains = 3; }, "supply.mains"},
      {[](Case& c) { c.in.sprinkler->duration = 0; }, "sprinkler.duration"},
      {[](Case& c) { c.in.building->height = -1; }, "building.height"},
      {[](Case& c) {
         c.sys.stabilizerStop = 0.3, c.in.stabilizer = calc::BookStabilizer{{}, 0.3, {}, {}};
       },
       "stabilizer.start_pressure"},
  };
  for (const auto& row : rows) {
    Case c = office();
    row.setup(c);
    const auto r = calc::calculateBook(c.in, c.sys);
    EXPECT_EQ(r.ok() ? "" : r.error().field, row.key);
  }
}

}  // namespace
