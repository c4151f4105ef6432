#pragma once
// The calculation sheet from the command line: --report FILE.html (or - for standard
// output) with --project, --designer and --date for its first section.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/options.h"
#include "cli/output.h"
#include "cli/write_output.h"
#include "sheet/calc_sheet.h"

namespace cli {

struct ReportOptions {
  std::optional<std::string> path;  // "-": standard output
  std::string project;
  std::string designer;
  std::optional<std::string> date;  // default: today in local time
};

// Takes the sheet's options, with their values, out of `args` and leaves the rest for
// parseOptions. A value is the next argument or the part after '=', as for every option.
std::variant<ReportOptions, UsageError> takeReportOptions(std::vector<std::string>& args);

// Makes the sheet for `request` (section 1 from `report`) and writes it where `report` says:
// the sheet on standard output, or an empty output and the file written whole; on failure
// one line on standard error and a non-zero status, and no file.
Printed writeReport(const ReportOptions& report, sheet::SheetRequest request);

// The help text's lines for these options.
std::string reportHelp();

}  // namespace cli
