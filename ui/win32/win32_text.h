#pragma once
// The adapter's names for the one UTF-8/UTF-16 conversion of the Windows build (calc/utf8.h).

#include "calc/utf8.h"

namespace ui::win32 {

using calc::narrow;
using calc::widen;

}  // namespace ui::win32
