#include "calc/nozzle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calc/number_text.h"
#include "calc/run.h"

namespace {

TEST(NozzleRelations, CoefficientsOfTheOfferedNozzlesAndWaterColumns) {
  // φ and B per nozzle diameter d, α_f per water column h, unrounded and as the window shows them.
  const struct {
    double d, phi;
    const char* phiShown;
    double b;
    const char* bShown;
    double h, alpha;
    const char* alphaShown;
  } rows[] = {{13, 0.016451, "0.0165", 0.345289, "0.345", 7, 1.191921, "1.19"},
              {16, 0.012440, "0.0124", 0.792299, "0.792", 10, 1.198000, "1.20"},
              {19, 0.009668, "0.0097", 1.575520, "1.576", 13, 1.212849, "1.21"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.d);
    EXPECT_NEAR(calc::nozzleCoefficient(r.d), r.phi, 5e-7);
    EXPECT_EQ(calc::shown::phi(calc::nozzleCoefficient(r.d)), r.phiShown);
    EXPECT_NEAR(calc::nozzleFlowCoefficient(1, r.d), r.b, 5e-7);
    EXPECT_EQ(calc::shown::flowCoefficient(calc::nozzleFlowCoefficient(1, r.d)), r.bShown);
    EXPECT_NEAR(calc::waterColumnCoefficient(r.h), r.alpha, 5e-7);
    EXPECT_EQ(calc::shown::alphaF(calc::waterColumnCoefficient(r.h)), r.alphaShown);
  }
}

// The flow, rounded to 0.01 l/s, and H_q for every offered entry; every call replaces the
// quantities of the state (the 13 mm rows follow a 19 mm one).
TEST(Qxh, FlowAndNozzlePressureForEveryOfferedEntry) {
  const struct {
    double waterColumn;
    float d;
    double hq;
    double flow;
    double alpha;
  } rows[] = {
      {7, 19, 9.0755, 3.78, 1.191921},   {7, 16, 9.3097, 2.72, 1.191921},
      {7, 13, 9.6708, 1.83, 1.191921},   {10, 19, 13.5493, 4.62, 1.198},
      {10, 16, 14.0781, 3.34, 1.198},    {10, 13, 14.9205, 2.27, 1.198},
      {13, 19, 18.6027, 5.41, 1.212849}, {13, 16, 19.6143, 3.94, 1.212849},
      {13, 13, 21.2889, 2.71, 1.212849}, {0, 19, 0, 0, 1.19},
  };
  calc::CalcState state;
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.waterColumn) + " m, " + std::to_string(r.d) + " mm");
    const auto q = calc::Qxh(r.waterColumn, "", r.d, state);
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.value(), r.flow);
    EXPECT_NEAR(*state.nozzlePressure, r.hq, 5e-5);
    EXPECT_NEAR(*state.alphaF, r.alpha, 5e-7);
    EXPECT_EQ(state.dischargeCoefficient, 1.0f);
  }
}

TEST(Qxh, BeyondTheNozzlesReach) {
  // Beyond the reach the message names the longest whole water column the nozzle throws. A
  // 1e15 mm nozzle reaches about (1 / (80e-8 · φ))^(1/5) = 5.49e9 m, beyond int; a 3.4e38 mm
  // one past 2^53 m, where whole metres can no longer be told apart, so no figure is named.
  const struct {
    float d;
    double reaches;
    const char* refused;
    const char* ending;
  } rows[] = {
      {13, 31, "31.3", "该喷嘴最大为 31 m。"},
      {16, 34, "34.6", "该喷嘴最大为 34 m。"},
      {19, 37, "37.5", "该喷嘴最大为 37 m。"},
      {1e15f, 5492802673, "5492802674", "该喷嘴最大为 5492802673 m。"},
      {3.4e38f, 1e20, "1e70", " mm 喷嘴所能达到的范围。"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.refused);
    calc::CalcState state;
    EXPECT_TRUE(calc::Qxh(r.reaches, "", r.d, state).ok());
    const auto q = calc::Qxh(*calc::parseNumber(r.refused), r.refused, r.d, state);
    ASSERT_FALSE(q.ok());
    EXPECT_EQ(q.error().field, calc::kWaterColumnField);
    EXPECT_EQ(q.error().text, r.refused);
    EXPECT_TRUE(q.error().message.ends_with(r.ending)) << q.error().message;
  }
}

// The whole-metre search: the worked flow's residuals trial by trial, where it ends and what
// it leaves in the state, and flows it must end for or refuse.
TEST(H2o, SearchEndsWhereTheResidualChangesSign) {
  const double phi = calc::nozzleCoefficient(19);
  const double hq = std::pow(static_cast<double>(4.62f), 2) / calc::nozzleFlowCoefficient(1, 19);
  EXPECT_NEAR(hq, 13.547531, 5e-7);
  const float residuals[] = {6.064343f, 5.061848f,  4.057313f,  3.049854f, 2.038433f,
                             1.021871f, -0.001144f, -1.032036f, -2.072318f};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(calc::trialResidual(hq, phi, 4 + i), residuals[i]) << i;

  const struct {
    float flow, d;
    std::optional<int> metres;  // unset: refused
    float residual;             // of the last trial
    double hq;
    double alpha;  // α_f of the last trial
  } rows[] = {
      // The search ends after the trial at 9 m and leaves that trial's residual and α_f.
      {4.62f, 19, 10, 1.021871f, 13.547531, 1.1952488},
      {0.0f, 19, 5, -4.0f, 0, 1.1902048},  // 4 plus one trial
      {5, 0, {}, 0, 0, 0},
      {5, -19, {}, 0, 0, 0},
      {-5, 19, {}, 0, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.flow << " l/s, " << r.d << " mm");
    calc::CalcState state;
    const auto h = calc::H2o(r.flow, r.d, state);
    ASSERT_EQ(h.ok(), r.metres.has_value());
    if (!r.metres) continue;
    EXPECT_EQ(h.value(), *r.metres);
    EXPECT_EQ(state.residual, r.residual);
    EXPECT_NEAR(*state.nozzlePressure, r.hq, 5e-7);
    EXPECT_NEAR(*state.alphaF, r.alpha, 1e-12);
    EXPECT_EQ(state.dischargeCoefficient, 1.0f);
  }
  calc::CalcState state;
  const auto huge = calc::H2o(1e6f, 19, state);
  ASSERT_TRUE(huge.ok());
  EXPECT_LE(huge.value(), *calc::maxWaterColumn(19) + 1);
}

TEST(H2o, InvertsQxhForEveryWholeWaterColumn) {
  for (float d : {13.0f, 16.0f, 19.0f}) {
    for (int metres = 5; metres <= 30; ++metres) {
      SCOPED_TRACE(testing::Message() << metres << " m, " << d << " mm");
      calc::CalcState state;
      const auto q = calc::Qxh(metres, "", d, state);
      ASSERT_TRUE(q.ok());
      const auto h = calc::H2o(static_cast<float>(q.value()), d, state);
      ASSERT_TRUE(h.ok());
      EXPECT_EQ(h.value(), metres);
    }
  }
}

}  // namespace
