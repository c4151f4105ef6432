#pragma once
// GDI objects that own themselves: a font made for one DPI is deleted with its owner, so a
// DPI change or the end of the program leaks nothing.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ui::win32 {

struct GdiDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Handle>
using Gdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;
using Font = Gdi<HFONT>;

// 宋体 with the Chinese character set at `points` for `dpi`: the face of the form and its
// dialogs.
inline Font songti(int points, UINT dpi) {
  return Font(CreateFontW(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                          FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
}

}  // namespace ui::win32
