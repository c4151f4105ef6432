#include "calc/hose_table.h"

#include <gtest/gtest.h>

#include "calc/run.h"

namespace {

// Each row's coefficient text; a pair that matches no row, by exact comparison of the whole
// texts, keeps the previous one.
TEST(HoseTable, SelectionSetsEachRowsCoefficientText) {
  const struct {
    const char* material;
    const char* diameter;
    const char* coefficient;
  } rows[] = {
      {"麻质", "50", "0.01501"},   {"麻质", "65", "0.0043"},     {"麻质", "80", "0.0015"},
      {"衬胶", "50", "0.00677"},   {"衬胶", "65", "0.00172"},    {"衬胶", "80", "0.00075"},
      {"麻质", "70", "previous"},  {"麻质", "50.0", "previous"}, {"麻质", " 50", "previous"},
      {"麻质", "50 ", "previous"}, {"麻质", "", "previous"},     {"麻质", "５０", "previous"},
      {"帆布", "65", "previous"}};
  ASSERT_EQ(calc::hoseTable().size(), 6u);
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.material) + "'" + r.diameter + "'");
    calc::HoseSelection sel{"previous", r.material, r.diameter};
    calc::updateHoseResistance(sel);
    EXPECT_EQ(sel[0], r.coefficient);
  }
}

TEST(HoseLoss, WorkedLossAndZeroFlowForEveryHose) {
  EXPECT_NEAR(calc::hd("20", {"0.01501", "麻质", "50"}, 4.62f).value(), 6.407589, 5e-7);
  for (const auto& row : calc::hoseTable()) {
    EXPECT_EQ(calc::hd("25", {std::string(row.coefficientText), "", ""}, 0.0f).value(), 0.0);
  }
}

}  // namespace
