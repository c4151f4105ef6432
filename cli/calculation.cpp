#include "cli/calculation.h"

namespace cli {

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
            rows.push_back({.hoseLength = length,
                            .material = material,
                            .hoseDiameter = diameter,
                            .nozzle = nozzle,
                            .waterColumn = waterColumn,
                            .width = width});
          }
        }
      }
    }
  }
  return rows;
}

}  // namespace cli
