#pragma once
// The 消火栓系统计算 form on plain Win32, carrying SystemView for SystemForm's handlers. The
// dialog is built at run time from systemFields() (ui/win32/dialog_template.h; IDs in
// ui/win32/system_form_ids.h): group boxes in columns (systemGroupColumns()), a label and an
// entry a row, the buttons beside them and the results below, all measured in the form's
// 宋体 9 pt at the window's DPI. The dialog manager runs it modally: Tab walks the entries
// column by column, Enter presses the default button 计 算, Esc and 关闭 close it. It can be
// resized down to what its contents need (the two lists take the room) and remembers its size
// under HKCU\Software\Tavrel小工具. The floor grid and the check list are ListViews in report
// mode: floors that need reducing on a light red, failed checks in red, the whole 说明 as the
// row's tip; every field has a tooltip with its meaning, unit, range and clause.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/system_view.h"
#include "ui/win32/gdi.h"

namespace ui {
class SystemForm;
}

namespace ui::win32 {

class SystemDialog final : public SystemView {
 public:
  // Runs the dialog owned by `owner`, showing `session`; returns with what it showed last.
  static void run(HWND owner, SystemSession& session);
  // The main window is asked to close: true when it may. With the form open, the form asks
  // about unsaved changes first; if it closes, the main window is asked again once the form
  // has gone, so it is never destroyed under the form. While a box of the form is up (its
  // save question too), false without asking again.
  static bool mainWindowClosing(HWND mainWindow);

  void connect(SystemEvents& events) override;
  std::string entry(std::string_view key) const override;
  void setEntry(std::string_view key, std::string_view text) override;
  void appendItem(std::string_view key, std::string_view item) override;
  bool isChecked(std::string_view section) const override;
  void setChecked(std::string_view section, bool checked) override;
  void setEnabled(std::string_view key, bool enabled) override;
  void focusEntry(std::string_view key) override;
  void setTitle(std::string_view title) override;
  Answer askYesNoCancel(std::string_view prompt) override;
  std::string rememberedProjectPath() override;
  void rememberProjectPath(const std::string& path) override;
  void setSummary(std::string_view text) override;
  void setFloorRows(const std::vector<SystemFloorRow>& rows) override;
  void setCheckRows(const std::vector<SystemCheckRow>& rows) override;
  void showMessage(std::string_view prompt) override;
  bool askYesNo(std::string_view prompt) override;
  std::optional<std::string> askOpenProjectPath() override;
  std::optional<std::string> askSaveProjectPath(std::string_view fileName) override;
  bool askSheetOptions(SheetOptions& options) override;
  calc::TitleBlock rememberedTitle() override;
  void rememberTitle(const calc::TitleBlock& title) override;
  std::optional<std::string> askSaveSheetPath(std::string_view fileName) override;
  void openFile(const std::string& path) override;

 private:
  static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onInitDialog();
  void onCommand(int id, int code);
  LRESULT onNotify(NMHDR& header);
  void addTooltips();
  static LRESULT CALLBACK checkListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self);
  void followCheckTip(POINT at);
  // Places the entries and buttons for `dpi` and works out the smallest size; placeResults()
  // then fills the rest of the client area with the results.
  void layout(UINT dpi);
  void placeResults();
  // Shows one page's group boxes and entries and hides the other's.
  void showPage(int page);
  void fitCheckColumns();
  void restoreSize();
  void saveSize();
  void addMenu();
  // Closes the form when SystemForm agrees; false when the user kept it.
  bool finish();
  HWND control(std::string_view key) const;
  int px(int pixelsAt96) const { return MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); }

  HWND dialog_ = nullptr;
  HWND tooltip_ = nullptr;
  SystemEvents* events_ = nullptr;
  SystemForm* form_ = nullptr;
  SystemSession* session_ = nullptr;
  bool quiet_ = false;                      // setEntry at work: its EN_CHANGE is no user's change
  std::vector<std::wstring> tips_;          // the tooltips' texts, which must outlive the tooltip
  std::vector<bool> marked_;                // per row of the floor grid
  std::vector<bool> failed_;                // per row of the check list
  std::vector<std::wstring> explanations_;  // per row of the check list: its 说明
  int tipRow_ = -1;                         // the row whose 说明 the check list's tip shows
  UINT dpi_ = 96;
  Font font_;
  int lineHeight_ = 0;  // of the font
  int topHeight_ = 0;   // the entries' and buttons' area
  int page_ = 0;        // the page shown
  int floorsWidth_ = 0;
  int minWidth_ = 0, minHeight_ = 0;  // the smallest window, frame included
  bool laidOut_ = false;
};

}  // namespace ui::win32
