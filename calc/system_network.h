#pragma once
// The hydrant system as a network and its four duties: the head each riser needs with the fire
// on its top floors (10.1.7), the design duty on the pump's curve, every floor's fire with the
// plates sized above it, and every floor's hydrant open alone on every riser.

#include <optional>

#include "calc/calc_error.h"
#include "calc/system.h"

namespace calc {

// Fills `r`'s streams, risers, hydrants, segments, pump (head, curve and design duty), design
// hydrants, target pressure and floors (D_i, reducing, plate, L_i), given `r.design` and the
// outlet resistance k (outlet pressure 2 + k·q², m and L/s). The standby static and zero-flow
// pressures are left to the caller. Error: a duty whose network does not balance.
std::optional<CalcError> solveSystemDuties(const SystemInputs& in, double resistance,
                                           SystemResult& r);

// The pump curve a − b·Q^c through (0, h₁), (q₂, h₂), (q₃, h₃).
struct CurveFit {
  double a = 0;
  double b = 0;
  double c = 1;
};
CurveFit fitPumpCurve(const PumpCurvePoint& p1, const PumpCurvePoint& p2, const PumpCurvePoint& p3);

}  // namespace calc
