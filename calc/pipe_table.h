#pragma once
// Welded steel pipe for water (GB/T 3091-2015): the inner diameter a nominal size gives when
// the project file names only the DN. Inner diameter = nominal outside diameter − 2 × the
// standard (普通) wall thickness of that standard's dimension table.

#include <optional>
#include <span>
#include <string_view>

namespace calc {

struct PipeRow {
  int dn;                  // nominal size, DN
  double outsideDiameter;  // nominal outside diameter, mm
  double wall;             // standard wall thickness, mm
  double innerDiameter;    // outsideDiameter − 2 · wall, mm
};

// Where the table's numbers come from, for the sheet and the closing notes.
inline constexpr std::string_view kWeldedPipeSource =
    "GB/T 3091-2015《低压流体输送用焊接钢管》，外径减两倍普通壁厚";

// DN15 … DN200, ascending.
std::span<const PipeRow> weldedSteelPipes();

// The row of a nominal size; nothing when the table has none.
std::optional<PipeRow> weldedSteelPipe(int dn);

}  // namespace calc
