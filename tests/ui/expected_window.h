// The calculator window as the user must see it after loading, and what the complete example
// shows, written out once for both window tests: the Qt one and the driver of the Win32
// program. Positions stay written here in twips, not read from ui/form_layout, so that a change
// of the layout table shows as a failure. Plain C++ only: the Qt test and the mingw-built
// driver both include it.

#pragma once

#include <string_view>

namespace expected {

enum Kind { Frame, Label, Button, Combo, Edit, Option };

struct Control {
  std::string_view name;       // "Combo1(3)"
  std::string_view container;  // "Form1", "Frame1" or "Frame2"
  Kind kind;
  std::string_view text;         // its caption, or what a text or combo box holds after loading
  int left, top, width, height;  // twips inside the container, 15 to a pixel at 96 DPI
  bool visible;
  std::string_view list;  // a combo box's entries after loading, "|" between them
};

// clang-format off
inline constexpr Control kControls[] = {
  // name, container, kind, text, left, top, width, height, visible, list
  {"Frame1",     "Form1",  Frame,  "参数选择",                              240,  120,  5895, 1935, true,  ""},
  {"Frame2",     "Form1",  Frame,  "计算结果",                              240,  2160, 5895, 1815, true,  ""},
  {"Command1",   "Form1",  Button, "计 算",                                 4920, 4080, 1095, 495,  true,  ""},
  {"Label12",    "Form1",  Label,  "本工具取喷嘴流量系数1，栓口水压另加2m", 360,  4200, 4215, 375,  true,  ""},
  {"Label1(0)",  "Frame1", Label,  "水龙带长度：",                          600,  420,  1080, 180,  true,  ""},
  {"Combo1(0)",  "Frame1", Combo,  "20",                                    1680, 360,  975,  300,  true,  "20|25"},
  {"Label1(1)",  "Frame1", Label,  "水龙带材料：",                          600,  900,  1080, 180,  true,  ""},
  {"Combo1(1)",  "Frame1", Combo,  "麻质",                                  1680, 840,  975,  300,  true,  "麻质|衬胶"},
  {"Label1(2)",  "Frame1", Label,  "水龙带直径：:",                         600,  1380, 1170, 180,  true,  ""},
  {"Combo1(2)",  "Frame1", Combo,  "50",                                    1680, 1320, 975,  300,  true,  "50|65|80"},
  {"Label1(3)",  "Frame1", Label,  "水枪喷嘴口径(mm)：",                    3000, 360,  1620, 180,  true,  ""},
  {"Combo1(3)",  "Frame1", Combo,  "19",                                    4680, 360,  975,  300,  true,  "13|16|19"},
  {"Label9",     "Frame1", Label,  "充实水柱长度(m)：",                     3120, 870,  1575, 255,  true,  ""},
  {"Combo1(5)",  "Frame1", Combo,  "10",                                    4680, 840,  975,  300,  true,  "7|10|13"},
  {"Label11",    "Frame1", Label,  "最大保护宽度(m)",                       3120, 1320, 1455, 255,  true,  ""},
  {"Text9",      "Frame1", Edit,   "",                                      4680, 1200, 975,  390,  true,  ""},
  {"Label2(1)",  "Frame2", Label,  "消防栓口水压：",                        360,  600,  1260, 180,  true,  ""},
  {"Text1(1)",   "Frame2", Edit,   "",                                      1680, 480,  1095, 390,  true,  ""},
  {"Label2(2)",  "Frame2", Label,  "Tavrel出水量：",                        2880, 600,  1260, 180,  true,  ""},
  {"Text1(2)",   "Frame2", Edit,   "",                                      4200, 480,  1095, 390,  true,  ""},
  {"Label10(0)", "Frame2", Label,  "保护半径(m)",                           360,  1200, 1215, 255,  true,  ""},
  {"Text8(0)",   "Frame2", Edit,   "",                                      1680, 1080, 1095, 390,  true,  ""},
  {"Label10(1)", "Frame2", Label,  "Tavrel间距(m)",                         2880, 1200, 1215, 255,  true,  ""},
  {"Text8(1)",   "Frame2", Edit,   "",                                      4200, 1080, 1095, 390,  true,  ""},
  {"Option1(1)", "Frame1", Option, "已知充实水柱长度(m)",                   600,  2400, 2175, 255,  false, ""},
  {"Option1(0)", "Frame1", Option, "已知Tavrel出水量(l/s)",                 600,  2520, 2295, 255,  false, ""},
  {"Combo1(4)",  "Frame1", Combo,  "2.5",                                   2760, 2400, 975,  300,  false, "2.5|5|10"},
  {"Label2(0)",  "Frame1", Label,  "充实水柱长度：",                        720,  4080, 1260, 180,  false, ""},
  {"Text1(0)",   "Frame1", Edit,   "",                                      2040, 3960, 975,  390,  false, ""},
  {"Label7",     "Frame1", Label,  "Az",                                    120,  3600, 615,  375,  false, ""},
  {"Text2",      "Frame1", Edit,   "0.01501",                               480,  3600, 975,  375,  false, ""},
  {"Label3",     "Frame1", Label,  "af",                                    3480, 3120, 375,  375,  false, ""},
  {"Text3",      "Frame1", Edit,   "Text3",                                 3840, 3000, 975,  375,  false, ""},
  {"Label4",     "Frame1", Label,  "fai",                                   3480, 3480, 375,  255,  false, ""},
  {"Text4",      "Frame1", Edit,   "Text4",                                 3840, 3480, 975,  375,  false, ""},
  {"Label5",     "Frame1", Label,  "B",                                     3480, 3960, 255,  255,  false, ""},
  {"Text5",      "Frame1", Edit,   "Text5",                                 3840, 3960, 975,  375,  false, ""},
  {"Label6",     "Frame1", Label,  "Hq",                                    1440, 3480, 495,  255,  false, ""},
  {"Text6",      "Frame1", Edit,   "Text6",                                 2040, 3480, 975,  390,  false, ""},
  {"Label8",     "Frame1", Label,  "Hd",                                    5040, 4080, 255,  375,  false, ""},
  {"Text7",      "Frame1", Edit,   "Text7",                                 5400, 3960, 855,  375,  false, ""},
};
// clang-format on

inline constexpr std::string_view kTitle = "Tavrel小工具";
inline constexpr int kClientWidth = 6405, kClientHeight = 4755;  // twips

// The visible controls the Tab key visits, from the one focused first, Command1.
inline constexpr std::string_view kTabOrder[] = {"Command1",  "Text1(2)",  "Text1(1)",  "Combo1(0)",
                                                 "Combo1(1)", "Combo1(2)", "Combo1(3)", "Combo1(5)",
                                                 "Text9",     "Text8(0)",  "Text8(1)"};

// The complete example: the loaded entries, protection width 10, then 计 算.
inline constexpr std::string_view kExampleWidth = "10";
inline constexpr struct {
  std::string_view name, text;
} kExample[] = {{"Text1(1)", "21.96(mH2o)"}, {"Text1(2)", "4.62(l/s)"}, {"Text8(0)", "23.10"},
                {"Text8(1)", "20.82"},       {"Text1(0)", ""},          {"Text2", "0.01501"},
                {"Text3", "1.20"},           {"Text4", "0.0097"},       {"Text5", "1.576"},
                {"Text6", "13.55"},          {"Text7", "6.41"}};

// The radius shown, 23.10, as the width: wider than the radius in single precision.
inline constexpr std::string_view kWidthTooLarge = "Tavrel的保护宽度过大!";

}  // namespace expected
