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

}  // namespace calc
