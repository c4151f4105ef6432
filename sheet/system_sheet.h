#pragma once
// The system's part of the calculation sheet: method and assumptions for 计算依据, a diagram of
// pool, pump, main, riser and hydrants, the segment table, the pump head of 10.1.7, the pressure of
// every floor with its reducing and orifice plate, the working pressure and the checks.

#include <string>

#include "calc/calc_error.h"
#include "calc/system.h"
#include "sheet/calc_sheet.h"

namespace sheet {

// How many sections renderSystemSections writes; one more when the system has a book.
inline constexpr int kSystemSectionCount = 6;

// The system's method and assumptions, for the sheet's 计算依据 (HTML).
std::string renderSystemBasis(const calc::SystemInputs& inputs, const calc::SystemResult& result);

// The sections as HTML, numbered from `firstNumber`.
std::string renderSystemSections(const calc::SystemInputs& inputs, const calc::SystemResult& result,
                                 int firstNumber);

// The diagram alone (inline SVG, no external resource).
std::string systemDiagram(const calc::SystemInputs& inputs, const calc::SystemResult& result);

// The whole sheet for a system: the most unfavourable hydrant's sheet (entries and check
// settings taken from inputs.hydrant; project, designer and date from `request`) with the
// system's sections before the conclusion. Fails as calculateSystem or makeSheet fails.
calc::Result<std::string> makeSystemSheet(const calc::SystemInputs& inputs, SheetRequest request);

}  // namespace sheet
