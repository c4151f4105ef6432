#pragma once
// The calculation sheet from the command line: --report FILE.html (or - for standard
// output) with --project, --project-number, --subproject, --stage, --sheet-number, --revision,
// --designer and --date for its title block.

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
  // The title block: 工程名称, 工程编号, 子项, 设计阶段, 计算书编号, 版次, 设计.
  std::string project;
  std::string projectNumber;
  std::string subproject;
  std::string stage;
  std::string sheetNumber;
  std::string revision;
  std::string designer;
  std::optional<std::string> date;  // default: today in local time
};

// Takes the sheet's options, with their values, out of `args` and leaves the rest for
// parseOptions. A value is the next argument or the part after '=', as for every option.
std::variant<ReportOptions, UsageError> takeReportOptions(std::vector<std::string>& args);

// Makes the sheet for `request` (the title block from `report`) and writes it where `report` says:
// the sheet on standard output, or an empty output and the file written whole; on failure
// one line on standard error and a non-zero status, and no file.
Printed writeReport(const ReportOptions& report, sheet::SheetRequest request);

// The help text's lines for these options.
std::string reportHelp();

}  // namespace cli
