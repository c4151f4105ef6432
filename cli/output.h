#pragma once
// What a calculation or the design table prints, in the three formats. Rendering is kept
// apart from writing so that main only passes the texts on and returns the status.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "calc/design_check.h"
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

// Every JSON the program writes is built as this, its members in the order added.
using Json = nlohmann::ordered_json;

// The value on one line. Ill-formed UTF-8 in a text becomes the escape \ufffd; besides
// quote, backslash and the C0 controls, DEL, the C1 controls and U+2028/U+2029 are
// escaped too, so that no text can steer a terminal and the line is also valid JavaScript;
// so are the bidirectional controls (calc/utf8.h), which would reorder what a terminal shows.
std::string jsonText(const Json& value);
// The same with a line end.
std::string jsonLine(const Json& value);

// JSON written straight into a string, exactly as jsonText writes the same value (escapes,
// numbers, member order as written), without building a document first: a batch writes a
// million rows this way. Commas come by themselves; member(k, v) is key(k) then value(v).
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}
  JsonWriter& open();  // an object, as a value
  JsonWriter& close();
  JsonWriter& openArray();
  JsonWriter& closeArray();
  // The next value is this member's; `name` is plain ASCII that needs no escape.
  JsonWriter& key(std::string_view name);
  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(double number);  // not finite: null
  template <class T>
  JsonWriter& member(std::string_view name, const T& v) {
    key(name);
    return value(v);
  }

 private:
  void separate();
  std::string& out_;
  bool first_ = true;      // nothing written yet in the open object or array
  bool afterKey_ = false;  // a key waits for its value
};

// A design check and the settings it ran with.
struct Checked {
  DesignSettings settings;
  calc::Result<calc::DesignResult> result;
};

// Text: one "caption value" line per produced result, visible results first, the
// captions aligned; the warning on standard error. JSON: one object on one line. CSV: one
// "caption,value" row per line of the text form. With `checked`, a block of the design
// point and one line per check follows (JSON: the member "design"); a failed check fails
// like a failed run.
Printed printCalculation(const Calculation& calculation, Format format,
                         const Checked* checked = nullptr);

// The members of a calculation's JSON object ("inputs", "outputs", "values", "design" when
// `design` is set, "message"), written into the open object; for the batch's JSON lines. The
// design table leaves the width out of "inputs": it stands once beside the rows.
void writeCalculationJson(JsonWriter& json, const Calculation& calculation,
                          const calc::DesignResult* design, bool echoWidth = true);
// {"field":…,"text":…,"message":…}
Json errorObjectJson(const calc::CalcError& error);

// The design table; the spacing column (spacing or warning) appears when `withWidth`.
// JSON: {"width":…,"rows":[…]}, the width the rows share once, then one row per line, each
// the object a single run prints, without the width. A failed row fails the whole table
// with that row's error.
Printed printTable(const std::vector<Calculation>& rows, bool withWidth, Format format);

// Rows of cells, each column padded to its widest cell (Chinese characters count two).
std::string alignedRows(const std::vector<std::vector<std::string>>& rows);
// The "design" object of --check's JSON, as a value.
void writeDesignJson(JsonWriter& json, const calc::DesignResult& design);
// Caption and value of each line of the design block, before the checks.
std::vector<std::vector<std::string>> designLines(const calc::DesignResult& design,
                                                  const DesignSettings& settings);

}  // namespace cli
