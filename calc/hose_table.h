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

// Sets the coefficient to the row whose texts equal the material and diameter exactly; with
// no such row the coefficient stays as it was.
void updateHoseResistance(HoseSelection& hoseSelection);

// Unrounded friction loss (L_d · A_z) · q², m of water column, for a hose length L_d already
// read from `hoseLengthText` (which an error quotes).
Result<double> hd(double hoseLength, std::string_view hoseLengthText,
                  const HoseSelection& hoseSelection, float flow);

}  // namespace calc
