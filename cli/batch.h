#pragma once
// Batch runs: one calculation and design check per row of a CSV file, for a whole building
// at once (for instance one row per floor with its available outlet pressure).

#include <span>
#include <string>
#include <string_view>

#include "cli/options.h"
#include "cli/output.h"

namespace cli {

struct BatchColumn {
  std::string_view key;      // English key in the header
  std::string_view caption;  // the window's caption for the same input
};

// The columns a batch file may have, in the order the help lists them.
std::span<const BatchColumn> batchColumns();

// Every row of `csv` with `options` as the defaults of missing columns and empty cells.
// Output: CSV with the design point and one verdict column per check, or with
// Format::Json one JSON object per line. A row that cannot be calculated gets its error
// and the status 1; the other rows are still calculated. A header that names an unknown
// or repeated column stops the run before any row (status 1, the reason on standard error).
Printed runBatch(std::string_view csv, const Options& options);

}  // namespace cli
