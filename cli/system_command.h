#pragma once
// --system FILE: the whole hydrant system of a project file (TOML), printed as text, CSV (one
// row per floor) or JSON, or written into the calculation sheet with --report.

#include <string>

#include "cli/options.h"
#include "cli/output.h"
#include "cli/report.h"

namespace cli {

// The project file at `path` ("-": standard input). A bad file or a failed calculation: one
// line on standard error (JSON: {"error":…} on standard output) and status 1, nothing written.
Printed runSystem(const std::string& path, Format format, const ReportOptions& report);

// What runSystem prints for a project text already read; `fileName` names it in errors.
Printed printSystem(const std::string& text, const std::string& fileName, Format format);

}  // namespace cli
