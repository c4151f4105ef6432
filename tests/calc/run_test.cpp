#include "calc/run.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "calc/entries.h"
#include "calc/number_text.h"
#include "tests/example_result.h"

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
using Text = std::optional<std::string>;

// The window's state right after it opens: linen hose of 50 mm selected.
CalcState openedState() {
  CalcState state;
  state.hoseSelection = {0.01501, "0.01501", "麻质", "50"};
  return state;
}

RunInputs initialEntries(std::string width = "", std::string hose = "20",
                         std::string column = "10") {
  return RunInputs{false, true, std::move(hose), "19", "2.5", std::move(column), std::move(width)};
}

RunInputs flowGiven(std::string flow, std::string nozzle = "19") {
  RunInputs in = initialEntries();
  in.givenWaterColumnSelected = false;
  in.givenFlowSelected = true;
  in.flowText = std::move(flow);
  in.nozzleDiameterText = std::move(nozzle);
  return in;
}

// Whole runs: every text, the state the run leaves, and the numbers below the texts (the texts
// are made from them; each shown number is the number its text shows).
TEST(RunCalculation, WholeRuns) {
  const RunOutputs example{.outletPressureOut = std::string(example::kOutletPressure),
                           .flowOut = std::string(example::kFlow),
                           .phiOut = "0.0097",
                           .alphaOut = "1.20",
                           .flowCoefficientOut = "1.576",
                           .nozzlePressureOut = "13.55",
                           .hoseLossOut = "6.41",
                           .radiusOut = std::string(example::kRadius)};
  RunOutputs exampleTen = example, tooWide = example, both = example;
  exampleTen.spacingOut = std::string(example::kSpacing);
  tooWide.message = calc::kWidthTooLargeMessage;
  both.waterColumnOut = "11";  // both modes (only a direct caller can): the later block stands
  RunInputs bothModes = flowGiven("5");
  bothModes.givenWaterColumnSelected = true;
  RunInputs flowLong = flowGiven("5");
  flowLong.hoseLengthText = "25";
  flowLong.waterColumnText = "13";
  const struct {
    const char* name;
    RunInputs in;
    RunOutputs out;
    float flow, hoseLoss;  // as the state keeps them
  } rows[] = {
      {"example", initialEntries(std::string(example::kWidth)), exampleTen, 4.62f, 6.41f},
      {"too wide", initialEntries("30"), tooWide, 4.62f, 6.41f},
      // α_f of the search's last trial (10 m); the water-column entry still counts for the
      // radius: 25 · 0.8 + 13 · 0.71 = 29.23. No hose loss is computed.
      {"flow given",
       flowLong,
       {.waterColumnOut = "11",
        .flowOut = "5",
        .phiOut = "0.0097",
        .alphaOut = "1.20",
        .flowCoefficientOut = "1.576",
        .nozzlePressureOut = "15.87",
        .radiusOut = "29.23"},
       5.0f,
       0.0f},
      {"both modes", bothModes, both, 4.62f, 6.41f},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CalcState state = openedState();
    const calc::RunResult run = calc::runWithValues(row.in, state);
    EXPECT_EQ(run.outputs, row.out);
    EXPECT_EQ(state.flow, row.flow);
    EXPECT_EQ(state.hoseLoss, row.hoseLoss);
    const calc::RunValues shown = calc::shownValues(run.values);
    const auto asShown = [](const Text& text) -> std::optional<double> {
      if (!text) return std::nullopt;
      return calc::leadingNumber(*text);
    };
    EXPECT_EQ(shown.outletPressure, asShown(run.outputs.outletPressureOut));
    EXPECT_EQ(shown.flow, asShown(run.outputs.flowOut));
    EXPECT_EQ(shown.waterColumn, asShown(run.outputs.waterColumnOut));
    EXPECT_EQ(shown.radius, asShown(run.outputs.radiusOut));
    EXPECT_EQ(shown.spacing, asShown(run.outputs.spacingOut));
    EXPECT_EQ(shown.widthTooLarge, run.outputs.message.has_value());
  }
  // Unrounded below the texts: the outlet pressure is 21.9593…, not its 21.96.
  CalcState state = openedState();
  const calc::RunValues values = calc::runWithValues(initialEntries(), state).values;
  EXPECT_NEAR(*values.outletPressure, 21.9593, 5e-5);
  EXPECT_EQ(calc::shownOutletPressureMPa(*values.outletPressure), 0.2196);
}

