#pragma once
// The worked example's four results, as the window shows them: the window's initial entries
// (20 m of 50 mm linen hose, 19 mm nozzle, S_k = 10 m) with a protection width of 10 m, by
// hand: q = √(1.576 × 13.55) = 4.62 l/s, H_xh = 13.55 + 6.41 + 2 = 21.96 m,
// R = 0.8 × 20 + 0.71 × 10 = 23.10 m, S = √(23.10² − 10²) = 20.82 m. Every suite that pins
// the example takes them from here; tests/cli/expected/example.txt is the end-to-end copy.

#include <string_view>

namespace example {

inline constexpr std::string_view kWidth = "10";
inline constexpr std::string_view kOutletPressure = "21.96(mH2o)";
inline constexpr std::string_view kFlow = "4.62(l/s)";
inline constexpr std::string_view kRadius = "23.10";
inline constexpr std::string_view kSpacing = "20.82";

}  // namespace example
