#include "calc/hose_table.h"

#include <array>
#include <cmath>

#include "calc/number_text.h"
#include "calc/run_errors.h"

namespace calc {
namespace {

// A_z per hose; the text is what the selection keeps and what the window shows.
constexpr std::array<HoseRow, 6> kHoses = {{
    {"50", "麻质", 0.01501, "0.01501"},
    {"65", "麻质", 0.0043, "0.0043"},
    {"80", "麻质", 0.0015, "0.0015"},
    {"50", "衬胶", 0.00677, "0.00677"},
    {"65", "衬胶", 0.00172, "0.00172"},
    {"80", "衬胶", 0.00075, "0.00075"},
}};

}  // namespace

std::span<const HoseRow> hoseTable() { return kHoses; }

void updateHoseResistance(HoseSelection& hoseSelection) {
  // Exact text comparison: "50.0" or " 50" is not a hose of the table.
  for (const HoseRow& row : kHoses) {
    const bool diameterMatches = hoseSelection.diameter == row.diameter;
    const bool materialMatches = hoseSelection.material == row.material;
    if (diameterMatches && materialMatches) {
      hoseSelection.coefficient = row.coefficient;
      hoseSelection.coefficientText = std::string(row.coefficientText);
    }
  }
}

Result<double> hd(double hoseLength, std::string_view hoseLengthText,
                  const HoseSelection& hoseSelection, float flow) {
  const double q = flow;
  const double q2 = q * q;
  const double loss = (hoseLength * hoseSelection.coefficient) * q2;
  if (!std::isfinite(loss)) return errors::outOfRange(errors::Input::HoseLength, hoseLengthText);
  return loss;
}

}  // namespace calc
