#pragma once
// The window-level record of hydraulic quantities. The hydraulic operations write into
// it and the calculation run reads from it; a quantity the current calculation does not
// compute keeps the value of the last calculation that did.

#include <optional>
#include <string>

namespace calc {

// The hose the boxes name and the resistance A_z last found for it in the hose table: a
// pair the table does not hold keeps the previous A_z.
struct HoseSelection {
  double coefficient = 0;       // A_z
  std::string coefficientText;  // A_z as the window shows it ("0.01501"); empty: none found yet
  std::string material;         // the hose-material entry as typed
  std::string diameter;         // the hose-diameter entry as typed, mm

  bool operator==(const HoseSelection&) const = default;
};

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
