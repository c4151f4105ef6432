#pragma once
// Window on plain Win32: builds Form1's child windows from the layout table and carries the
// handlers' operations and events.
//
// Every control is a child of the top-level window, whatever its frame: the frames are group
// boxes drawn underneath, and a control's position adds its frame's offset. Keeping one
// parent lets the dialog manager (IsDialogMessage) walk the tab order across both frames,
// and every notification reaches the one window procedure. Each control's ID is 1000 + its
// tab position; the z-order follows the tab positions, which is the order Tab moves in.
// Sizes are the table's twips at the window's DPI, laid out again when the DPI changes.
// The menu bar (ui/main_menu.h) sits above the client area, which keeps the form's size: the
// window grows by the bar's height. Its entries' IDs are menuCommandId(), and the accelerator
// table made from the same entries sends the same IDs. Below the form two status bars
// (kStatusBarIds) carry the status lines; the client area grows by them, the form keeps its
// size and place.

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "ui/win32/gdi.h"
#include "ui/window.h"

namespace ui {

// The status bars under the form, top line first.
inline constexpr int kStatusBarIds[] = {1050, 1051};

class Win32Window final : public Window {
 public:
  // Creates the window and its controls, not yet shown.
  explicit Win32Window(HINSTANCE instance);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  void show(int showCommand);
  // The message loop with the menu's shortcuts and the dialog manager's keyboard handling;
  // returns at WM_QUIT.
  int run();

  void connect(FormEvents& events) override;
  std::string text(ControlId control) const override;
  void setText(ControlId control, std::string_view text) override;
  void appendItem(ControlId combo, std::string_view item) override;
  bool isOptionSelected(ControlId option) const override;
  void setEnabled(ControlId control, bool enabled) override;
  void setDimmed(ControlId control, bool dimmed) override;
  void setStatus(std::string_view designPoint, std::string_view checks) override;
  void showMessage(std::string_view prompt) override;
  bool askSheetOptions(SheetOptions& options) override;
  calc::TitleBlock rememberedTitle() override;
  void rememberTitle(const calc::TitleBlock& title) override;
  std::optional<std::string> askSavePath(std::string_view fileName) override;
  bool askYesNo(std::string_view prompt) override;
  void openFile(const std::string& path) override;
  void showAbout(std::string_view text) override;
  std::string programFolder() const override;
  void close() override;
  void runSystemForm(SystemSession& session) override;

 private:
  struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
  };
  struct AcceleratorDeleter {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
  };
  using Font = win32::Font;
  using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
  using Accelerators = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void createMenuBar();
  void onCommand(int id, int code);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onActivate(bool active);
  void layout(UINT dpi, const RECT* suggested);
  // A text box shown from its first character, with a tooltip of its whole text when that
  // does not fit.
  void showFromStart(HWND edit);
  void followText(HWND edit);
  // Colours of a text box: greyed when dimmed; nullptr for the default.
  HBRUSH editColours(HWND edit, HDC dc);

  // The control's row in form1Controls() and its window.
  std::size_t row(ControlId id) const;
  HWND control(ControlId id) const { return controls_[row(id)]; }

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  std::vector<HWND> controls_;  // parallel to form1Controls()
  std::vector<bool> dimmed_;    // parallel to form1Controls()
  HWND statusBars_[2] = {};
  HWND tooltip_ = nullptr;  // the text boxes' tips
  Font font_, buttonFont_;
  Icon bigIcon_, smallIcon_;
  Accelerators accelerators_;  // the menu bar is the window's and goes with it
  HWND lastFocus_ = nullptr;   // restored when the window is activated again
  FormEvents* events_ = nullptr;
};

}  // namespace ui
