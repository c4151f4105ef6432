#include "calc/entries.h"

#include <utility>

#include "calc/hose_table.h"
#include "calc/run_errors.h"

namespace calc {

namespace {

// "麻质/50、麻质/65、…": the pairs the hose table holds, for the unknown-pair message.
std::string knownHosePairs() {
  std::string list;
  for (const HoseRow& row : hoseTable()) {
    if (!list.empty()) list += "、";
    list.append(row.material).append("/").append(row.diameter);
  }
  return list;
}

}  // namespace

Calculation calculate(const Entries& entries) {
  Calculation result{.entries = entries};

  // The window's state as Form_Load leaves it, except that A_z starts unset: the window
  // falls back to an earlier selection for a pair it does not know, a single calculation
  // has none to fall back to.
  CalcState state;
  state.hoseSelection.material = entries.material;
  state.hoseSelection.diameter = entries.hoseDiameter;
  updateHoseResistance(state.hoseSelection);
  if (state.hoseSelection.coefficientText.empty()) {
    result.outputs.error = CalcError{kHosePairField, entries.material + "/" + entries.hoseDiameter,
                                     "水龙带阻力表中没有材料" + errors::quoted(entries.material) +
                                         "与直径" + errors::quoted(entries.hoseDiameter) +
                                         "的组合，现有：" + knownHosePairs() + "。"};
    return result;
  }
  result.hoseCoefficient = state.hoseSelection.coefficientText;
  result.hoseCoefficientValue = state.hoseSelection.coefficient;

  RunInputs inputs;
  inputs.givenFlowSelected = entries.flow.has_value();
  inputs.givenWaterColumnSelected = !entries.flow.has_value();
  inputs.hoseLengthText = entries.hoseLength;
  inputs.nozzleDiameterText = entries.nozzle;
  inputs.flowText = entries.flow.value_or("");
  inputs.waterColumnText = entries.waterColumn;
  inputs.protectionWidthText = entries.width;
  RunResult run = runWithValues(inputs, state);
  result.outputs = std::move(run.outputs);
  result.values = run.values;
  result.read = run.read;
  return result;
}

}  // namespace calc
