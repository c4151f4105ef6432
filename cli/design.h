#pragma once
// The design check on the command line: its four settings, read from option values or batch
// cells, and the check of one calculation's entries.

#include <optional>
#include <string>
#include <string_view>

#include "calc/design_check.h"
#include "calc/entries.h"

namespace cli {

using calc::DesignSettings;

// Each reads one setting from its text ("high", "2", "5", "0.35"); on a value the setting
// does not take it returns the Simplified Chinese reason instead.
struct SettingError {
  std::string message;
};
std::optional<SettingError> readOccupancy(std::string_view text, DesignSettings& settings);
std::optional<SettingError> readStreams(std::string_view text, DesignSettings& settings);
std::optional<SettingError> readMinFlow(std::string_view text, DesignSettings& settings);
std::optional<SettingError> readPressure(std::string_view text, DesignSettings& settings);

// The check for entries whose run succeeded, with the coefficient the hose table gave;
// without texts the checks carry their verdicts only.
calc::Result<calc::DesignResult> checkCalculation(const calc::Calculation& calculation,
                                                  const DesignSettings& settings,
                                                  bool withTexts = true);

}  // namespace cli
