#pragma once
// What a calculation or the design table prints, in the three formats. Rendering is kept
// apart from writing so that main only passes the texts on and returns the status.

#include <string>
#include <vector>

#include "cli/calculation.h"
#include "cli/options.h"

namespace cli {

inline constexpr int kExitOk = 0;          // calculated, the width warning included
inline constexpr int kExitCalcFailed = 1;  // an entry could not be used
inline constexpr int kExitUsageError = 2;  // the command line was wrong

struct Printed {
  std::string out;  // standard output
  std::string err;  // standard error
  int status = kExitOk;
};

// Text: one "caption value" line per produced result, visible results first, the
// captions aligned; the warning on standard error. JSON: one object on one line. CSV: one
// "caption,value" row per line of the text form.
Printed printCalculation(const Calculation& calculation, Format format);

// The design table; the spacing column (spacing or warning) appears when `withWidth`.
// JSON: {"width":…,"rows":[…]}, the width the rows share once, then one row per line, each
// the object a single run prints, without the width. A failed row fails the whole table
// with that row's error.
Printed printTable(const std::vector<Calculation>& rows, bool withWidth, Format format);

}  // namespace cli
