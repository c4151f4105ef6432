#include "calc/hose_table.h"

#include <gtest/gtest.h>

#include "calc/run.h"

namespace {

using calc::HoseSelection;

TEST(HoseTable, SelectionSetsEachRowsCoefficientText) {
  const struct {
    const char* diameter;
    const char* material;
    const char* coefficient;
  } rows[] = {{"50", "麻质", "0.01501"}, {"65", "麻质", "0.0043"},  {"80", "麻质", "0.0015"},
              {"50", "衬胶", "0.00677"}, {"65", "衬胶", "0.00172"}, {"80", "衬胶", "0.00075"}};
  ASSERT_EQ(calc::hoseTable().size(), std::size(rows));
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.material) + r.diameter);
    HoseSelection sel{"previous", r.material, r.diameter};
    calc::updateHoseResistance(sel);
    EXPECT_EQ(sel[0], r.coefficient);
  }
}

TEST(HoseTable, NoMatchKeepsThePreviousCoefficient) {
  // Exact, case-sensitive comparison of the whole text.
  for (const char* diameter : {"70", "50.0", " 50", "50 ", "", "５０"}) {
    SCOPED_TRACE(diameter);
    HoseSelection sel{"0.0043", "麻质", diameter};
    calc::updateHoseResistance(sel);
    EXPECT_EQ(sel[0], "0.0043");
  }
  HoseSelection unknownMaterial{"0.0043", "帆布", "65"};
  calc::updateHoseResistance(unknownMaterial);
  EXPECT_EQ(unknownMaterial[0], "0.0043");
}

TEST(HoseLoss, WorkedLossAndZeroFlowForEveryHose) {
  EXPECT_NEAR(calc::hd("20", {"0.01501", "麻质", "50"}, 4.62f).value(), 6.407589, 5e-7);
  for (const auto& row : calc::hoseTable()) {
    EXPECT_EQ(calc::hd("25", {std::string(row.coefficientText), "", ""}, 0.0f).value(), 0.0);
  }
}

}  // namespace
