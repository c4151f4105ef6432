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
  // Beyond the standard's table (it stops at 168.3 mm): a common size (常用规格), DN200.
  bool commonSize = false;
};

// Where the table's numbers come from, for the sheet and the closing notes.
inline constexpr std::string_view kWeldedPipeSource =
    "GB/T 3091-2015《低压流体输送用焊接钢管》，外径减两倍普通壁厚；DN200 按常用规格 219.1×6.0";

// DN15 … DN200, ascending; DN200 is a common size, not the standard's.
std::span<const PipeRow> weldedSteelPipes();

// The row of a nominal size; nothing when the table has none.
std::optional<PipeRow> weldedSteelPipe(int dn);

}  // namespace calc
