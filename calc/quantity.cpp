#include "calc/quantity.h"

#include "calc/number_text.h"

namespace calc {
namespace {

using Q = Quantity;

// Heads and losses to 0.01 m, pressures in MPa to 0.001, the flow to 0.01 L/s, the water
// column the jet reaches to 0.1 m.
constexpr QuantityRow kQuantities[] = {
    {Q::OutletPressure, "outletPressure", "H_xh", "m", 2, true},
    {Q::OutletPressureMPa, "outletPressureMPa", "H_xh", "MPa", 3, true},
    {Q::NozzlePressure, "nozzlePressure", "H_q", "m", 2, true},
    {Q::Flow, "flow", "q_xh", "L/s", 2, true},
    {Q::HoseLoss, "hoseLoss", "h_d", "m", 2, true},
    {Q::WaterColumn, "waterColumn", "S_k", "m", 1, true},
    {Q::RequiredWaterColumn, "requiredWaterColumn", "S_k", "m", kExact, false},
    {Q::MinPressureMPa, "minPressureMPa", "p_min", "MPa", 3, false},
    {Q::Radius, "radius", "R", "m", 2, true},
    {Q::Spacing, "spacing", "S", "m", 2, true},
    {Q::SpacingCap, "spacingCap", "S_max", "m", kExact, false},
    {Q::AdoptedSpacing, "adoptedSpacing", "S", "m", 2, true},
};

}  // namespace

std::span<const QuantityRow> designQuantities() { return kQuantities; }

const QuantityRow& quantity(Quantity id) { return kQuantities[static_cast<int>(id)]; }

std::optional<double> valueOf(const DesignResult& d, Quantity id) {
  switch (id) {
    case Q::OutletPressure:
      return d.design.outletPressure;
    case Q::OutletPressureMPa:
      return toMPa(d.design.outletPressure);
    case Q::NozzlePressure:
      return d.design.nozzlePressure;
    case Q::Flow:
      return d.design.flow;
    case Q::HoseLoss:
      return d.design.hoseLoss;
    case Q::WaterColumn:
      return d.design.waterColumn;
    case Q::RequiredWaterColumn:
      return d.requiredWaterColumn;
    case Q::MinPressureMPa:
      return toMPa(d.minPressure);
    case Q::Radius:
      return d.radius;
    case Q::Spacing:
      return d.spacing;
    case Q::SpacingCap:
      return d.spacingCap;
    case Q::AdoptedSpacing:
      return d.adoptedSpacing;
  }
  return std::nullopt;
}

std::string textOf(Quantity id, double value) {
  const int decimals = quantity(id).decimals;
  return decimals == kExact ? numberToText(value) : formatFixed(value, decimals);
}

std::string textWithUnit(Quantity id, double value) {
  return textOf(id, value) + " " + std::string(quantity(id).unit);
}

double roundedAs(Quantity id, double value) {
  const int decimals = quantity(id).decimals;
  return decimals == kExact ? value : roundedTo(value, decimals);
}

}  // namespace calc
