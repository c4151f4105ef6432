#include "calc/hose_table.h"

#include <gtest/gtest.h>

#include "calc/number_text.h"
#include "calc/run.h"

namespace {

// A pair of the table selects its row, the number and the text the window shows agreeing; a
// pair that matches no row, by exact comparison of the whole texts, keeps the previous one.
TEST(HoseTable, SelectionTakesTheRowOrKeepsThePrevious) {
  const calc::HoseSelection previous{0.5, "previous", "", ""};
  for (const calc::HoseRow& row : calc::hoseTable()) {
    SCOPED_TRACE(std::string(row.material) + row.coefficientText.data());
    calc::HoseSelection sel{previous.coefficient, previous.coefficientText,
                            std::string(row.material), std::string(row.diameter)};
    calc::updateHoseResistance(sel);
    EXPECT_EQ(sel.coefficientText, row.coefficientText);
    EXPECT_EQ(sel.coefficient, calc::parseNumber(row.coefficientText));
  }
  const struct {
    const char* material;
    const char* diameter;
  } others[] = {{"麻质", "70"}, {"麻质", "50.0"}, {"麻质", " 50"}, {"麻质", "50 "},
                {"麻质", ""},   {"麻质", "５０"}, {"帆布", "65"}};
  for (const auto& r : others) {
    SCOPED_TRACE(std::string(r.material) + "'" + r.diameter + "'");
    calc::HoseSelection sel{previous.coefficient, previous.coefficientText, r.material, r.diameter};
    calc::updateHoseResistance(sel);
    EXPECT_EQ(sel, (calc::HoseSelection{0.5, "previous", r.material, r.diameter}));
  }
}

TEST(HoseLoss, WorkedLossZeroFlowAndOverflow) {
  const calc::HoseSelection linen50{0.01501, "0.01501", "麻质", "50"};
  EXPECT_NEAR(calc::hd(20, "20", linen50, 4.62f).value(), 6.407589, 5e-7);
  EXPECT_EQ(calc::hd(25, "25", linen50, 0.0f).value(), 0.0);
  const auto huge = calc::hd(1e308, "1e308", linen50, 100.0f);
  ASSERT_FALSE(huge.ok());
  EXPECT_EQ(huge.error().text, "1e308");
}

}  // namespace
