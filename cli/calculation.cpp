#include "cli/calculation.h"

namespace cli {

namespace {

// "麻质/50、麻质/65、…": the pairs the hose table holds, for the unknown-pair message.
std::string knownHosePairs() {
  std::string list;
  for (const calc::HoseRow& row : calc::hoseTable()) {
    if (!list.empty()) list += "、";
    list.append(row.material).append("/").append(row.diameter);
  }
  return list;
}

}  // namespace

Calculation calculate(const Entries& entries) {
  Calculation result{entries, {}, {}};

  // The window's state as Form_Load leaves it, except that slot 0 starts empty: the window
  // falls back to an earlier selection for a pair it does not know, a single command has
  // none to fall back to.
  calc::CalcState state;
  state.hoseSelection[1] = entries.material;
  state.hoseSelection[2] = entries.hoseDiameter;
  calc::updateHoseResistance(state.hoseSelection);
  if (state.hoseSelection[0].empty()) {
    result.outputs.error =
        calc::CalcError{kHosePairField, entries.material + "/" + entries.hoseDiameter,
                        "水龙带阻力表中没有材料“" + entries.material + "”与直径“" +
                            entries.hoseDiameter + "”的组合，现有：" + knownHosePairs() + "。"};
    return result;
  }
  result.hoseCoefficient = state.hoseSelection[0];

  calc::RunInputs inputs;
  inputs.givenFlowSelected = entries.flow.has_value();
  inputs.givenWaterColumnSelected = !entries.flow.has_value();
  inputs.hoseLengthText = entries.hoseLength;
  inputs.nozzleDiameterText = entries.nozzle;
  inputs.flowText = entries.flow.value_or("");
  inputs.waterColumnText = entries.waterColumn;
  inputs.protectionWidthText = entries.width;
  result.outputs = calc::runCalculation(inputs, state);
  return result;
}

std::vector<Entries> designTableEntries(const std::string& width) {
  static constexpr const char* kHoseLengths[] = {"20", "25"};
  static constexpr const char* kMaterials[] = {"麻质", "衬胶"};
  static constexpr const char* kDiameters[] = {"50", "65", "80"};
  static constexpr const char* kNozzles[] = {"13", "16", "19"};
  static constexpr const char* kWaterColumns[] = {"7", "10", "13"};

  std::vector<Entries> rows;
  for (const char* length : kHoseLengths) {
    for (const char* material : kMaterials) {
      for (const char* diameter : kDiameters) {
        for (const char* nozzle : kNozzles) {
          for (const char* waterColumn : kWaterColumns) {
            rows.push_back(Entries{length, material, diameter, nozzle, waterColumn, {}, width});
          }
        }
      }
    }
  }
  return rows;
}

}  // namespace cli
