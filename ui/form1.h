#pragma once
// Form1's handlers and the window's calculation state.
//
// Form_Load fills the initial contents; the combo handlers keep the hose resistance
// coefficient in step with the hose boxes; Command1_Click reads the entries, runs the
// calculation and writes the result texts back. mnuSheet_Click writes the calculation
// sheet for the same entries into a file and leaves the window as it is; mnuSystem_Click opens
// the system calculation form (ui/system_form) with the window's hydrant; the other menu
// entries open the manual, the about box, or close the window. After each run the status bar
// shows the design point under GB 50974 and the worst verdict of the design check; once an
// entry changes the results are greyed until the next run. Everything goes through
// Window, so the same handlers run on Qt and on the tests' fake window.

#include <optional>
#include <string>
#include <vector>

#include "calc/calc_state.h"
#include "calc/entries.h"
#include "ui/window.h"

namespace ui {

// Where the manual is looked for, in order: beside the program, then (not on Windows) in the
// Debian package's documentation folder.
std::vector<std::string> manualPlaces(const std::string& programFolder);

// The about box's text: name, version, build date, licence and what the checks are for.
std::string aboutText();

class Form1 final : public FormEvents {
 public:
  explicit Form1(Window& window);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  void Form_Load();
  void Option1_Click(int index) override;
  void Combo1_Change(int index) override;
  void Combo1_Click(int index) override;
  void Command1_Click() override;
  void mnuSheet_Click() override;
  void mnuExit_Click() override;
  void mnuManual_Click() override;
  void mnuAbout_Click() override;
  void mnuSystem_Click() override;
  void Text9_Change() override;

  const calc::CalcState& state() const { return state_; }

 private:
  // An entry changed: the results shown belong to other entries until the next run.
  void entriesChanged();
  // Refuses what the run would take silently: a hose pair the table lacks (the previous
  // coefficient would stay in force), a width that is no number (it would count as 0) and
  // an absurd hose length. The message the user gets, or nothing.
  std::optional<std::string> refusal() const;
  // The design point and the check's worst verdict for the entries, for the status bar.
  void showDesignStatus();
  // Shared by change and click of every Combo1 box: the index does not matter.
  void followHoseSelection();
  // The entries as Command1_Click reads them.
  calc::Entries entries() const;

  Window& window_;
  calc::CalcState state_;
  // The sheet dialog's last confirmed answers, offered again while the window is open.
  SheetOptions sheetOptions_;
  // The system form's last entries, offered again while the window is open.
  SystemEntries systemEntries_;
  bool resultsShown_ = false;  // a run has written the result boxes
  bool resultsStale_ = false;  // ...and an entry has changed since
};

}  // namespace ui
