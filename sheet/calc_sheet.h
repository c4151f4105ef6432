#pragma once
// The calculation sheet (计算书): one self-contained HTML page for plan review that shows
// every formula, the numbers put into it and the result, the code checks of GB 50974-2014
// and the design point. Pure C++: the command line and both windows make it from the same
// entries with the same functions, so they give the same sheet.
//
// Numbers are the texts the calculation run gives where it gives one (the window's and the
// command line's results), and the design check's values rounded as the command line shows
// them otherwise. Everything the user typed is HTML-escaped.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calc_error.h"
#include "calc/design_check.h"
#include "calc/entries.h"

namespace sheet {

// The check's options and the sheet's title block.
struct SheetRequest {
  calc::Entries entries;
  calc::DesignSettings design;
  // The title block; each may be empty.
  std::string project;        // 工程名称
  std::string projectNumber;  // 工程编号
  std::string subproject;     // 子项
  std::string stage;          // 设计阶段
  std::string sheetNumber;    // 计算书编号
  std::string revision;       // 版次
  std::string designer;       // 设计
  std::string date;
  // More of section 2 (HTML, already escaped), after its own paragraphs.
  std::string extraBasis;
  // Further sections (HTML, already escaped), numbered from 7, placed before the conclusion,
  // which then takes the next number.
  std::string extraSections;
  int extraSectionCount = 0;
  // More checks the conclusion counts and lists (the system's), and a paragraph of results
  // (HTML, already escaped) that opens it.
  std::vector<calc::DesignCheck> extraChecks;
  std::string extraConclusion;
};

// The sheet of a successful calculation and its design check.
std::string renderSheet(const calc::Calculation& calculation, const calc::DesignInputs& inputs,
                        const calc::DesignResult& design, const SheetRequest& request);

// Calculation, design check and sheet; the error of the calculation or of the check when
// either fails (the same message the window's calculate button shows).
calc::Result<std::string> makeSheet(const SheetRequest& request);

// Text with &, <, >, " and ' replaced by entities and ill-formed UTF-8 by U+FFFD.
std::string escapeHtml(std::string_view text);

}  // namespace sheet
