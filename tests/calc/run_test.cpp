#include "calc/run.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "calc/entries.h"

namespace calc {

// A failed comparison shows the texts rather than the bytes.
void PrintTo(const RunOutputs& o, std::ostream* os) {
  for (const auto& t : {o.waterColumnOut, o.outletPressureOut, o.flowOut, o.phiOut, o.alphaOut,
                        o.flowCoefficientOut, o.nozzlePressureOut, o.hoseLossOut, o.radiusOut,
                        o.spacingOut, o.message})
    *os << t.value_or("-") << " | ";
  if (o.error) *os << o.error->message;
}

}  // namespace calc

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
  EXPECT_EQ(out, (RunOutputs{.outletPressureOut = "21.96(mH2o)",
                             .flowOut = "4.62(l/s)",
                             .phiOut = "0.0097",
                             .alphaOut = "1.20",
                             .flowCoefficientOut = "1.576",
                             .nozzlePressureOut = "13.55",
                             .hoseLossOut = "6.41",
                             .radiusOut = "23.10",
                             .spacingOut = "20.82"}));
  EXPECT_EQ(state.flow, 4.62f);
  EXPECT_EQ(state.hoseLoss, 6.41f);
  EXPECT_EQ(state.nozzleDiameter, 19.0f);
}

// The numbers behind the texts, as the sheet and the command line take them: the texts are
// made from them, and shown, each is the number its text shows.
TEST(RunValues, TextsAreMadeFromTheNumbers) {
  const struct {
    const char* name;
    RunInputs in;
    std::optional<double> outlet, flow, waterColumn, radius, spacing;
    bool widthTooLarge;
  } rows[] = {
      {"example", initialEntries("10"), 21.96, 4.62, {}, 23.1, 20.82, false},
      {"too wide", initialEntries("30"), 21.96, 4.62, {}, 23.1, {}, true},
      {"flow given", flowGiven("5", "19"), {}, 5, 11, 23.1, {}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CalcState state = openedState();
    const calc::RunResult run = calc::runWithValues(row.in, state);
    ASSERT_FALSE(run.outputs.error);
    EXPECT_EQ(calc::runOutputs(run.values), run.outputs);
    const calc::RunValues shown = calc::shownValues(run.values);
    EXPECT_EQ(shown.outletPressure, row.outlet);
    EXPECT_EQ(shown.flow, row.flow);
    EXPECT_EQ(shown.waterColumn, row.waterColumn);
    EXPECT_EQ(shown.radius, row.radius);
    EXPECT_EQ(shown.spacing, row.spacing);
    EXPECT_EQ(shown.widthTooLarge, row.widthTooLarge);
    // Unrounded below: the outlet pressure is 21.9593…, not its 21.96.
    if (row.outlet) {
      EXPECT_NEAR(*run.values.outletPressure, 21.9593, 5e-5);
      EXPECT_EQ(calc::shownOutletPressureMPa(*run.values.outletPressure), 0.2196);
    }
  }
  CalcState state = openedState();
  EXPECT_EQ(calc::runWithValues(flowGiven("x", "19"), state).values, calc::RunValues{});
}

TEST(RunCalculation, FlowGivenProducesNoOutletPressureOrHoseLoss) {
  // α_f of the search's last trial (10 m). The water-column entry still counts for the
  // radius: 25 · 0.8 + 13 · 0.71 = 29.23, as in the other mode.
  CalcState state = openedState();
  RunInputs in = flowGiven("5", "19");
  in.hoseLengthText = "25";
  in.waterColumnText = "13";
  EXPECT_EQ(calc::runCalculation(in, state), (RunOutputs{.waterColumnOut = "11",
                                                         .flowOut = "5",
                                                         .phiOut = "0.0097",
                                                         .alphaOut = "1.20",
                                                         .flowCoefficientOut = "1.576",
                                                         .nozzlePressureOut = "15.87",
                                                         .radiusOut = "29.23"}));
  EXPECT_EQ(state.flow, 5.0f);
}

TEST(RunCalculation, ProtectionWidthAgainstTheRadius) {
  // 23.10 in single precision is 23.1000004, wider than the radius 23.1; letters and
  // blanks count as entered with the value 0, a leading number counts.
  const Text none;
  const Text warns = calc::kWidthTooLargeMessage;
  const struct {
    const char* width;
    Text spacing;
    Text message;
  } rows[] = {{"", none, none},
              {"10", "20.82", none},
              {"23.10", none, warns},
              {"23.09", "0.68", none},
              {"30", none, warns},
              {"abc", "23.10", none},
              {"   ", "23.10", none},
              {"10米", "20.82", none},
              {"１０", "20.82", none},
              // 23.09999 narrows to 23.0999908: √(23.1² − 23.0999908²) = 0.0206.
              {"23.09999", "0.02", none}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string("width '") + r.width + "'");
    CalcState state = openedState();
    const RunOutputs out = calc::runCalculation(initialEntries(r.width), state);
    EXPECT_EQ(out.spacingOut, r.spacing);
    EXPECT_EQ(out.message, r.message);
    EXPECT_EQ(out.flowOut, Text("4.62(l/s)"));  // the warning does not stop the run
  }
}

