#pragma once
// The calculation book's part of the system sheet: fire duration, pool, roof tank, stabilising
// pump, pump adapters and pump set, each step substituted with its clause and verdict, and the
// equipment list a designer copies onto the drawings.

#include <string>
#include <vector>

#include "calc/system.h"

namespace sheet {

// One line of the equipment list: what, its figures, how many.
struct EquipmentRow {
  std::string name;
  std::string figures;
  std::string count;
};

// The list for a calculated book; the pump's figures come from the book's pump set.
std::vector<EquipmentRow> bookEquipment(const calc::BookResult& book);

// The clauses the book rests on, for the sheet's 计算依据 (HTML); empty without a book.
std::string renderBookBasis(const calc::SystemResult& result);

// The section 消防水池、高位消防水箱与稳压设施 as HTML, numbered `number`; empty without a book.
std::string renderBookSection(const calc::SystemInputs& inputs, const calc::SystemResult& result,
                              int number);

}  // namespace sheet
