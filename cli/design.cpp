#include "cli/design.h"

#include "calc/number_text.h"
#include "calc/run_errors.h"

namespace cli {

std::optional<SettingError> readOccupancy(std::string_view text, DesignSettings& settings) {
  if (text == "high") {
    settings.occupancy = calc::Occupancy::High;
  } else if (text == "other") {
    settings.occupancy = calc::Occupancy::Other;
  } else {
    return SettingError{
        "未知的场所类别：" + calc::errors::quoted(text) +
        "（可用 high：高层建筑、厂房、库房和净空高度超过8m的民用建筑等；other：其他场所）"};
  }
  return std::nullopt;
}

std::optional<SettingError> readStreams(std::string_view text, DesignSettings& settings) {
  const auto value = calc::parseNumber(text);
  if (!value || (*value != 1 && *value != 2)) {
    return SettingError{"水枪充实水柱股数只能为 2 或 1：" + calc::errors::quoted(text)};
  }
  settings.streams = static_cast<int>(*value);
  return std::nullopt;
}

std::optional<SettingError> readMinFlow(std::string_view text, DesignSettings& settings) {
  const auto value = calc::parseNumber(text);
  if (!value || !(*value > 0)) {
    return SettingError{"每支水枪最小流量应为大于 0 的流量（l/s，如 5 或 2.5）：" +
                        calc::errors::quoted(text)};
  }
  settings.minFlow = *value;
  return std::nullopt;
}

std::optional<SettingError> readPressure(std::string_view text, DesignSettings& settings) {
  const auto value = calc::parseNumber(text);
  // Below 0.02 MPa the hydrant's own loss takes it all and nothing flows.
  if (!value || !(*value * 100 > 2)) {
    return SettingError{"栓口动压应为大于 0.02 的压力（MPa，如 0.35）：" +
                        calc::errors::quoted(text)};
  }
  settings.pressureMPa = *value;
  return std::nullopt;
}

calc::Result<calc::DesignResult> checkCalculation(const calc::Calculation& calculation,
                                                  const DesignSettings& settings, bool withTexts) {
  calc::DesignInputs in = calc::designInputs(calculation, settings);
  in.withTexts = withTexts;
  return calc::checkDesign(in);
}

}  // namespace cli
