#pragma once
// The 消火栓系统计算 form: one table of its entries and the handlers of its buttons, written
// once over SystemView for both toolkits.
//
// Every key of the project file has one entry. Calculating, saving and the sheet turn the
// entries into a project text and read it with files::readProject, the reader of the
// command line, so the form accepts exactly what a file may hold; open and save go through
// files::loadProject and saveProject. A bad entry gives one message naming the field and its
// text, and leaves the results as they were.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calc_error.h"
#include "files/project_file.h"
#include "ui/system_view.h"
#include "ui/window.h"

namespace ui {

enum class FieldKind {
  Text,   // an edit
  Combo,  // an editable combo box with a list
  Check,  // a check box switching a whole section on
};

struct SystemField {
  std::string key;         // project-file key "riser.dn"; a check box: its section "tank"
  std::string caption;     // the label left of the entry, with its unit; or the check box's text
  std::string_view group;  // the group box holding it
  int page;  // 0: 系统水力计算, 1: 水池、水箱与稳压设施 (systemPages())
  FieldKind kind;
  std::string defaultText;  // the worked example's value; a check box "1" or "0"
  std::string_view items;   // a combo box's list, '|' between entries; "" for DN sizes
  std::string tooltip;      // meaning, unit, range and clause
};

// The form's two pages: the hydraulic entries, then the calculation book's.
std::span<const std::string_view> systemPages();
// Group boxes in the order the form shows them, the first page's before the second's.
std::span<const std::string_view> systemGroups();
// The page of each group box, in systemGroups() order.
std::vector<int> systemGroupPages();
// Every entry, group by group, top to bottom: one per key of the project file
// (files/project_keys.h), and a check box before each optional section's keys.
std::span<const SystemField> systemFields();
const SystemField* findSystemField(std::string_view key);
// A combo box's list; a DN combo box lists the welded pipe table's sizes.
std::vector<std::string> systemFieldItems(const SystemField& field);

// The column of each group box on its page, in systemGroups() order: each page's groups in
// order, cut into the fewest columns (four at least) whose tallest holds at most about
// fifteen rows, as evenly as the order allows. Both toolkits lay the form out by it.
std::vector<int> systemGroupColumns();

// The worked example's entries (examples/office-18f.toml).
SystemEntries defaultSystemEntries();
// Copies the main window's hose, nozzle and water column into the [hydrant] entries.
void takeHydrantEntries(const calc::Entries& main, SystemEntries& entries);

// The floor grid's captions, in its column order.
std::span<const std::string_view> systemFloorColumns();
std::span<const std::string_view> systemCheckColumns();

// Storey heights as typed: one number for every storey, or a list bottom up in which "3.9×16"
// (also "3.9*16", "3.9x16") stands for sixteen storeys of 3.9; commas (also "，", "、"),
// semicolons or blanks between, full-width digits allowed. Nothing when the text is none of
// these or an entry is not a positive number.
std::optional<std::vector<double>> parseFloorHeights(std::string_view text);
// The shortest text parseFloorHeights reads back: "3.9" when all are equal, else a list with
// runs written "3.9×16".
std::string floorHeightsText(const std::vector<double>& heights);
// Storey heights for `floors` floors when `text` is one height for all, or a first storey and
// one height for the rest ("5.1, 3.9×16" → "5.1, 3.9×8" for 10 floors); nothing otherwise, as
// a list of different heights cannot be guessed.
std::optional<std::string> adaptFloorHeights(std::string_view text, int floors);

// The project the entries describe, read as the command line reads a file; the error's message
// names the field by its caption and quotes its text.
calc::Result<files::Project> projectFromEntries(const SystemEntries& entries);
// The entries that show a project; a section it leaves out is switched off and keeps the
// worked example's values, so switching it on offers numbers.
SystemEntries entriesFromProject(const files::Project& project);

class SystemForm final : public SystemEvents {
 public:
  explicit SystemForm(SystemView& view);
  SystemForm(const SystemForm&) = delete;
  SystemForm& operator=(const SystemForm&) = delete;

  // Fills the lists, then the entries, and sets the sections' entries enabled or not. The
  // first time in a run (no entries yet) it opens the project file used last, or starts a new
  // project from the worked example; a new project takes the main window's hydrant.
  void Form_Load(const SystemSession& session);
  // What the form shows now.
  SystemEntries entries() const;
  // The project as the form leaves it, for Form1 to offer again.
  SystemSession session() const;
  // Changed since it was opened or saved.
  bool modified() const;

  void cmdCalculate_Click() override;
  void cmdOpen_Click() override;
  void cmdSave_Click() override;
  void cmdSheet_Click() override;
  void dnChanged(std::string_view key) override;
  void sectionToggled(std::string_view section) override;
  void floorsChanged() override;
  void entryChanged() override;
  void cmdOpenExample_Click() override;
  bool closeRequested() override;

 private:
  void show(const SystemEntries& entries);
  void clearResults();
  // The entries as a project, or nothing after the message has been shown.
  std::optional<files::Project> readEntries();
  // Saves through the save dialog; false when cancelled or refused.
  bool save(bool ask);
  // The file's name as the caption and the question show it.
  std::string projectName() const;
  void updateTitle();
  // A project just opened, saved or started.
  void adopt(const SystemEntries& entries, std::string path, bool readOnly);

  SystemView& view_;
  SystemSession session_;  // entries: as loaded; the view holds the current ones
  int sheetStreams_ = 2;   // the sheet dialog's last answer, not a project key
  // The title block's fields the form has no box for, as the project opened or the sheet
  // dialog last gave them: kept for the next save and sheet.
  calc::TitleBlock title_;
};

}  // namespace ui
