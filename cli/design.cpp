#include "cli/design.h"

#include "calc/number_text.h"

namespace cli {

std::optional<SettingError> readOccupancy(std::string_view text, DesignSettings& settings) {
  if (text == "high") {
    settings.occupancy = calc::Occupancy::High;
  } else if (text == "other") {
    settings.occupancy = calc::Occupancy::Other;
  } else {
    return SettingError{
        "未知的场所类别：" + std::string(text) +
        "（可用 high：高层建筑、厂房、库房和净空高度超过8m的民用建筑等；other：其他场所）"};
  }
  return std::nullopt;
}

std::optional<SettingError> readStreams(std::string_view text, DesignSettings& settings) {
  const auto value = calc::parseNumber(text);
  if (!value || (*value != 1 && *value != 2)) {
    return SettingError{"水枪充实水柱股数只能为 2 或 1：" + std::string(text)};
  }
  settings.streams = static_cast<int>(*value);
  return std::nullopt;
}

std::optional<SettingError> readMinFlow(std::string_view text, DesignSettings& settings) {
  const auto value = calc::parseNumber(text);
  if (!value || !(*value > 0)) {
    return SettingError{"每支水枪最小流量应为大于 0 的流量（l/s，如 5 或 2.5）：" +
                        std::string(text)};
  }
  settings.minFlow = *value;
  return std::nullopt;
}

std::optional<SettingError> readPressure(std::string_view text, DesignSettings& settings) {
  const auto value = calc::parseNumber(text);
  // Below 0.02 MPa the hydrant's own loss takes it all and nothing flows.
  if (!value || !(*value * 100 > 2)) {
    return SettingError{"栓口动压应为大于 0.02 的压力（MPa，如 0.35）：" + std::string(text)};
  }
  settings.pressureMPa = *value;
  return std::nullopt;
}

calc::Result<calc::DesignResult> checkCalculation(const calc::Calculation& calculation,
                                                  const DesignSettings& settings, bool withTexts) {
  const calc::Entries& e = calculation.entries;
  calc::DesignInputs in;
  // The run has already accepted these texts as numbers.
  in.hoseLength = calc::parseNumber(e.hoseLength).value_or(0);
  in.hoseCoefficient = calc::parseNumber(calculation.hoseCoefficient).value_or(0);
  in.material = e.material;
  in.hoseDiameter = e.hoseDiameter;
  in.nozzle = calc::parseNumber(e.nozzle).value_or(0);
  in.waterColumn = calc::parseNumber(e.waterColumn).value_or(0);
  // The width as the window reads it: its leading number, empty for none.
  if (!e.width.empty()) in.width = calc::leadingNumber(e.width);
  in.occupancy = settings.occupancy;
  in.streams = settings.streams;
  in.minFlow = settings.minFlow;
  in.pressureMPa = settings.pressureMPa;
  in.withTexts = withTexts;
  return calc::checkDesign(in);
}

}  // namespace cli
