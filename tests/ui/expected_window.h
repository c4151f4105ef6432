// A few facts of the calculator window written out by hand for both window tests (the Qt one and
// the driver of the Win32 program), apart from ui/form_layout, so that a slip in the layout table
// or in the adapters' twips-to-pixels rule shows as a failure. Plain C++ only: the Qt test and
// the mingw-built driver both include it.

#pragma once

#include <string_view>

#include "tests/example_result.h"

namespace expected {

// Places in twips from the form's top left (15 to a pixel at 96 DPI): one control of the form
// and one inside each frame, so that a frame's offset counted twice or not at all shows.
struct Place {
  std::string_view name;
  int left, top, width, height;
};
inline constexpr Place kPlaces[] = {
    {"Frame1", 240, 120, 5895, 1935},
    {"Command1", 4920, 4080, 1095, 495},
    {"Combo1(3)", 240 + 4680, 120 + 360, 975, 300},
    {"Text8(1)", 240 + 4200, 2160 + 1080, 1095, 390},
};

inline constexpr std::string_view kTitle = "Tavrel小工具";
inline constexpr int kClientWidth = 6405, kClientHeight = 4755;  // twips

// The visible controls the Tab key visits, from the one focused first, Command1.
inline constexpr std::string_view kTabOrder[] = {"Command1",  "Text1(2)",  "Text1(1)",  "Combo1(0)",
                                                 "Combo1(1)", "Combo1(2)", "Combo1(3)", "Combo1(5)",
                                                 "Text9",     "Text8(0)",  "Text8(1)"};

// The complete example: the loaded entries, protection width 10, then 计 算.
inline constexpr std::string_view kExampleWidth = example::kWidth;
inline constexpr struct {
  std::string_view name, text;
} kExample[] = {{"Text1(1)", example::kOutletPressure},
                {"Text1(2)", example::kFlow},
                {"Text8(0)", example::kRadius},
                {"Text8(1)", example::kSpacing}};

}  // namespace expected
