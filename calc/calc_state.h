#pragma once
// The window-level record of hydraulic quantities. The hydraulic operations write into
// it and the calculation run reads from it; a quantity the current calculation does not
// compute keeps the value of the last calculation that did.

#include <array>
#include <optional>
#include <string>

namespace calc {

// Slot 0: hose resistance coefficient A_z as text ("0.01501"); slot 1: hose material
// text; slot 2: hose diameter text.
using HoseSelection = std::array<std::string, 3>;

struct CalcState {
  float nozzleDiameter = 0;               // d_f, mm
  std::optional<double> phi;              // nozzle coefficient φ
  std::optional<double> alphaF;           // water-column coefficient α_f
  std::optional<double> nozzlePressure;   // H_q, m of water column
  float flow = 0;                         // q_xh, l/s
  float hoseLoss = 0;                     // h_d, m of water column, rounded to 0.01
  float residual = 0;                     // rounded residual of the last water-column trial, m
  std::optional<double> flowCoefficient;  // nozzle flow coefficient B
  float dischargeCoefficient = 0;         // μ, set to 1 by every nozzle calculation
  HoseSelection hoseSelection;

  bool operator==(const CalcState&) const = default;
};

}  // namespace calc
