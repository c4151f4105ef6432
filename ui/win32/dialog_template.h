#pragma once
// A dialog template built in memory for DialogBoxIndirectParamW, so that a dialog is made from
// data at run time instead of a resource with hand-placed coordinates. It carries the controls,
// their styles, IDs and texts in tab order; every position is zero and the dialog places its
// controls itself in WM_INITDIALOG for the DPI it finds.

#include <windows.h>

#include <string_view>
#include <vector>

namespace ui::win32 {

// The predefined control classes by their atoms.
constexpr WORD kButtonClass = 0x80, kEditClass = 0x81, kStaticClass = 0x82, kComboClass = 0x85;

// A DLGTEMPLATE with its items, laid out as DialogBoxIndirect reads it: WORDs, each item on a
// DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, std::wstring_view title) {
    putDword(style);
    putDword(0);  // extended style
    countAt_ = data_.size();
    data_.push_back(0);  // number of items, filled in by add()
    putZeros(4);         // x, y, cx, cy
    data_.push_back(0);  // no menu
    data_.push_back(0);  // the dialog class
    putText(title);
  }

  // A predefined control by its atom (kButtonClass ...).
  void add(WORD atom, int id, DWORD style, std::wstring_view text, DWORD exStyle = 0) {
    begin(id, style, exStyle);
    data_.push_back(0xFFFF);
    data_.push_back(atom);
    end(text);
  }
  // A control of a registered class by name ("SysListView32").
  void add(std::wstring_view className, int id, DWORD style, std::wstring_view text,
           DWORD exStyle = 0) {
    begin(id, style, exStyle);
    putText(className);
    end(text);
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void begin(int id, DWORD style, DWORD exStyle) {
    if (data_.size() % 2 != 0) data_.push_back(0);
    putDword(style | WS_CHILD | WS_VISIBLE);
    putDword(exStyle);
    putZeros(4);  // x, y, cx, cy
    data_.push_back(static_cast<WORD>(id));
  }
  void end(std::wstring_view text) {
    putText(text);
    data_.push_back(0);  // no creation data
    ++data_[countAt_];
  }
  void putDword(DWORD value) {
    data_.push_back(LOWORD(value));
    data_.push_back(HIWORD(value));
  }
  // One WORD at a time: GCC 12 misreads a counted insert here as an overflow.
  void putZeros(int count) {
    for (int i = 0; i < count; ++i) data_.push_back(0);
  }
  void putText(std::wstring_view text) {
    data_.insert(data_.end(), text.begin(), text.end());
    data_.push_back(0);
  }

  std::vector<WORD> data_;
  size_t countAt_ = 0;
};

// From Windows 10 1703 on the dialog manager rescales a dialog on a DPI change by itself; the
// program's dialogs lay themselves out, so that is switched off (a no-op on older Windows).
inline void keepOwnDpiLayout(HWND dialog) {
  using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
  static const auto setBehavior = reinterpret_cast<SetBehaviorFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (setBehavior != nullptr) setBehavior(dialog, kDisableAll, kDisableAll);
}

}  // namespace ui::win32
