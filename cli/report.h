#pragma once
// The calculation sheet from the command line: --report FILE.html (or - for standard
// output) with the title block's options (cli/inputs.h).

#include <optional>
#include <string>

#include "cli/options.h"
#include "cli/output.h"
#include "cli/write_output.h"
#include "sheet/calc_sheet.h"

namespace cli {

// Makes the sheet for `request` (the title block from `report`) and writes it where `report` says:
// the sheet on standard output, or an empty output and the file written whole; on failure
// one line on standard error and a non-zero status, and no file.
Printed writeReport(const ReportOptions& report, sheet::SheetRequest request);

// A made sheet written where `path` says ("-": standard output); a sheet that could not be
// made or written is one line on standard error and a non-zero status, and no file.
Printed deliverSheet(const std::string& path, const calc::Result<std::string>& html);

}  // namespace cli
