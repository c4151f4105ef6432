#pragma once
// The 消火栓系统计算 form on plain Win32: the dialog resource IDD_SYSTEM_FORM
// (app/hydrant-calc.rc.in, IDs in ui/win32/system_form_ids.h) carrying SystemView for SystemForm's
// handlers. The dialog manager runs it modally: Tab walks the entries column by column, Enter
// presses the default button 计 算, Esc and 关闭 close it. The floor grid and the check list
// are ListViews in report mode; floors that need reducing are drawn on a light red.

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "ui/system_view.h"

namespace ui {
class SystemForm;
}

namespace ui::win32 {

class SystemDialog final : public SystemView {
 public:
  // Runs the dialog owned by `owner`, showing `entries`; returns with what it showed last.
  static void run(HWND owner, SystemEntries& entries);

  void connect(SystemEvents& events) override;
  std::string entry(std::string_view key) const override;
  void setEntry(std::string_view key, std::string_view text) override;
  void appendItem(std::string_view key, std::string_view item) override;
  bool isChecked(std::string_view section) const override;
  void setChecked(std::string_view section, bool checked) override;
  void setEnabled(std::string_view key, bool enabled) override;
  void setSummary(std::string_view text) override;
  void setFloorRows(const std::vector<SystemFloorRow>& rows) override;
  void setCheckRows(const std::vector<SystemCheckRow>& rows) override;
  void showMessage(std::string_view prompt) override;
  bool askYesNo(std::string_view prompt) override;
  std::optional<std::string> askOpenProjectPath() override;
  std::optional<std::string> askSaveProjectPath(std::string_view fileName) override;
  bool askSheetOptions(SheetOptions& options) override;
  std::optional<std::string> askSaveSheetPath(std::string_view fileName) override;
  void openFile(const std::string& path) override;

 private:
  static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onInitDialog();
  void onCommand(int id, int code);
  LRESULT onCustomDraw(NMLVCUSTOMDRAW& draw) const;
  HWND control(std::string_view key) const;

  HWND dialog_ = nullptr;
  SystemEvents* events_ = nullptr;
  SystemForm* form_ = nullptr;
  const SystemEntries* initial_ = nullptr;
  SystemEntries* last_ = nullptr;
  std::vector<bool> marked_;  // per row of the floor grid
  // Keys the resource has no control for yet: their values kept, so that a file opened and
  // saved here loses nothing.
  SystemEntries unplaced_;
};

}  // namespace ui::win32
