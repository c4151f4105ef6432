#pragma once
// The calculation sheet's dialogs on Win32: the options dialog and the save dialog. Used by
// the Win32 adapter for Window::askSheetOptions and Window::askSavePath.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "ui/window.h"

namespace ui::win32 {

// Control IDs of the options dialog (caption "生成计算书"), stable so that tests and
// accessibility tools can name the controls. IDOK (1) is 确定, the default button, and
// IDCANCEL (2) is 取消; Esc cancels.
enum SheetDialogId : int {
  kSheetHigh = 2101,          // radio: calc::Occupancy::High, named in full
  kSheetOther = 2102,         // radio: calc::Occupancy::Other, 其他场所
  kSheetTwoStreams = 2103,    // radio 两股水柱同时到达
  kSheetOneStream = 2104,     // radio 一股水柱到达
  kSheetFlow = 2105,          // drop-down list "5 L/s", "2.5 L/s"
  kSheetProject = 2106,       // edit 工程名称
  kSheetDesigner = 2107,      // edit 设计人
  kSheetOccupancyBox = 2111,  // group box 场所类别
  kSheetStreamsBox = 2112,    // group box 布置方式
  kSheetFlowLabel = 2113,
  kSheetProjectLabel = 2114,
  kSheetDesignerLabel = 2115,
  // The rest of the title block: edit, then its label (edit id + 10).
  kSheetProjectNumber = 2116,  // edit 工程编号
  kSheetSubproject = 2117,     // edit 子项
  kSheetStage = 2118,          // edit 设计阶段
  kSheetSheetNumber = 2119,    // edit 计算书编号
  kSheetRevision = 2120,       // edit 版次
};

// Modal dialog owned by `owner`, in Simplified Chinese, with 场所类别, 布置方式,
// 每支水枪最小流量 and the title block (工程名称 … 版次, 设计人), showing `options`. True and the
// chosen values when the user confirms; false and `options` untouched when cancelled.
bool askSheetOptions(HWND owner, SheetOptions& options);

// The common save dialog proposing `fileName` in the user's documents folder; the chosen
// path as UTF-8, or nothing when cancelled.
std::optional<std::string> askSavePath(HWND owner, std::string_view fileName);

}  // namespace ui::win32
