#pragma once
// The 消火栓系统计算 form on Qt: a QDialog in the main window's look (宋体 9 pt, group boxes,
// labels left of entries) that carries SystemView for SystemForm's handlers. It can be resized
// down to what its contents need, the two grids taking the room, and keeps its size in
// QSettings (organization "Tavrel小工具", key systemForm/size). Failed checks show in red, the
// first of them scrolled into view. A 文件 menu offers 打开…, 打开示例, 保存…, 生成计算书… and
// 退出.
//
// Object names for tests and accessibility tools: every entry, combo box and check box by its
// project-file key ("riser.dn", "tank"); the buttons cmdCalculate, cmdOpen, cmdSave, cmdSheet,
// cmdClose; the result line "summary"; the read-only grids "floorGrid" and "checkList".

#include <QDialog>
#include <map>
#include <string>

#include "ui/system_view.h"

class QLabel;
class QStyle;
class QTabWidget;
class QTableWidget;

namespace ui {

class QtSystemDialog final : public QDialog, public SystemView {
 public:
  // `style`: the main window's widget style, or nullptr for the platform's.
  QtSystemDialog(QWidget* parent, QStyle* style);

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
  calc::TitleBlock rememberedTitle() override;
  void rememberTitle(const calc::TitleBlock& title) override;
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

  // Where the form keeps its size.
  static constexpr const char* kSettingsOrganization = "Tavrel小工具";
  static constexpr const char* kSettingsApplication = "hydrant-calc";
  static constexpr const char* kSizeKey = "systemForm/size";
  static constexpr const char* kLastProjectKey = "systemForm/lastProject";

  void done(int result) override;
  // Esc, 关闭, 文件 → 退出 and the close box: only when SystemForm agrees.
  void reject() override;

 private:
  QWidget* widget(std::string_view key) const;

  std::map<std::string, QWidget*, std::less<>> fields_;  // owned by the dialog
  QTabWidget* pages_ = nullptr;
  QLabel* summary_ = nullptr;
  QTableWidget* floors_ = nullptr;
  QTableWidget* checks_ = nullptr;
  SystemEvents* events_ = nullptr;
};

}  // namespace ui
