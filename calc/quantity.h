#pragma once
// The design point's quantities, one row each: the name the JSON and the batch's CSV give it,
// the symbol and unit the sheet prints, and the decimals every form shows it with. The text,
// CSV and JSON outputs, the sheet and the windows round and format them through this table.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "calc/design_check.h"

namespace calc {

enum class Quantity {
  OutletPressure,
  OutletPressureMPa,
  NozzlePressure,
  Flow,
  HoseLoss,
  WaterColumn,
  RequiredWaterColumn,
  MinPressureMPa,
  Radius,
  Spacing,
  SpacingCap,
  AdoptedSpacing,
};

// Shown as it is, in its shortest text (a value that is a setting, not a result).
inline constexpr int kExact = -1;

struct QuantityRow {
  Quantity id;
  std::string_view name;    // "outletPressure": the JSON key and the batch's CSV column
  std::string_view symbol;  // "H_xh"
  std::string_view unit;    // "m", "MPa", "L/s"
  int decimals;             // after the point, or kExact
  bool batchColumn;         // a column of the batch's CSV
};

// In the order the JSON object and the CSV columns list them.
std::span<const QuantityRow> designQuantities();
const QuantityRow& quantity(Quantity id);

// Its value in a design result; nothing where the result has none (the spacing without a width).
std::optional<double> valueOf(const DesignResult& design, Quantity id);
// "35.00": the value to the row's decimals.
std::string textOf(Quantity id, double value);
// "35.00 m".
std::string textWithUnit(Quantity id, double value);
// The number textOf shows, for the JSON numbers and the sums on the sheet.
double roundedAs(Quantity id, double value);

}  // namespace calc
