#include "calc/run.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "calc/entries.h"

namespace {

using calc::CalcState;
using calc::RunInputs;
using calc::RunOutputs;

// The window's state right after it opens: linen hose of 50 mm selected.
CalcState openedState() {
  CalcState state;
  state.hoseSelection = {"0.01501", "麻质", "50"};
  return state;
}

RunInputs initialEntries(std::string width = "") {
  RunInputs in;
  in.givenWaterColumnSelected = true;
  in.hoseLengthText = "20";
  in.nozzleDiameterText = "19";
  in.flowText = "2.5";
  in.waterColumnText = "10";
  in.protectionWidthText = std::move(width);
  return in;
}

RunInputs flowGiven(std::string flow, std::string nozzle) {
  RunInputs in = initialEntries();
  in.givenWaterColumnSelected = false;
  in.givenFlowSelected = true;
  in.flowText = std::move(flow);
  in.nozzleDiameterText = std::move(nozzle);
  return in;
}

using Text = std::optional<std::string>;

TEST(RunCalculation, CompleteExampleWithTheInitialEntries) {
  CalcState state = openedState();
  const RunOutputs out = calc::runCalculation(initialEntries("10"), state);
  EXPECT_FALSE(out.error);
  EXPECT_EQ(out.phiOut, Text("0.0097"));
  EXPECT_EQ(out.alphaOut, Text("1.20"));
  EXPECT_EQ(out.flowCoefficientOut, Text("1.576"));
  EXPECT_EQ(out.nozzlePressureOut, Text("13.55"));
  EXPECT_EQ(out.flowOut, Text("4.62(l/s)"));
  EXPECT_EQ(out.hoseLossOut, Text("6.41"));
  EXPECT_EQ(out.outletPressureOut, Text("21.96(mH2o)"));
  EXPECT_EQ(out.radiusOut, Text("23.10"));
  EXPECT_EQ(out.spacingOut, Text("20.82"));
  EXPECT_EQ(out.waterColumnOut, std::nullopt);
  EXPECT_EQ(out.message, std::nullopt);
  EXPECT_EQ(state.flow, 4.62f);
  EXPECT_EQ(state.hoseLoss, 6.41f);
  EXPECT_EQ(state.nozzleDiameter, 19.0f);
}

TEST(RunCalculation, FlowGivenProducesNoOutletPressureOrHoseLoss) {
  CalcState state = openedState();
  const RunOutputs out = calc::runCalculation(flowGiven("5", "19"), state);
  EXPECT_FALSE(out.error);
  EXPECT_EQ(out.flowOut, Text("5"));
  EXPECT_EQ(out.waterColumnOut, Text("11"));
  EXPECT_EQ(out.outletPressureOut, std::nullopt);
  EXPECT_EQ(out.hoseLossOut, std::nullopt);
  EXPECT_EQ(out.nozzlePressureOut, Text("15.87"));
  // α_f of the search's last trial (10 m).
  EXPECT_EQ(out.alphaOut, Text("1.20"));
  EXPECT_EQ(out.radiusOut, Text("23.10"));  // the water-column entry still counts
  EXPECT_EQ(state.flow, 5.0f);
}

TEST(RunCalculation, RadiusUsesBothEntriesInEitherMode) {
  for (bool flowMode : {false, true}) {
    SCOPED_TRACE(flowMode ? "flow given" : "water column given");
    CalcState state = openedState();
    RunInputs in = flowMode ? flowGiven("5", "19") : initialEntries();
    in.hoseLengthText = "25";
    in.waterColumnText = "13";
    const RunOutputs out = calc::runCalculation(in, state);
    ASSERT_FALSE(out.error);
    EXPECT_EQ(out.radiusOut, Text("29.23"));
  }
}

TEST(RunCalculation, ProtectionWidthAgainstTheRadius) {
  const struct {
    const char* width;
    Text spacing;
    Text message;
  } rows[] = {
      {"", std::nullopt, std::nullopt},
      {"10", "20.82", std::nullopt},
      // 23.10 in single precision is 23.1000004, wider than the radius 23.1.
      {"23.10", std::nullopt, calc::kWidthTooLargeMessage},
      {"23.09", "0.68", std::nullopt},
      {"30", std::nullopt, calc::kWidthTooLargeMessage},
      {"abc", "23.10", std::nullopt},  // letters read as 0
      {"   ", "23.10", std::nullopt},  // blanks count as entered, with value 0
      {"10米", "20.82", std::nullopt},
      {"１０", "20.82", std::nullopt},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string("width '") + r.width + "'");
    CalcState state = openedState();
    const RunOutputs out = calc::runCalculation(initialEntries(r.width), state);
    ASSERT_FALSE(out.error);
    EXPECT_EQ(out.spacingOut, r.spacing);
    EXPECT_EQ(out.message, r.message);
    EXPECT_EQ(out.radiusOut, Text("23.10"));
    EXPECT_EQ(out.flowOut, Text("4.62(l/s)"));  // the warning does not stop the run
  }
}

