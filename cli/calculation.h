#pragma once
// The design table: every combination of entries the window offers.

#include <string>
#include <vector>

#include "calc/entries.h"

namespace cli {

using calc::calculate;
using calc::Calculation;
using calc::Entries;

// Every combination the window offers, in the order hose length × material × diameter ×
// nozzle × water column, each with the protection width `width` (may be empty).
std::vector<Entries> designTableEntries(const std::string& width);

}  // namespace cli
