#pragma once
// The calculation sheet's dialogs on Win32: the options dialog and the save dialog, and the
// title block kept for the next run. Used by the Win32 adapter for Window::askSheetOptions,
// Window::askSavePath and Window::rememberedTitle/rememberTitle.

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
  kSheetOccupancyBox = 2111,  // group box 场所类别
  kSheetStreamsBox = 2112,    // group box 布置方式
  kSheetFlowLabel = 2113,
  // The title block: a field's edit and its label, each plus the field's row in
  // calc::kTitleFields.
  kSheetTitleEdit = 2140,
  kSheetTitleLabel = 2160,
};

// Modal dialog owned by `owner`, in Simplified Chinese, with 场所类别, 布置方式,
// 每支水枪最小流量 and the title block (calc::kTitleFields), showing `options`. True and the
// chosen values when the user confirms; false and `options` untouched when cancelled.
bool askSheetOptions(HWND owner, SheetOptions& options);

// The title block kept across runs: one REG_SZ per field under kTitleKey (HKCU), named by
// the field's key in the project file. Nothing kept, or a registry that refuses, reads as
// empty fields and loses the write: it is only a convenience.
inline constexpr wchar_t kTitleKey[] = L"Software\\Tavrel小工具\\TitleBlock";
calc::TitleBlock rememberedTitle();
void rememberTitle(const calc::TitleBlock& title);

// The ID of the options dialog's edit for one field of the title block.
int sheetTitleEditId(std::string calc::TitleBlock::*member);

// The common save dialog proposing `fileName` in the user's documents folder; the chosen
// path as UTF-8, or nothing when cancelled.
std::optional<std::string> askSavePath(HWND owner, std::string_view fileName);

}  // namespace ui::win32
