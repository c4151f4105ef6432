#pragma once
// The calculation sheet's dialogs on Win32: the options dialog and the save dialog. Used by
// the Win32 adapter for Window::askSheetOptions and Window::askSavePath.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "ui/window.h"

namespace ui::win32 {

// Modal dialog owned by `owner`, in Simplified Chinese, with 场所类别, 布置方式,
// 每支水枪设计流量, 工程名称 and 设计人, showing `options`. True and the chosen values when
// the user confirms; false and `options` untouched when cancelled.
bool askSheetOptions(HWND owner, SheetOptions& options);

// The common save dialog proposing `fileName` in the user's documents folder; the chosen
// path as UTF-8, or nothing when cancelled.
std::optional<std::string> askSavePath(HWND owner, std::string_view fileName);

}  // namespace ui::win32
