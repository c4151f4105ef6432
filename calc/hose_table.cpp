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
    const bool diameterMatches = hoseSelection[2] == row.diameter;
    const bool materialMatches = hoseSelection[1] == row.material;
    if (diameterMatches && materialMatches) hoseSelection[0] = std::string(row.coefficientText);
  }
}

Result<double> hd(std::string_view hoseLength, const HoseSelection& hoseSelection, float flow) {
  const double q = flow;
  const double q2 = q * q;
  const auto coefficient = parseNumber(hoseSelection[0]);
  if (!coefficient || *coefficient < 0) return errors::hoseCoefficient(hoseSelection[0]);
  const auto length = parseNumber(hoseLength);
  if (!length) return errors::notANumber(errors::Input::HoseLength, hoseLength);
  if (*length < 0) return errors::negative(errors::Input::HoseLength, hoseLength);
  const double loss = (*length * *coefficient) * q2;
  if (!std::isfinite(loss)) return errors::outOfRange(errors::Input::HoseLength, hoseLength);
  return loss;
}

}  // namespace calc