TEST(RunCalculation, WidthEqualToAnExactRadiusGivesZeroSpacing) {
  CalcState state = openedState();
  // A radius that is exactly a float: 25 · 0.8 + 0 · 0.71 = 20.
  RunInputs exact = initialEntries("20");
  exact.hoseLengthText = "25";
  exact.waterColumnText = "0";
  EXPECT_EQ(calc::runCalculation(exact, state).spacingOut, Text("0.00"));
}

TEST(RunCalculation, StateKeepsWhatTheLastRunDidNotCompute) {
  CalcState state = openedState();
  EXPECT_FALSE(state.alphaF || state.phi);  // unset until a calculation writes it, not 0
  ASSERT_FALSE(calc::runCalculation(flowGiven("2.5", "16"), state).error);
  EXPECT_EQ(state.hoseLoss, 0.0f);  // a flow-given run computes no hose loss
  EXPECT_TRUE(state.alphaF);
  ASSERT_FALSE(calc::runCalculation(initialEntries(), state).error);
  ASSERT_FALSE(calc::runCalculation(flowGiven("5", "19"), state).error);
  EXPECT_EQ(state.hoseLoss, 6.41f);  // the last one stays
  EXPECT_EQ(state.flow, 5.0f);
  EXPECT_EQ(state.hoseSelection[0], "0.01501");
}

TEST(RunCalculation, FailuresNameTheInputAndChangeNothing) {
  struct Entry {
    std::string RunInputs::*member;
    const char* field;  // the caption that names it
  };
  const Entry water{&RunInputs::waterColumnText, calc::kWaterColumnField};
  const Entry hose{&RunInputs::hoseLengthText, calc::kHoseLengthField};
  const Entry nozzle{&RunInputs::nozzleDiameterText, calc::kNozzleDiameterField};
  const Entry flow{&RunInputs::flowText, calc::kFlowField};
  const Entry width{&RunInputs::protectionWidthText, calc::kProtectionWidthField};
  // 40 m lies beyond the 19 mm nozzle's reach; 1e300 m of hose overflow the loss; 1e39 is
  // beyond single precision. In the flow-given mode the water column is still read for the
  // radius, and a 1e6 mm nozzle throws too far for the search.
  const struct {
    bool flowMode;
    Entry entry;
    const char* text;  // typed into that entry
    const char* flowModeNozzle = "19";
  } rows[] = {{false, water, "1o"},    {false, water, ""},
              {false, water, "-3"},    {false, water, "40"},
              {false, hose, "二十"},   {false, hose, "-20"},
              {false, hose, "1e300"},  {false, nozzle, "0"},
              {false, nozzle, "-19"},  {false, nozzle, ""},
              {false, nozzle, "1e39"}, {false, width, "-5"},
              {false, width, "1e39"},  {true, flow, "abc"},
              {true, flow, "-5"},      {true, water, "x"},
              {true, nozzle, "0"},     {true, flow, "599222222222222222222", "1e6"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.entry.field) + " '" + r.text + "'" +
                 (r.flowMode ? ", flow given" : ""));
    CalcState state = openedState();
    ASSERT_FALSE(calc::runCalculation(initialEntries(), state).error);
    const CalcState before = state;
    RunInputs in = r.flowMode ? flowGiven("5", r.flowModeNozzle) : initialEntries();
    in.*r.entry.member = r.text;
    const RunOutputs out = calc::runCalculation(in, state);
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->field, r.entry.field);
    EXPECT_EQ(out.error->text, r.text);
    if (*r.text) {
      EXPECT_NE(out.error->message.find(std::string("“") + r.text + "”"), std::string::npos)
          << out.error->message;
    }
    // No output text and no warning from a failed run, and the state is exactly as before.
    EXPECT_EQ(out, RunOutputs{.error = out.error});
    EXPECT_EQ(state, before);
  }
}

TEST(RunCalculation, MissingCoefficientIsAnError) {
  CalcState fresh;  // no hose chosen yet
  const RunOutputs out = calc::runCalculation(initialEntries(), fresh);
  ASSERT_TRUE(out.error);
  EXPECT_EQ(out.error->field, calc::kHoseCoefficientField);
}

TEST(RunCalculation, ErrorMessageQuotesTheEntryOnOneLine) {
  // Every control character (C0, DEL, C1), line and paragraph separator becomes a blank,
  // stray bytes U+FFFD, and at most 24 characters are quoted.
  const struct {
    std::string typed;
    std::string quoted;
  } rows[] = {
      {"1\n2\r3\t4", "“1 2 3 4”"},  {"a\x7f\u0080\u0085\u009b\u009f31m", "“a     31m”"},
      {"1\u20282\u2029", "“1 2 ”"}, {"2\xff\xe6\xb0", "“2\xef\xbf\xbd\xef\xbf\xbd”"},
      {"１０米", "“１０米”"},       {std::string(100, 'x'), "“" + std::string(24, 'x') + "…”"},
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
