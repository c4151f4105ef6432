#pragma once
// The command line: which entries to calculate with, in which form to print, and the
// usage and help texts.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "calc/entries.h"
#include "cli/design.h"

namespace cli {

enum class Format { Text, Json, Csv };

using calc::Entries;

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
};

// What was wrong with the command line, as one Simplified Chinese line.
struct UsageError {
  std::string message;
};

// `args` are the arguments after the program name. An option's value is the next argument
// whatever it holds (so `--flow -1` and `--width ""` work) or the part after '=' in
// `--option=value`; a repeated option keeps its last value.
std::variant<Options, UsageError> parseOptions(std::span<const std::string> args);

// The value of the option at `args[i]`: the part after '=', or else the next argument
// (`i` then moves on to it); a usage error when there is none.
std::variant<std::string, UsageError> optionValue(std::span<const std::string> args,
                                                  std::size_t& i);

// The physical limits of the design settings given as numbers, so that a slip of the
// finger is caught before the check: an outlet pressure above 10 MPa, a minimum flow above
// 50 l/s or below 0.1 l/s. The reason names `name` (the option or the batch column) and
// quotes the text as typed; nothing when the value is within them or not a number at all
// (the setting's own reader says what it takes).
std::optional<std::string> pressureBeyondRange(std::string_view name, std::string_view text);
std::optional<std::string> minFlowBeyondRange(std::string_view name, std::string_view text);

std::string usageLine();
std::string helpText();

}  // namespace cli
