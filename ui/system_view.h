#pragma once
// The few operations the 消火栓系统计算 form's handlers need from a toolkit. SystemForm is
// written against SystemView only; the Qt dialog, the Win32 dialog and the handler tests'
// fake carry it, so the form's logic exists once.
//
// Entries are addressed by their key in the project file ("riser.dn"); the two check boxes
// by their section ("tank", "stabilizer"). Texts are UTF-8.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window.h"

namespace ui {

inline constexpr std::string_view kSystemFormTitle = "消火栓系统计算";
inline constexpr std::string_view kProjectFileFilter = "消火栓系统 (*.toml)";
inline constexpr std::string_view kProjectFileName = "消火栓系统.toml";
inline constexpr std::string_view kSystemSheetFileName = "消火栓系统计算书.html";
// The worked example as 文件 → 打开示例 shows it.
inline constexpr std::string_view kExampleProjectName = "office-18f.toml（示例）";

// One row of the floor grid, top floor first: the cells in the grid's column order, and
// whether the floor needs reducing (shown marked).
struct SystemFloorRow {
  std::vector<std::string> cells;
  bool marked = false;
};

// One row of the check list: 条文, 结论, 说明, and whether the check failed (shown in red).
struct SystemCheckRow {
  std::string clause, verdict, text;
  bool failed = false;
};

// What the user does on the form.
class SystemEvents {
 public:
  virtual void cmdCalculate_Click() = 0;
  virtual void cmdOpen_Click() = 0;
  virtual void cmdSave_Click() = 0;
  virtual void cmdSheet_Click() = 0;
  // The user chose or typed a DN ("riser.dn", "main.dn").
  virtual void dnChanged(std::string_view key) = 0;
  // The user switched a section's check box ("tank", "stabilizer").
  virtual void sectionToggled(std::string_view section) = 0;
  // The user typed or chose a new number of floors.
  virtual void floorsChanged() = 0;
  // The user changed any entry or check box.
  virtual void entryChanged() = 0;
  // 文件 → 打开示例: the worked example, read-only.
  virtual void cmdOpenExample_Click() = 0;
  // Esc, 关闭, 文件 → 退出, or the main window closing: true when the form may close (the
  // user saved, or chose not to save, the changes).
  virtual bool closeRequested() = 0;

 protected:
  ~SystemEvents() = default;
};

// Contract: setEntry, appendItem, setChecked and setEnabled raise no event.
class SystemView {
 public:
  virtual ~SystemView() = default;

  virtual void connect(SystemEvents& events) = 0;

  virtual std::string entry(std::string_view key) const = 0;
  virtual void setEntry(std::string_view key, std::string_view text) = 0;
  virtual void appendItem(std::string_view key, std::string_view item) = 0;
  virtual bool isChecked(std::string_view section) const = 0;
  virtual void setChecked(std::string_view section, bool checked) = 0;
  virtual void setEnabled(std::string_view key, bool enabled) = 0;
  // Shows the page holding the entry and puts the focus in it, as after a bad entry.
  virtual void focusEntry(std::string_view key) = 0;

  // The result line above the grids, the floor grid and the check list; all empty clears.
  virtual void setSummary(std::string_view text) = 0;
  virtual void setFloorRows(const std::vector<SystemFloorRow>& rows) = 0;
  virtual void setCheckRows(const std::vector<SystemCheckRow>& rows) = 0;

  // The form's caption.
  virtual void setTitle(std::string_view title) = 0;

  // Modal box with one OK button and kAppTitle as caption.
  virtual void showMessage(std::string_view prompt) = 0;
  virtual bool askYesNo(std::string_view prompt) = 0;
  enum class Answer { Yes, No, Cancel };
  // 是/否/取消.
  virtual Answer askYesNoCancel(std::string_view prompt) = 0;
  // The project file used last, kept across runs of the program; "" for none.
  virtual std::string rememberedProjectPath() = 0;
  virtual void rememberProjectPath(const std::string& path) = 0;
  // The title block kept across runs, shared with the main window's sheet dialog.
  virtual calc::TitleBlock rememberedTitle() = 0;
  virtual void rememberTitle(const calc::TitleBlock& title) = 0;
  // File dialogs filtering kProjectFileFilter; the chosen UTF-8 path or nothing.
  virtual std::optional<std::string> askOpenProjectPath() = 0;
  virtual std::optional<std::string> askSaveProjectPath(std::string_view fileName) = 0;
  // The sheet: the options dialog of the main window's sheet, then a save dialog for HTML.
  virtual bool askSheetOptions(SheetOptions& options) = 0;
  virtual std::optional<std::string> askSaveSheetPath(std::string_view fileName) = 0;
  virtual void openFile(const std::string& path) = 0;
};

}  // namespace ui