TEST(RunCalculation, ProtectionWidthAgainstTheRadius) {
  // 23.10 in single precision is 23.1000004, wider than the radius 23.1; letters and
  // blanks count as entered with the value 0, a leading number counts.
  const Text none;
  const Text warns = calc::kWidthTooLargeMessage;
  const struct {
    RunInputs in;
    Text spacing;
    Text message;
  } rows[] = {{initialEntries(""), none, none},
              {initialEntries("10"), "20.82", none},
              {initialEntries("23.10"), none, warns},
              {initialEntries("23.09"), "0.68", none},
              {initialEntries("30"), none, warns},
              {initialEntries("abc"), "23.10", none},
              {initialEntries("   "), "23.10", none},
              {initialEntries("10米"), "20.82", none},
              {initialEntries("１０"), "20.82", none},
              // 23.09999 narrows to 23.0999908: √(23.1² − 23.0999908²) = 0.0206.
              {initialEntries("23.09999"), "0.02", none},
              // A radius that is exactly a float: 25 · 0.8 + 0 · 0.71 = 20.
              {initialEntries("20", "25", "0"), "0.00", none}};
  for (const auto& r : rows) {
    SCOPED_TRACE("width '" + r.in.protectionWidthText + "'");
    CalcState state = openedState();
    const RunOutputs out = calc::runCalculation(r.in, state);
    EXPECT_EQ(out.spacingOut, r.spacing);
    EXPECT_EQ(out.message, r.message);
    EXPECT_TRUE(out.flowOut);  // the warning does not stop the run
  }
}

TEST(RunCalculation, StateKeepsWhatTheLastRunDidNotCompute) {
  CalcState state = openedState();
  EXPECT_FALSE(state.alphaF || state.phi);  // unset until a calculation writes it, not 0
  ASSERT_FALSE(calc::runCalculation(flowGiven("2.5", "16"), state).error);
  EXPECT_TRUE(state.alphaF);
  ASSERT_FALSE(calc::runCalculation(initialEntries(), state).error);
  ASSERT_FALSE(calc::runCalculation(flowGiven("5"), state).error);
  EXPECT_EQ(state.hoseLoss, 6.41f);  // the last one stays
  EXPECT_EQ(state.flow, 5.0f);
  EXPECT_EQ(state.hoseSelection.coefficientText, "0.01501");
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
  // radius, and a 1e6 mm nozzle throws too far for the search. A message quotes the entry on one
  // line: every control character (C0, DEL, C1), line and paragraph separator a blank, stray
  // bytes U+FFFD, at most 24 characters.
  const std::string x100(100, 'x'), x24 = "“" + std::string(24, 'x') + "…”";
  const struct {
    bool flowMode;
    Entry entry;
    std::string text;    // typed into that entry
    std::string quoted;  // in the message; "" for the text in quotes
    const char* flowModeNozzle = "19";
  } rows[] = {
      // clang-format off
      {false, water, "1o", ""}, {false, water, "", ""}, {false, water, "-3", ""}, {false, water, "40", ""},
      {false, hose, "二十", ""}, {false, hose, "-20", ""}, {false, hose, "1e300", ""},
      {false, nozzle, "0", ""}, {false, nozzle, "-19", ""}, {false, nozzle, "", ""}, {false, nozzle, "1e39", ""},
      {false, width, "-5", ""}, {false, width, "1e39", ""},
      {true, flow, "abc", ""}, {true, flow, "-5", ""}, {true, water, "x", ""}, {true, nozzle, "0", ""},
      {true, flow, "599222222222222222222", "", "1e6"},
      {false, water, "1\n2\r3\t4", "“1 2 3 4”"}, {false, water, "a\x7f\u0080\u0085\u009b\u009f31m", "“a     31m”"},
      {false, water, "1\u20282\u2029", "“1 2 ”"}, {false, water, "2\xff\xe6\xb0", "“2\xef\xbf\xbd\xef\xbf\xbd”"},
      {false, water, "１０米", ""}, {false, water, x100, x24},
      // clang-format on
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.entry.field) + " '" + r.text + "'" +
                 (r.flowMode ? ", flow given" : ""));
    CalcState state = openedState();
    ASSERT_FALSE(calc::runCalculation(initialEntries(), state).error);
    const CalcState before = state;
    RunInputs in = r.flowMode ? flowGiven("5", r.flowModeNozzle) : initialEntries();
    in.*r.entry.member = r.text;
    const calc::RunResult run = calc::runWithValues(in, state);
    const RunOutputs& out = run.outputs;
    ASSERT_TRUE(out.error);
    EXPECT_EQ(out.error->field, r.entry.field);
    EXPECT_EQ(out.error->text, r.text);  // kept exactly as entered
    if (!r.text.empty()) {
      const std::string quoted = r.quoted.empty() ? "“" + r.text + "”" : r.quoted;
      EXPECT_NE(out.error->message.find(quoted), std::string::npos) << out.error->message;
    }
    // No output text, number or warning from a failed run, and the state exactly as before.
    EXPECT_EQ(out, RunOutputs{.error = out.error});
    EXPECT_EQ(run.values, calc::RunValues{});
    EXPECT_EQ(state, before);
  }
  // The whole message, once.
  CalcState state = openedState();
  EXPECT_EQ(calc::runCalculation(initialEntries("", "20", "1o"), state).error->message,
            "充实水柱长度“1o”不是有效的数字，请输入不小于 0 的长度（m），如 7、10 或 13。");
  CalcState fresh;  // no hose chosen yet: the coefficient is missing
  const RunOutputs out = calc::runCalculation(initialEntries(), fresh);
  ASSERT_TRUE(out.error);
  EXPECT_EQ(out.error->field, calc::kHoseCoefficientField);
}

TEST(Calculate, UnknownHosePairQuotesBothEntriesShortened) {
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