TEST(RunCalculation, WidthEqualToTheSingleRadiusGivesZeroSpacing) {
  CalcState state = openedState();
  // 23.09999 narrows to 23.0999908: √(23.1² − 23.0999908²) = 0.0206.
  const RunOutputs out = calc::runCalculation(initialEntries("23.09999"), state);
  EXPECT_EQ(out.spacingOut, Text("0.02"));
  // A radius that is exactly a float: 25 · 0.8 + 0 · 0.71 = 20.
  RunInputs exact = initialEntries("20");
  exact.hoseLengthText = "25";
  exact.waterColumnText = "0";
  EXPECT_EQ(calc::runCalculation(exact, state).spacingOut, Text("0.00"));
}

TEST(RunCalculation, StatePersistsBetweenRuns) {
  CalcState state = openedState();
  EXPECT_FALSE(state.alphaF);  // unset until a calculation writes it, not 0
  EXPECT_FALSE(state.phi);
  ASSERT_FALSE(calc::runCalculation(initialEntries(), state).error);
  const float hoseLoss = state.hoseLoss;
  ASSERT_FALSE(calc::runCalculation(flowGiven("5", "19"), state).error);
  // The flow-given run computes no hose loss: the last one stays.
  EXPECT_EQ(state.hoseLoss, hoseLoss);
  EXPECT_EQ(state.flow, 5.0f);
  EXPECT_EQ(state.hoseSelection[0], "0.01501");
}

TEST(RunCalculation, FirstRunOfAFreshStateLeavesHoseLossAtZeroInFlowMode) {
  CalcState state = openedState();
  ASSERT_FALSE(calc::runCalculation(flowGiven("2.5", "16"), state).error);
  EXPECT_EQ(state.hoseLoss, 0.0f);
  EXPECT_TRUE(state.alphaF);
}

TEST(RunCalculation, FailuresNameTheInputAndChangeNothing) {
  using Entry = std::string RunInputs::*;
  const Entry water = &RunInputs::waterColumnText;
  const Entry hose = &RunInputs::hoseLengthText;
  const Entry nozzle = &RunInputs::nozzleDiameterText;
  const Entry flow = &RunInputs::flowText;
  const Entry width = &RunInputs::protectionWidthText;
  const struct {
    bool flowMode;
    Entry entry;
    const char* text;  // typed into that entry
    const char* field;
    const char* flowModeNozzle = "19";
  } rows[] = {
      {false, water, "1o", calc::kWaterColumnField},
      {false, water, "", calc::kWaterColumnField},
      {false, water, "-3", calc::kWaterColumnField},
      {false, water, "40", calc::kWaterColumnField},  // beyond the 19 mm nozzle's reach
      {false, hose, "二十", calc::kHoseLengthField},
      {false, hose, "-20", calc::kHoseLengthField},
      {false, hose, "1e300", calc::kHoseLengthField},  // the loss overflows
      {false, nozzle, "0", calc::kNozzleDiameterField},
      {false, nozzle, "-19", calc::kNozzleDiameterField},
      {false, nozzle, "", calc::kNozzleDiameterField},
      {false, nozzle, "1e39", calc::kNozzleDiameterField},  // beyond single precision
      {false, width, "-5", calc::kProtectionWidthField},
      {false, width, "1e39", calc::kProtectionWidthField},
      {true, flow, "abc", calc::kFlowField},
      {true, flow, "-5", calc::kFlowField},
      // The 1e6 mm nozzle throws too far for the search; the flow is quoted as typed.
      {true, flow, "599222222222222222222", calc::kFlowField, "1e6"},
      {true, water, "x", calc::kWaterColumnField},  // still read for the radius
      {true, nozzle, "0", calc::kNozzleDiameterField},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.field) + " '" + r.text + "'" + (r.flowMode ? ", flow given" : ""));
    CalcState state = openedState();
    ASSERT_FALSE(calc::runCalculation(initialEntries(), state).error);
    const CalcState before = state;
    RunInputs in = r.flowMode ? flowGiven("5", r.flowModeNozzle) : initialEntries();
    in.*r.entry = r.text;
    const RunOutputs out = calc::runCalculation(in, state);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->field, r.field);
    EXPECT_EQ(out.error->text, r.text);
    if (*r.text) {
      EXPECT_NE(out.error->message.find(std::string("“") + r.text + "”"), std::string::npos)
          << out.error->message;
    }
    EXPECT_FALSE(out.error->message.empty());
    EXPECT_EQ(out.error->message.find('\n'), std::string::npos);
    // No output text and no warning from a failed run.
    EXPECT_FALSE(out.waterColumnOut || out.outletPressureOut || out.flowOut || out.phiOut ||
                 out.alphaOut || out.flowCoefficientOut || out.nozzlePressureOut ||
                 out.hoseLossOut || out.radiusOut || out.spacingOut || out.message);
    // The state is exactly as before.
    EXPECT_EQ(state.nozzleDiameter, before.nozzleDiameter);
    EXPECT_EQ(state.phi, before.phi);
    EXPECT_EQ(state.alphaF, before.alphaF);
    EXPECT_EQ(state.nozzlePressure, before.nozzlePressure);
    EXPECT_EQ(state.flow, before.flow);
    EXPECT_EQ(state.hoseLoss, before.hoseLoss);
    EXPECT_EQ(state.residual, before.residual);
    EXPECT_EQ(state.flowCoefficient, before.flowCoefficient);
    EXPECT_EQ(state.hoseSelection, before.hoseSelection);
  }
}

