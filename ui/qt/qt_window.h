#pragma once
// Window on Qt Widgets: builds Form1's widgets from the layout table and carries the
// handlers' operations and events. The only code that knows Qt widgets.
//
// Form1 is the central widget of a main window that adds the menu bar above it, so the form
// keeps its own size and every control its place; the main window is what is shown.
//
// Every widget's objectName is the control's qualified name ("Combo1(3)", "Text2"), so
// tests and accessibility tools find it by the name the handlers use.

#include <map>
#include <memory>
#include <string>

#include "ui/window.h"

class QMainWindow;
class QCoreApplication;
class QFont;
class QLabel;
class QMenu;
class QString;
class QStyle;
class QWidget;

namespace ui {

class QtWindow final : public Window {
 public:
  QtWindow();
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  // The "Form1" widget, and the main window around it with the menu bar.
  QWidget* form() const { return form_.get(); }
  QMainWindow* frame() const { return frame_.get(); }
  // The widget of a control, nullptr if Form1 has no such control.
  QWidget* control(ControlId id) const;
  void show();

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
  void build();
  void buildMenuBar();
  void buildStatusBar();
  QWidget* require(ControlId id) const;

  // Declared before frame_ and form_: the widgets must go before the style they are drawn
  // with. form_ is frame_'s central widget and goes first, which takes it out of frame_.
  std::unique_ptr<QStyle> classicStyle_;
  std::unique_ptr<QMainWindow> frame_;
  std::unique_ptr<QWidget> form_;
  std::map<std::string, QWidget*, std::less<>> controls_;
  QMenu* sheetMenu_ = nullptr;  // owned by form_
  QLabel* status_ = nullptr;    // in frame_'s status bar
  FormEvents* events_ = nullptr;
};

// The window's dialogs, shared with the system form's dialog (ui/qt/qt_system_dialog).
namespace qt {
// 宋体 9 pt, or the CJK face that stands in for it.
QFont windowFont();
// Qt's own dialog texts in Simplified Chinese (确定, 是, 否, 打开, 保存), where installed.
void loadTranslations(QCoreApplication& app);
void showMessage(QWidget* parent, std::string_view prompt);
bool askYesNo(QWidget* parent, std::string_view prompt);
bool askSheetOptions(QWidget* parent, SheetOptions& options);
// The title block kept across runs in QSettings, group kTitleGroup.
inline constexpr const char* kTitleGroup = "titleBlock";
calc::TitleBlock rememberedTitle();
void rememberTitle(const calc::TitleBlock& title);
// `fileName` bare: proposed in the documents folder; a path: proposed as it is. A name chosen
// without an extension gets the filter's first.
std::optional<std::string> askSavePath(QWidget* parent, const QString& title,
                                       std::string_view fileName, const QString& filter);
std::optional<std::string> askOpenPath(QWidget* parent, const QString& title,
                                       const QString& filter);
void openFile(const std::string& path);
}  // namespace qt

}  // namespace ui
