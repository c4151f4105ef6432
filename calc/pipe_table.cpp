#include "calc/pipe_table.h"

#include <array>

namespace calc {
namespace {

constexpr PipeRow row(int dn, double outside, double wall, bool commonSize = false) {
  return {dn, outside, wall, outside - 2 * wall, commonSize};
}

// Nominal outside diameter and standard wall, mm.
constexpr std::array kPipes{
    row(15, 21.3, 2.8),   row(20, 26.9, 2.8),   row(25, 33.7, 3.2),   row(32, 42.4, 3.5),
    row(40, 48.3, 3.5),   row(50, 60.3, 3.8),   row(65, 76.1, 4.0),   row(80, 88.9, 4.0),
    row(100, 114.3, 4.0), row(125, 139.7, 4.0), row(150, 168.3, 4.5), row(200, 219.1, 6.0, true),
};

}  // namespace

std::span<const PipeRow> weldedSteelPipes() { return kPipes; }

std::optional<PipeRow> weldedSteelPipe(int dn) {
  for (const PipeRow& r : kPipes) {
    if (r.dn == dn) return r;
  }
  return std::nullopt;
}

}  // namespace calc
