#pragma once
// The few operations and events the calculator's handlers need from a window toolkit.
// Form1's handlers are written against Window only; QtWindow carries them on Qt Widgets
// and the handler tests on a plain fake, so the handlers never see a widget.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "calc/design_check.h"
#include "calc/title_block.h"
#include "ui/form_layout.h"

namespace ui {

// A control by name, and by index for members of a control array: {"Combo1", 3}.
struct ControlId {
  std::string_view name;
  int index = kNoIndex;
};

// What the calculation sheet's dialog asks; the window keeps the last answers while it is
// open.
struct SheetOptions {
  calc::Occupancy occupancy = calc::Occupancy::Other;
  int streams = 2;     // streams that must reach every point: 2 or 1
  double minFlow = 5;  // minimum flow per stream, L/s: 5 or 2.5
  calc::TitleBlock title;
};

// The menu entry that makes the sheet, besides the menu bar's: the system menu on Windows,
// the form's context menu elsewhere.
inline constexpr std::string_view kSheetMenuText = "生成计算书…";
// The user manual, beside the program (and on Debian under kSystemDocFolder).
inline constexpr std::string_view kManualFileName = "hydrant-calc-manual.html";
inline constexpr std::string_view kSystemDocFolder = "/usr/share/doc/hydrant-calc/";
inline constexpr std::string_view kAboutTitle = "关于 Tavrel小工具";
inline constexpr std::string_view kSheetFileName = "消火栓计算书.html";
// The entry beside it that opens the system calculation form.
inline constexpr std::string_view kSystemMenuText = "系统计算…";

// The system form's entries by project-file key ("riser.dn"), its check boxes by section
// ("tank": "1" or "0"). Kept by Form1 for the run so the form reopens as it was left.
using SystemEntries = std::map<std::string, std::string, std::less<>>;

// The system form's project while the window is open, so the form reopens as it was left.
struct SystemSession {
  SystemEntries entries;  // what the form showed when it closed; empty before the first time
  SystemEntries saved;    // the entries as the project was last opened or saved
  std::string path;       // the project file, UTF-8; "" for a new project
  bool readOnly = false;  // the shipped example: 保存 asks for another file
  calc::Entries hydrant;  // the main window's entries: a new project's hydrant
};

// The events a window delivers to its handlers. Contract for implementations of Window:
// - a combo box's text change is raised when the user types into it and when setText
//   sets it from code; appending entries raises nothing;
// - choosing an entry of a combo box's list raises the click;
// - an event is delivered only after connect().
class FormEvents {
 public:
  virtual void Option1_Click(int index) = 0;
  virtual void Combo1_Change(int index) = 0;
  virtual void Combo1_Click(int index) = 0;
  virtual void Command1_Click() = 0;
  // The menu bar's entries (ui/main_menu.h); the sheet's also from the system or context menu.
  virtual void mnuSheet_Click() = 0;
  virtual void mnuExit_Click() = 0;
  virtual void mnuManual_Click() = 0;
  virtual void mnuAbout_Click() = 0;
  // The system calculation's menu entry.
  virtual void mnuSystem_Click() = 0;
  // The protection width typed or pasted into (raised for every change of its text).
  virtual void Text9_Change() = 0;

 protected:
  ~FormEvents() = default;
};

class Window {
 public:
  virtual ~Window() = default;

  virtual void connect(FormEvents& events) = 0;

  // Texts of text boxes and combo boxes, UTF-8.
  virtual std::string text(ControlId control) const = 0;
  virtual void setText(ControlId control, std::string_view text) = 0;
  virtual void appendItem(ControlId combo, std::string_view item) = 0;
  virtual bool isOptionSelected(ControlId option) const = 0;
  virtual void setEnabled(ControlId control, bool enabled) = 0;
  // Shows a text box greyed, as disabled boxes look, while it keeps its text, its place in
  // the tab order and the user's ability to select and copy it.
  virtual void setDimmed(ControlId control, bool dimmed) = 0;
  // The two lines of the status bar under the form; empty texts leave it blank.
  virtual void setStatus(std::string_view designPoint, std::string_view checks) = 0;
  // Modal box with the prompt, one OK button, no icon and kAppTitle as caption; returns
  // when the user has closed it.
  virtual void showMessage(std::string_view prompt) = 0;

  // The calculation sheet. Modal dialog in Simplified Chinese showing `options`; true and
  // the chosen values in `options` when confirmed, false and `options` untouched when not.
  virtual bool askSheetOptions(SheetOptions& options) = 0;
  // The title block last confirmed in either sheet dialog, kept across runs of the program;
  // every field empty when nothing is kept or the store cannot be read.
  virtual calc::TitleBlock rememberedTitle() = 0;
  virtual void rememberTitle(const calc::TitleBlock& title) = 0;
  // Save dialog proposing `fileName` in the user's documents folder; the chosen path
  // (UTF-8), or nothing when cancelled.
  virtual std::optional<std::string> askSavePath(std::string_view fileName) = 0;
  // Modal box with the prompt, Yes and No, no icon and kAppTitle as caption; true for Yes.
  virtual bool askYesNo(std::string_view prompt) = 0;
  // Opens a file with the program the desktop associates with it (a browser for .html).
  virtual void openFile(const std::string& path) = 0;

  // Modal box captioned kAboutTitle whose plain text the user can select and copy.
  virtual void showAbout(std::string_view text) = 0;
  // The folder of the running program, UTF-8, ending in the system's separator.
  virtual std::string programFolder() const = 0;
  // Closes the window as its close button does, which ends the program.
  virtual void close() = 0;
  // The modal 消火栓系统计算 form (ui/system_form) over this window, showing `session`; when it
  // closes, `session` holds what it showed last. Nothing of this window changes.
  virtual void runSystemForm(SystemSession& session) = 0;
};

}  // namespace ui
