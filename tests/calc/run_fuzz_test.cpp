// Random and mutated entries through the whole run: each must end in a complete set of
// finite result texts or in an error, never in a crash, "nan", "inf" or an exponent.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "calc/run.h"

namespace {

const std::array<const char*, 24> kSeeds = {"20",   "25",  "19",    "13",     "16",     "10",
                                            "7",    "13",  "2.5",   "5",      "0",      "-1",
                                            "",     " ",   "1e308", "1e-308", "３７",   "37.4",
                                            "31.2", "abc", ".",     "1e39",   "0.0001", "99999999"};

// Up to three edits: a character inserted, removed or replaced (one in five a random byte), or
// the whole text replaced by a random decimal.
std::string mutate(std::string s, std::mt19937& rng) {
  const std::string alphabet = "0123456789.-+eE x,\t";
  const auto below = [&rng](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  for (std::size_t edits = below(4); edits > 0; --edits) {
    const std::size_t pos = below(s.size() + 1);
    const char c = below(5) == 0 ? static_cast<char>(below(256)) : alphabet[below(alphabet.size())];
    const std::size_t op = below(4);
    if (op == 0) s.insert(pos, 1, c);
    if (op == 1 && pos < s.size()) s.erase(pos, 1);
    if (op == 2 && pos < s.size()) s[pos] = c;
    if (op == 3) s = std::to_string(std::uniform_real_distribution<double>(-5, 60)(rng));
  }
  return s;
}

TEST(RunCalculationFuzz, EveryRunIsCompleteAndFiniteOrAnError) {
  std::mt19937 rng(20261206);
  std::uniform_int_distribution<std::size_t> seed(0, kSeeds.size() - 1);
  int failures = 0;
  int successes = 0;
  for (int i = 0; i < 30000; ++i) {
    calc::RunInputs in;
    const bool flowMode = (i % 4) == 0;
    in.givenFlowSelected = flowMode;
    in.givenWaterColumnSelected = !flowMode;
    in.hoseLengthText = mutate(kSeeds[seed(rng)], rng);
    in.nozzleDiameterText = mutate(kSeeds[seed(rng)], rng);
    in.flowText = mutate(kSeeds[seed(rng)], rng);
    in.waterColumnText = mutate(kSeeds[seed(rng)], rng);
    in.protectionWidthText = (i % 3) == 0 ? "" : mutate(kSeeds[seed(rng)], rng);

    calc::CalcState state;
    state.hoseSelection = {0.01501, "0.01501", "麻质", "50"};
    const calc::RunOutputs out = calc::runCalculation(in, state);
    if (out.error) {
      ++failures;
      ASSERT_FALSE(out.error->message.empty());
      ASSERT_EQ(out, (calc::RunOutputs{.error = out.error}));
      continue;
    }
    ++successes;
    SCOPED_TRACE(testing::Message()
                 << "hose '" << in.hoseLengthText << "' nozzle '" << in.nozzleDiameterText
                 << "' flow '" << in.flowText << "' column '" << in.waterColumnText << "' width '"
                 << in.protectionWidthText << "'");
    // Each mode's fields are all there; the spacing or the warning when a width is entered.
    EXPECT_EQ(out.waterColumnOut.has_value(), flowMode);
    EXPECT_EQ(out.hoseLossOut.has_value(), !flowMode);
    EXPECT_EQ(out.outletPressureOut.has_value(), !flowMode);
    EXPECT_EQ(out.spacingOut.has_value() + out.message.has_value(),
              in.protectionWidthText.empty() ? 0 : 1);
    for (const auto& text : {out.waterColumnOut, out.outletPressureOut, out.flowOut, out.phiOut,
                             out.alphaOut, out.flowCoefficientOut, out.nozzlePressureOut,
                             out.hoseLossOut, out.radiusOut, out.spacingOut}) {
      if (!text) continue;
      EXPECT_FALSE(text->empty());
      EXPECT_EQ(text->find_first_of("naiefNAIEF"), std::string::npos) << *text;  // nan, inf, e
    }
    ASSERT_TRUE(out.flowOut && out.phiOut && out.alphaOut && out.flowCoefficientOut &&
                out.nozzlePressureOut && out.radiusOut);
    if (::testing::Test::HasFailure()) return;
  }
  // Both outcomes must be exercised for the test to mean anything.
  EXPECT_GT(failures, 1000);
  EXPECT_GT(successes, 1000);
}

}  // namespace