TEST(RunCalculation, MissingCoefficientIsAnError) {
  CalcState fresh;  // no hose chosen yet
  const RunOutputs out = calc::runCalculation(initialEntries(), fresh);
  ASSERT_TRUE(out.error);
  EXPECT_EQ(out.error->field, calc::kHoseCoefficientField);
}

TEST(RunCalculation, ReachMessageNamesTheLargestWaterColumn) {
  CalcState state = openedState();
  RunInputs in = initialEntries();
  in.waterColumnText = "38";
  const RunOutputs out = calc::runCalculation(in, state);
  ASSERT_TRUE(out.error);
  EXPECT_NE(out.error->message.find("最大为 37 m"), std::string::npos) << out.error->message;
  EXPECT_NE(out.error->message.find("“38”"), std::string::npos) << out.error->message;
}

}  // namespace

namespace {

TEST(RunCalculation, ErrorMessageQuotesTheEntryOnOneLine) {
  // Every control character (C0, DEL, C1), line and paragraph separator becomes a blank,
  // stray bytes U+FFFD, and at most 24 characters are quoted.
  const struct {
    std::string typed;
    std::string quoted;
  } rows[] = {
      {"1\n2\r3\t4", "“1 2 3 4”"},
      {"a\x7f\xc2\x85\xc2\x9b"
       "31m",
       "“a   31m”"},
      {"1\xe2\x80\xa8"
       "2\xe2\x80\xa9",
       "“1 2 ”"},
      {"2\xff\xe6\xb0", "“2\xef\xbf\xbd\xef\xbf\xbd”"},
      {"１０米", "“１０米”"},
      {std::string(100, 'x'), "“" + std::string(24, 'x') + "…”"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.quoted);
    calc::CalcState state = openedState();
    RunInputs in = initialEntries();
    in.waterColumnText = r.typed;
    const RunOutputs out = calc::runCalculation(in, state);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->text, r.typed);  // kept exactly as entered
    EXPECT_EQ(
        out.error->message,
        "充实水柱长度" + r.quoted + "不是有效的数字，请输入不小于 0 的长度（m），如 7、10 或 13。");
  }
}

TEST(RunCalculation, BothModesSelectedRunFlowGivenThenWaterColumnGiven) {
  // Only a direct caller can select both; the later block's outputs stand.
  CalcState state = openedState();
  RunInputs in = flowGiven("5", "19");
  in.givenWaterColumnSelected = true;
  const RunOutputs out = calc::runCalculation(in, state);
  ASSERT_FALSE(out.error);
  EXPECT_EQ(out.waterColumnOut, Text("11"));
  EXPECT_EQ(out.flowOut, Text("4.62(l/s)"));
  EXPECT_EQ(out.nozzlePressureOut, Text("13.55"));
  EXPECT_EQ(out.hoseLossOut, Text("6.41"));
  EXPECT_EQ(state.flow, 4.62f);
}

TEST(Calculate, UnknownHosePairQuotesBothEntriesShort) {
  calc::Entries e;
  e.material = std::string(1000, 'm');
  e.hoseDiameter = "7\n0";
  const calc::Calculation c = calc::calculate(e);
  ASSERT_TRUE(c.outputs.error);
  EXPECT_EQ(c.outputs.error->text, e.material + "/" + e.hoseDiameter);
  const std::string& m = c.outputs.error->message;
  EXPECT_NE(m.find("材料“" + std::string(24, 'm') + "…”与直径“7 0”"), std::string::npos) << m;
}

}  // namespace
