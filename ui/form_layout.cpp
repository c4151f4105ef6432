#include "ui/form_layout.h"

#include <algorithm>
#include <array>

namespace ui {
namespace {

using K = ControlKind;
constexpr int N = kNoIndex;

// clang-format off
constexpr std::array kControls = {
  //          name        index kind              container caption                 left  top   width height tab visible autoSize
  ControlDesc{"Frame1",   N, K::Frame,         "Form1",  "参数选择",              240,  120,  5895, 1935,  6, true,  false},
  ControlDesc{"Frame2",   N, K::Frame,         "Form1",  "计算结果",              240,  2160, 5895, 1815,  1, true,  false},
  ControlDesc{"Command1", N, K::CommandButton, "Form1",  "计 算",                 4920, 4080, 1095, 495,   0, true,  false},
  ControlDesc{"Label12",  N, K::Label,         "Form1",  kNoticeText,             360,  4200, 4215, 375,  40, true,  false},

  ControlDesc{"Label1",   0, K::Label,         "Frame1", "水龙带长度：",          600,  420,  1080, 180,  23, true,  true},
  ControlDesc{"Combo1",   0, K::ComboBox,      "Frame1", "",                      1680, 360,  975,  300,   7, true,  false},
  ControlDesc{"Label1",   1, K::Label,         "Frame1", "水龙带材料：",          600,  900,  1080, 180,  24, true,  true},
  ControlDesc{"Combo1",   1, K::ComboBox,      "Frame1", "",                      1680, 840,  975,  300,   8, true,  false},
  ControlDesc{"Label1",   2, K::Label,         "Frame1", "水龙带直径：:",         600,  1380, 1170, 180,  25, true,  true},
  ControlDesc{"Combo1",   2, K::ComboBox,      "Frame1", "",                      1680, 1320, 975,  300,   9, true,  false},
  ControlDesc{"Label1",   3, K::Label,         "Frame1", "水枪喷嘴口径(mm)：",    3000, 360,  1620, 180,  26, true,  true},
  ControlDesc{"Combo1",   3, K::ComboBox,      "Frame1", "",                      4680, 360,  975,  300,  10, true,  false},
  ControlDesc{"Label9",   N, K::Label,         "Frame1", "充实水柱长度(m)：",     3120, 870,  1575, 255,  22, true,  false},
  ControlDesc{"Combo1",   5, K::ComboBox,      "Frame1", "",                      4680, 840,  975,  300,  15, true,  false},
  ControlDesc{"Label11",  N, K::Label,         "Frame1", "最大保护宽度(m)",       3120, 1320, 1455, 255,  34, true,  false},
  ControlDesc{"Text9",    N, K::TextBox,       "Frame1", "",                      4680, 1200, 975,  390,  35, true,  false},

  ControlDesc{"Label2",   1, K::Label,         "Frame2", "消防栓口水压：",        360,  600,  1260, 180,   5, true,  true},
  ControlDesc{"Text1",    1, K::TextBox,       "Frame2", "",                      1680, 480,  1095, 390,   3, true,  false},
  ControlDesc{"Label2",   2, K::Label,         "Frame2", "Tavrel出水量：",        2880, 600,  1260, 180,   4, true,  true},
  ControlDesc{"Text1",    2, K::TextBox,       "Frame2", "",                      4200, 480,  1095, 390,   2, true,  false},
  ControlDesc{"Label10",  0, K::Label,         "Frame2", "保护半径(m)",           360,  1200, 1215, 255,  36, true,  false},
  ControlDesc{"Text8",    0, K::TextBox,       "Frame2", "",                      1680, 1080, 1095, 390,  37, true,  false},
  ControlDesc{"Label10",  1, K::Label,         "Frame2", "Tavrel间距(m)",         2880, 1200, 1215, 255,  38, true,  false},
  ControlDesc{"Text8",    1, K::TextBox,       "Frame2", "",                      4200, 1080, 1095, 390,  39, true,  false},

  // Hidden: they lie below Frame1's bottom edge and only carry values.
  ControlDesc{"Option1",  1, K::OptionButton,  "Frame1", "已知充实水柱长度(m)",   600,  2400, 2175, 255,  12, false, false},
  ControlDesc{"Option1",  0, K::OptionButton,  "Frame1", "已知Tavrel出水量(l/s)", 600,  2520, 2295, 255,  11, false, false},
  ControlDesc{"Combo1",   4, K::ComboBox,      "Frame1", "",                      2760, 2400, 975,  300,  14, false, false},
  ControlDesc{"Label2",   0, K::Label,         "Frame1", "充实水柱长度：",        720,  4080, 1260, 180,  27, false, true},
  ControlDesc{"Text1",    0, K::TextBox,       "Frame1", "",                      2040, 3960, 975,  390,  13, false, false},
  ControlDesc{"Label7",   N, K::Label,         "Frame1", "Az",                    120,  3600, 615,  375,  32, false, false},
  ControlDesc{"Text2",    N, K::TextBox,       "Frame1", "",                      480,  3600, 975,  375,  16, false, false},
  ControlDesc{"Label3",   N, K::Label,         "Frame1", "af",                    3480, 3120, 375,  375,  28, false, false},
  ControlDesc{"Text3",    N, K::TextBox,       "Frame1", "",                      3840, 3000, 975,  375,  17, false, false},
  ControlDesc{"Label4",   N, K::Label,         "Frame1", "fai",                   3480, 3480, 375,  255,  29, false, false},
  ControlDesc{"Text4",    N, K::TextBox,       "Frame1", "",                      3840, 3480, 975,  375,  18, false, false},
  ControlDesc{"Label5",   N, K::Label,         "Frame1", "B",                     3480, 3960, 255,  255,  30, false, false},
  ControlDesc{"Text5",    N, K::TextBox,       "Frame1", "",                      3840, 3960, 975,  375,  19, false, false},
  ControlDesc{"Label6",   N, K::Label,         "Frame1", "Hq",                    1440, 3480, 495,  255,  31, false, false},
  ControlDesc{"Text6",    N, K::TextBox,       "Frame1", "",                      2040, 3480, 975,  390,  20, false, false},
  ControlDesc{"Label8",   N, K::Label,         "Frame1", "Hd",                    5040, 4080, 255,  375,  33, false, false},
  ControlDesc{"Text7",    N, K::TextBox,       "Frame1", "",                      5400, 3960, 855,  375,  21, false, false},
};
// clang-format on

}  // namespace

std::span<const ControlDesc> form1Controls() { return kControls; }

std::optional<ControlDesc> findControl(std::string_view name, int index) {
  const auto it = std::find_if(kControls.begin(), kControls.end(), [&](const ControlDesc& c) {
    return c.name == name && c.index == index;
  });
  if (it == kControls.end()) return std::nullopt;
  return *it;
}

std::string qualifiedName(std::string_view name, int index) {
  std::string out(name);
  if (index != kNoIndex) {
    // Appended piece by piece: "(" + to_string(...) trips a false -Wrestrict in GCC 12.
    out += '(';
    out += std::to_string(index);
    out += ')';
  }
  return out;
}

std::string creationText(const ControlDesc& desc) {
  switch (desc.kind) {
    case ControlKind::TextBox:
      return std::string(desc.name);
    case ControlKind::ComboBox:
      return "Combo1";
    default:
      return std::string(desc.caption);
  }
}

}  // namespace ui
