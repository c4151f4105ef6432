#pragma once
// The command line: which entries to calculate with, in which form to print, and the
// usage and help texts, all made from the table of inputs (cli/inputs.h).

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "calc/entries.h"
#include "calc/title_block.h"
#include "cli/design.h"

namespace cli {

enum class Format { Text, Json, Csv };

using calc::Entries;

// The calculation sheet: where it goes and its title block.
struct ReportOptions {
  std::optional<std::string> path;  // "-": standard output
  calc::TitleBlock title;
  std::optional<std::string> date;  // default: today in local time
};

struct Options {
  Entries entries;
  Format format = Format::Text;
  bool table = false;
  bool help = false;
  bool version = false;
  bool check = false;                 // the design check of GB 50974-2014 is added
  DesignSettings design;              // its settings
  std::optional<std::string> batch;   // a CSV file of entries, "-" for standard input
  std::optional<std::string> system;  // a project file (TOML) of a hydrant system, "-": stdin
  ReportOptions report;               // with a path: the calculation sheet is written
};

// What was wrong with the command line, as one Simplified Chinese line.
struct UsageError {
  std::string message;
};

// `args` are the arguments after the program name. An option's value is the next argument
// whatever it holds (so `--flow -1` and `--width ""` work) or the part after '=' in
// `--option=value`; a repeated option keeps its last value.
std::variant<Options, UsageError> parseOptions(std::span<const std::string> args);

std::string usageLine();
std::string helpText();

}  // namespace cli
