#pragma once
// One calculation from the entries as texts, the way a user types them into the window,
// with a fresh window state. The command line, the batch runs and the calculation sheet
// all start here, so they give the same texts for the same entries.

#include <optional>
#include <string>

#include "calc/run.h"

namespace calc {

// The defaults are the window's initial entries. Every member has an initializer, so a
// designated initializer may name only the entries it sets.
struct Entries {
  std::string hoseLength = "20";      // m
  std::string material = "麻质";      // linen; "衬胶" is rubber-lined
  std::string hoseDiameter = "50";    // mm
  std::string nozzle = "19";          // nozzle orifice diameter, mm
  std::string waterColumn = "10";     // dense water column S_k, m
  std::optional<std::string> flow{};  // l/s; given: the flow-given mode runs
  std::string width{};                // maximum protection width, m; empty: none entered
};

struct Calculation {
  Entries entries;
  std::string hoseCoefficient{};  // A_z as the hose table gives it; empty when the pair is unknown
  double hoseCoefficientValue = 0;  // the same A_z as the table's number
  RunOutputs outputs{};             // outputs.error set alone when the run failed
  RunValues values{};               // the numbers behind the texts of outputs; unset on failure
  RunReadings read{};               // the entries as the run read them
};

// Caption that names the hose pair in the error for a pair not in the hose table.
inline constexpr const char* kHosePairField = "水龙带材料/水龙带直径";

Calculation calculate(const Entries& entries);

}  // namespace calc
