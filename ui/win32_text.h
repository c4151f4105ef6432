#pragma once
// The one place where the program's UTF-8 texts meet Windows' UTF-16. Used by the Win32
// adapter and its dialogs only.

#include <string>
#include <string_view>

namespace ui::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace ui::win32
