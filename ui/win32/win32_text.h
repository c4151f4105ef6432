#pragma once
// The adapter's names for the one UTF-8/UTF-16 conversion of the Windows build (files/utf16.h).

#include "files/utf16.h"

namespace ui::win32 {

using files::narrow;
using files::widen;

}  // namespace ui::win32
