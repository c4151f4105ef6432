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

TEST(Qxh, FlowAndNozzlePressureForEveryOfferedEntry) {
  const struct {
    const char* waterColumn;
    float d;
    double hq;
    const char* flow;
  } rows[] = {
      {"7", 13, 9.6708, "1.83"},   {"7", 16, 9.3097, "2.72"},   {"7", 19, 9.0755, "3.78"},
      {"10", 13, 14.9205, "2.27"}, {"10", 16, 14.0781, "3.34"}, {"10", 19, 13.5493, "4.62"},
      {"13", 13, 21.2889, "2.71"}, {"13", 16, 19.6143, "3.94"}, {"13", 19, 18.6027, "5.41"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.waterColumn) + " m, " + std::to_string(r.d) + " mm");
    calc::CalcState state;
    const auto q = calc::Qxh(r.waterColumn, r.d, state);
    ASSERT_TRUE(q.ok());
    EXPECT_EQ(q.value(), r.flow);
    ASSERT_TRUE(state.nozzlePressure);
    EXPECT_NEAR(*state.nozzlePressure, r.hq, 5e-5);
  }
}

TEST(Qxh, WritesAllFiveQuantitiesEveryCall) {
  calc::CalcState state;
  ASSERT_TRUE(calc::Qxh("10", 19, state).ok());
  // Only the nozzle changes, yet every field is replaced.
  ASSERT_TRUE(calc::Qxh("10", 13, state).ok());
  EXPECT_EQ(state.dischargeCoefficient, 1.0f);
  EXPECT_NEAR(*state.phi, 0.016451, 5e-7);
  EXPECT_NEAR(*state.alphaF, 1.198, 1e-12);
  EXPECT_NEAR(*state.flowCoefficient, 0.345289, 5e-7);
  EXPECT_NEAR(*state.nozzlePressure, 14.9205, 5e-5);
}

TEST(Qxh, ResultKeepsTwoDecimalsForWholeFlows) {
  // H_q = q² / B for q = 3 exactly, inverted to its water column.
  calc::CalcState state;
  const double phi = calc::nozzleCoefficient(19);
  const double hq = 9 / calc::nozzleFlowCoefficient(1, 19);
  const double hm = hq / (calc::waterColumnCoefficient(7) * (1 + phi * hq));
  const auto q = calc::Qxh(calc::numberToText(hm), 19, state);
  ASSERT_TRUE(q.ok());
  EXPECT_EQ(q.value(), "3.00");
  EXPECT_EQ(calc::Qxh("0", 19, state).value(), "0.00");
}

TEST(Qxh, WaterColumnBeyondTheNozzlesReachIsAnError) {
  // The message names the longest whole water column the nozzle throws. A 1e15 mm nozzle
  // reaches about (1 / (80e-8 · φ))^(1/5) = 5.49e9 m, beyond int; a 3.4e38 mm one past
  // 2^53 m, where whole metres can no longer be told apart, so no figure is named.
  const struct {
    float d;
    const char* reaches;
    const char* beyond;
    const char* ending;
  } rows[] = {{13, "31", "31.3", "该喷嘴最大为 31 m。"},
              {16, "34", "34.6", "该喷嘴最大为 34 m。"},
              {19, "37", "37.5", "该喷嘴最大为 37 m。"},
              {1e15f, "5492802673", "5492802674", "该喷嘴最大为 5492802673 m。"},
              {3.4e38f, "1e20", "1e70", " mm 喷嘴所能达到的范围。"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.beyond);
    calc::CalcState state;
    EXPECT_TRUE(calc::Qxh(r.reaches, r.d, state).ok());
    const auto q = calc::Qxh(r.beyond, r.d, state);
    ASSERT_FALSE(q.ok());
    EXPECT_EQ(q.error().field, calc::kWaterColumnField);
    EXPECT_EQ(q.error().text, r.beyond);
    EXPECT_TRUE(q.error().message.ends_with(r.ending)) << q.error().message;
  }
}

TEST(Qxh, ZeroNozzleAndBadTextsAreErrors) {
  calc::CalcState state;
  EXPECT_EQ(calc::Qxh("10", 0, state).error().field, calc::kNozzleDiameterField);
  EXPECT_EQ(calc::Qxh("1o", 19, state).error().field, calc::kWaterColumnField);
  EXPECT_EQ(calc::Qxh("-1", 19, state).error().field, calc::kWaterColumnField);
}

TEST(H2o, ResidualsOfTheWorkedSearch) {
  const double phi = calc::nozzleCoefficient(19);
  const double hq = std::pow(static_cast<double>(4.62f), 2) / calc::nozzleFlowCoefficient(1, 19);
  EXPECT_NEAR(hq, 13.547531, 5e-7);
  const float expected[] = {6.064343f, 5.061848f,  4.057313f,  3.049854f, 2.038433f,
                            1.021871f, -0.001144f, -1.032036f, -2.072318f};
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(4 + i);
    EXPECT_EQ(calc::trialResidual(hq, phi, 4 + i), expected[i]);
  }
}

TEST(H2o, WorkedFlowGivesTenMetres) {
  calc::CalcState state;
  const auto h = calc::H2o(4.62f, 19, state);
  ASSERT_TRUE(h.ok());
  EXPECT_EQ(h.value(), 10);
  // The search ends after the trial at 9 m and leaves that trial's residual and α_f.
  EXPECT_EQ(state.residual, 1.021871f);
  EXPECT_EQ(*state.alphaF, calc::waterColumnCoefficient(9));
  EXPECT_EQ(state.dischargeCoefficient, 1.0f);
  EXPECT_NEAR(*state.phi, 0.0096678, 5e-8);
  EXPECT_NEAR(*state.flowCoefficient, 1.5755195, 5e-8);
  EXPECT_NEAR(*state.nozzlePressure, 13.547531, 5e-7);
}

TEST(H2o, ZeroFlowEndsAfterTheFirstTrial) {
  calc::CalcState state;
  const auto h = calc::H2o(0.0f, 19, state);
  ASSERT_TRUE(h.ok());
  EXPECT_EQ(*state.nozzlePressure, 0.0);
  EXPECT_EQ(state.residual, -4.0f);
  EXPECT_EQ(h.value(), 5);  // 4 plus one trial
}

TEST(H2o, InvertsQxhForEveryWholeWaterColumn) {
  for (float d : {13.0f, 16.0f, 19.0f}) {
    for (int metres = 5; metres <= 30; ++metres) {
      SCOPED_TRACE(testing::Message() << metres << " m, " << d << " mm");
      calc::CalcState state;
      const auto q = calc::Qxh(std::to_string(metres), d, state);
      ASSERT_TRUE(q.ok());
      const auto h = calc::H2o(*calc::parseSingle(q.value()), d, state);
      ASSERT_TRUE(h.ok());
      EXPECT_EQ(h.value(), metres);
    }
  }
}

TEST(H2o, EndsForHugeFlowsAndFailsCleanlyForBadNozzles) {
  calc::CalcState state;
  const auto huge = calc::H2o(1e6f, 19, state);
  ASSERT_TRUE(huge.ok());
  EXPECT_LE(huge.value(), *calc::maxWaterColumn(19) + 1);
  EXPECT_FALSE(calc::H2o(5, 0, state).ok());
  EXPECT_FALSE(calc::H2o(5, -19, state).ok());
  EXPECT_FALSE(calc::H2o(-5, 19, state).ok());
}

}  // namespace
