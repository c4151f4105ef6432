#pragma once
// The entries of one calculation, as texts the way a user types them into the window.
// The defaults are the window's initial entries.

#include <optional>
#include <string>

namespace cli {

struct Entries {
  std::string hoseLength = "20";    // m
  std::string material = "麻质";    // linen; "衬胶" is rubber-lined
  std::string hoseDiameter = "50";  // mm
  std::string nozzle = "19";        // nozzle orifice diameter, mm
  std::string waterColumn = "10";   // dense water column S_k, m
  std::optional<std::string> flow;  // l/s; given: the flow-given mode runs
  std::string width;                // maximum protection width, m; empty: none entered
};

}  // namespace cli
