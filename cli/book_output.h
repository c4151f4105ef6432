#pragma once
// The calculation book in the command line's three forms: text lines and the equipment list,
// a second CSV table after the floors, and the JSON object "book".

#include <string>

#include "calc/system.h"
#include "cli/output.h"

namespace cli {

// Empty when the system has no book.
std::string bookText(const calc::SystemResult& result);
// A blank line, then one "key,caption,value,unit" row per figure; empty without a book.
std::string bookCsv(const calc::SystemResult& result);
// The "book" object: numbers unrounded, a section that was not given left out.
Json bookJson(const calc::BookResult& book);

}  // namespace cli
