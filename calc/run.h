#pragma once
// One press of the calculate button: input texts in, result texts out.

#include <optional>
#include <string>

#include "calc/calc_error.h"
#include "calc/calc_state.h"

namespace calc {

struct RunInputs {
  bool givenFlowSelected = false;         // flow-given mode
  bool givenWaterColumnSelected = false;  // water-column-given mode
  std::string hoseLengthText;             // L_d, m
  std::string nozzleDiameterText;         // d_f, mm
  std::string flowText;                   // q_xh, l/s (flow-given mode)
  std::string waterColumnText;            // S_k, m
  std::string protectionWidthText;        // b, m; may be empty
};

// One text per result field; a field left unset is not touched by the caller. Every member
// has an initializer, so a designated initializer may name only the fields it sets.
struct RunOutputs {
  std::optional<std::string> waterColumnOut{};
  std::optional<std::string> outletPressureOut{};
  std::optional<std::string> flowOut{};
  std::optional<std::string> phiOut{};
  std::optional<std::string> alphaOut{};
  std::optional<std::string> flowCoefficientOut{};
  std::optional<std::string> nozzlePressureOut{};
  std::optional<std::string> hoseLossOut{};
  std::optional<std::string> radiusOut{};
  std::optional<std::string> spacingOut{};
  std::optional<std::string> message{};  // the protection-width warning
  std::optional<CalcError> error{};      // set alone: a failed run produces nothing else

  bool operator==(const RunOutputs&) const = default;
};

// The numbers of one run, before they are shown: each set where the run forms it. Flow and
// hose loss are the single-precision values the run carries on with (in the water-column
// mode both already rounded to 0.01, as shown); the others are unrounded.
struct RunValues {
  std::optional<double> waterColumn{};      // S_k reached at the given flow, whole m
  std::optional<double> outletPressure{};   // H_xh, m of water column
  std::optional<double> flow{};             // q_xh, l/s
  std::optional<double> phi{};              // nozzle coefficient φ
  std::optional<double> alphaF{};           // water-column coefficient α_f
  std::optional<double> flowCoefficient{};  // nozzle flow coefficient B
  std::optional<double> nozzlePressure{};   // H_q, m of water column
  std::optional<double> hoseLoss{};         // h_d, m of water column
  std::optional<double> radius{};           // R = 0.8·L_d + 0.71·S_k, m
  std::optional<double> spacing{};          // √(R² − b²), m, for an entered width b ≤ R
  bool widthTooLarge = false;               // an entered width b > R

  bool operator==(const RunValues&) const = default;
};

// How each result is shown, written once: the texts of RunOutputs (without their units),
// the sheet and the command line's numbers all go through these. Flow and hose loss show as
// the single-precision numbers they are, the water column as the whole metres it is.
namespace shown {
std::string waterColumn(double metres);
std::string outletPressure(double metres);
std::string outletPressureMPa(double metres);  // 1 m = 0.01 MPa, to four decimals
std::string flow(double litresPerSecond);
std::string phi(double value);
std::string alphaF(double value);
std::string flowCoefficient(double value);
std::string nozzlePressure(double metres);
std::string hoseLoss(double metres);
std::string radius(double metres);
std::string spacing(double metres);
}  // namespace shown

// The run's texts from its numbers, exactly as the window shows them.
RunOutputs runOutputs(const RunValues& values);
// The numbers as the texts show them: each rounded as shown, so that the shortest text of a
// shown number is the digits of its result text without trailing zeros.
RunValues shownValues(const RunValues& values);
// The outlet pressure in MPa as shown::outletPressureMPa shows it, as a number.
double shownOutletPressureMPa(double metres);

// R = 0.8·L_d + 0.71·S_k (k₃ = 0.8, the water column's horizontal reach at 45°), m.
double protectionRadius(double hoseLength, double waterColumn);
// The spacing of a single row that covers a width b with radius R: √(R² − b²), m.
double hydrantSpacing(double radius, double width);

// The entries a successful run read as numbers, each read once.
struct RunReadings {
  double hoseLength = 0;   // L_d, m; 0 when no mode block ran
  double waterColumn = 0;  // S_k as entered, m
  double width = 0;        // b by its leading number, m; 0 when empty
};

struct RunResult {
  RunValues values;
  RunOutputs outputs;  // runOutputs(values), or the error alone
  RunReadings read;    // unset (zero) on failure
};

inline constexpr const char* kWidthTooLargeMessage = "Tavrel的保护宽度过大!";

// Window captions (without the colon) that name an input in a CalcError.
inline constexpr const char* kHoseLengthField = "水龙带长度";
inline constexpr const char* kNozzleDiameterField = "水枪喷嘴口径(mm)";
inline constexpr const char* kWaterColumnField = "充实水柱长度(m)";
inline constexpr const char* kFlowField = "Tavrel出水量(l/s)";
inline constexpr const char* kHoseCoefficientField = "Az";
inline constexpr const char* kProtectionWidthField = "最大保护宽度(m)";

// Runs the selected mode blocks and the common block. On failure the state is left
// exactly as it was and only `error` is set.
RunOutputs runCalculation(const RunInputs& inputs, CalcState& state);
// The same run with its numbers; on failure the values are all unset.
RunResult runWithValues(const RunInputs& inputs, CalcState& state);

}  // namespace calc
