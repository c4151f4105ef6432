#pragma once
// One calculation from the command line, and the design table: the entries go through
// calc::runCalculation exactly as the window's would, each with a fresh window state.

#include <string>
#include <vector>

#include "calc/hydraulics.h"
#include "cli/entries.h"

namespace cli {

struct Calculation {
  Entries entries;
  std::string hoseCoefficient;  // A_z as the hose table gives it; empty when the pair is unknown
  calc::RunOutputs outputs;     // outputs.error set alone when the run failed
};

// Caption and texts that name the hose pair in the error for a pair not in the hose table.
inline constexpr const char* kHosePairField = "水龙带材料/水龙带直径";

Calculation calculate(const Entries& entries);

// Every combination the window offers, in the order hose length × material × diameter ×
// nozzle × water column, each with the protection width `width` (may be empty).
std::vector<Entries> designTableEntries(const std::string& width);

}  // namespace cli
