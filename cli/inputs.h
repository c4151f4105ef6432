#pragma once
// Every entry and setting of hydrant-calc-cli, one row each: its option, its batch column,
// its JSON name, its help and how its value is read. The option parser, the usage and help
// texts, the batch header and the JSON "inputs" echo are all made from this table, so a new
// input is one row here plus its use.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "calc/design_check.h"
#include "calc/entries.h"

namespace cli {

struct Options;  // cli/options.h

// What an input is, which decides where it may be used.
enum class InputKind {
  Id,      // the batch's row name: a column, no option
  Entry,   // an entry of the window; refused with --table, which runs over them all
  Free,    // taken with anything, --table included (the width, the output form)
  Design,  // the design check and what feeds it; refused with --table
  Report,  // the calculation sheet's file
  Title,   // the sheet's title block; only with --report
  Info,    // --help, --version
};

// Where a value goes while it is read: the entries and check settings of one calculation
// and, on the command line, the other options.
struct Reading {
  calc::Entries& entries;
  calc::DesignSettings& design;
  Options* options;       // null for a batch cell
  std::string_view name;  // the option or the batch column, as messages name it
  bool file = false;      // a batch cell: data, not a typed entry
};

struct InputRow {
  std::string_view option;   // "--hose-length"; empty: a batch column only
  std::string_view value;    // what the help calls the value ("长度"); empty: a flag
  std::string_view key;      // batch column key and JSON name; empty: command line only
  std::string_view caption;  // the window's caption, also taken in a batch header
  InputKind kind;
  std::string_view help;  // the help's lines for it, '\n' between
  // Reads the text into `reading`; the Simplified Chinese reason when it is not taken.
  std::optional<std::string> (*apply)(Reading& reading, const std::string& text) = nullptr;
  // The entry as given, for the JSON "inputs"; null when not given. Null: not echoed.
  const std::string* (*echo)(const calc::Entries& entries) = nullptr;
  std::string_view shortOption = {};  // "-h"
};

// In the order the help, the batch columns and the JSON echo list them.
std::span<const InputRow> inputRows();

}  // namespace cli
