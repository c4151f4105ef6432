#pragma once
// Batch runs: one calculation and design check per row of a CSV file, for a whole building
// at once (for instance one row per floor with its available outlet pressure).

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/csv.h"
#include "cli/options.h"
#include "cli/output.h"

namespace cli {

// Every record `reader` gives, with `options` as the defaults of missing columns and empty
// cells. Output: CSV with the design point and one verdict column per check, or with
// Format::Json one JSON object per line; each row goes to `write` as soon as it is
// calculated (false from `write` stops the run with kExitWriteFailed). A row that cannot be
// read or calculated gets its error and the status 1; the other rows are still calculated.
// A header that cannot be read or names an unknown or repeated column stops the run before
// any row. Returns the exit status; `err` gets the reason when the header or the reading
// failed.
int runBatch(CsvReader& reader, const Options& options,
             const std::function<bool(std::string_view)>& write, std::string& err);

// The same for a whole text in memory, the rows collected in `out`.
Printed runBatch(std::string_view csv, const Options& options);

}  // namespace cli
