#pragma once
// The nozzle relations and the two nozzle calculations: flow from a dense water column
// (Qxh) and dense water column from a flow (H2o).

#include <optional>
#include <string>
#include <string_view>

#include "calc/calc_error.h"
#include "calc/calc_state.h"

namespace calc {

// φ = 0.25 / (d + (0.1·d)³), d in mm.
double nozzleCoefficient(double d);
// B = (μ · 0.003477 · d²)².
double nozzleFlowCoefficient(double mu, double d);
// α_f = 1.19 + 80 · (0.01·H_m)⁴, H_m in m.
double waterColumnCoefficient(double waterColumn);

// The largest whole water column (m) the nozzle can reach, i.e. with 1 − H·α_f·φ > 0;
// nothing when it is 2^53 m or more, where doubles no longer hold every whole metre.
std::optional<double> maxWaterColumn(double d);

// Residual H_q / (α_f(h) · (1 + φ · H_q)) − h of one whole-metre trial h, in single
// precision and rounded to 0.000001 m as the search keeps it.
float trialResidual(double nozzlePressure, double phi, double h);

// Hydrant flow q_xh (l/s), rounded to 0.01 l/s as the window shows it, for a water column
// S_k ≥ 0 (m) read from `waterColumnText` (which an error quotes). Writes
// dischargeCoefficient, phi, alphaF, flowCoefficient, nozzlePressure in that order; on
// failure the state may be partly written.
Result<double> Qxh(double waterColumn, std::string_view waterColumnText, float nozzleDiameter,
                   CalcState& state);

// Dense water column (whole m) for a flow (l/s), found by whole-metre trials from 4 m.
// Writes dischargeCoefficient, phi, flowCoefficient, nozzlePressure, residual and the α_f
// of the last trial. An error quotes `flowText` and `nozzleText`, the entries the numbers
// were read from, as typed; left empty, the numbers' own texts stand in.
Result<double> H2o(float flow, float nozzleDiameter, CalcState& state,
                   std::string_view flowText = {}, std::string_view nozzleText = {});

}  // namespace calc
