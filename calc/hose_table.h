#pragma once
// Hose resistance coefficients A_z and the hose friction loss h_d = A_z · L_d · q².

#include <span>
#include <string_view>

#include "calc/calc_error.h"
#include "calc/calc_state.h"

namespace calc {

struct HoseRow {
  std::string_view diameter;  // exact text of the hose-diameter entry, mm
  std::string_view material;  // exact text of the hose-material entry
  double coefficient;         // A_z
  std::string_view coefficientText;
};

// The six hoses the window offers: linen ("麻质") and rubber-lined ("衬胶"), 50/65/80 mm.
std::span<const HoseRow> hoseTable();

// Sets slot 0 to the coefficient of the row whose texts equal slots 2 and 1 exactly;
// with no such row slot 0 keeps its text.
void updateHoseResistance(HoseSelection& hoseSelection);

// Unrounded friction loss (L_d · A_z) · q², m of water column. Reads slot 0 only.
Result<double> hd(std::string_view hoseLength, const HoseSelection& hoseSelection, float flow);

}  // namespace calc
