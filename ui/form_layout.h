#pragma once
// The calculator window described as data: every control of Form1 with its name, array
// index, kind, container, caption, position and size in twips, tab position and whether
// the user sees it. The Qt adapter builds the widgets from this table and the tests check
// the widgets against it, so the layout lives in exactly one place.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ui {

// Index of a control that is not a member of a control array.
inline constexpr int kNoIndex = -1;

enum class ControlKind { Frame, Label, TextBox, ComboBox, OptionButton, CommandButton };

struct ControlDesc {
  std::string_view name;  // "Combo1"
  int index;              // array index, or kNoIndex
  ControlKind kind;
  std::string_view container;    // "Form1", "Frame1" or "Frame2"
  std::string_view caption;      // frames, labels, option buttons and the command button
  int left, top, width, height;  // twips, relative to the container
  int tab;                       // tab position, 0..40, each used once
  bool visible;                  // false: created hidden, only carries a text or a selection
  bool autoSize;                 // label sized to its caption in the 9-point default font
};

inline constexpr std::string_view kFormName = "Form1";
inline constexpr std::string_view kAppTitle = "Tavrel小工具";
inline constexpr int kClientWidthTwips = 6405;
inline constexpr int kClientHeightTwips = 4755;

// The one-line notice at the bottom left of the window.
inline constexpr std::string_view kNoticeText = "本工具取喷嘴流量系数1，栓口水压另加2m";

// The command button's own font; every other control keeps the window's default font.
inline constexpr std::string_view kButtonFontFamily = "宋体";
inline constexpr int kButtonFontPointSize = 12;

// 15 twips are one pixel at 96 DPI; every size in the table is a multiple of 15.
constexpr int twipsToPixels(int twips) { return (twips + 7) / 15; }

std::span<const ControlDesc> form1Controls();

// The control of that name and index, if the window has one.
std::optional<ControlDesc> findControl(std::string_view name, int index = kNoIndex);

// "Combo1(3)" for an array member, "Text2" for a single control.
std::string qualifiedName(std::string_view name, int index);

// What a control holds when it is created, before Form_Load: a text box its own
// (array) name, a combo box "Combo1".
std::string creationText(const ControlDesc& desc);

}  // namespace ui
