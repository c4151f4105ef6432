#pragma once
// A SystemView without a toolkit: holds each entry's text, list and enabled state, the check
// boxes and the results, answers the dialogs with what the test put in, and logs the dialogs
// and messages in order.

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ui/fake_window.h"
#include "ui/system_form.h"
#include "ui/system_view.h"

namespace ui::test {

class FakeSystemView final : public SystemView, public EventLog {
 public:
  struct Entry {
    std::string text;
    std::vector<std::string> items;
    bool enabled = true;
    bool checked = false;
  };

  FakeSystemView() {
    for (const SystemField& f : systemFields()) entries_[std::string(f.key)];
  }

  void connect(SystemEvents& events) override { events_ = &events; }
  std::string entry(std::string_view key) const override { return get(key).text; }
  void setEntry(std::string_view key, std::string_view text) override { at(key).text = text; }
  void appendItem(std::string_view key, std::string_view item) override {
    at(key).items.emplace_back(item);
  }
  bool isChecked(std::string_view section) const override { return get(section).checked; }
  void setChecked(std::string_view section, bool on) override { at(section).checked = on; }
  void setEnabled(std::string_view key, bool enabled) override { at(key).enabled = enabled; }
  void focusEntry(std::string_view key) override { note("focus ", key); }
  void setSummary(std::string_view text) override { summary = text; }
  void setFloorRows(const std::vector<SystemFloorRow>& rows) override { floors = rows; }
  void setCheckRows(const std::vector<SystemCheckRow>& rows) override { checks = rows; }

  void setTitle(std::string_view text) override { title = text; }
  void showMessage(std::string_view prompt) override { note("message ", prompt); }
  bool askYesNo(std::string_view prompt) override { return note("ask ", prompt), false; }
  Answer askYesNoCancel(std::string_view p) override { return note("ask ", p), saveAnswer; }
  std::string rememberedProjectPath() override { return remembered; }
  void rememberProjectPath(const std::string& path) override { remembered = path; }
  calc::TitleBlock rememberedTitle() override { return keptTitle; }
  void rememberTitle(const calc::TitleBlock& t) override { note("remember title"), keptTitle = t; }
  std::optional<std::string> askOpenProjectPath() override {
    return note("open dialog"), pathAnswer;
  }
  std::optional<std::string> askSaveProjectPath(std::string_view fileName) override {
    return note("save dialog ", fileName), pathAnswer;
  }
  bool askSheetOptions(SheetOptions& o) override {
    titleShown = o.title;
    return note("sheet options ",
                o.title.project + "/" + o.title.projectNumber + "/" + o.title.designer),
           sheetConfirmed;
  }
  std::optional<std::string> askSaveSheetPath(std::string_view fileName) override {
    return note("sheet dialog ", fileName), pathAnswer;
  }
  void openFile(const std::string& path) override { note("open ", path); }

  // What the user does.
  void userTypes(std::string_view key, const std::string& text) {
    at(key).text = text;
    if (key.ends_with(".dn")) events_->dnChanged(key);
    if (key == "building.floors") events_->floorsChanged();
    events_->entryChanged();
  }
  void userChecks(std::string_view section, bool checked) {
    at(section).checked = checked;
    events_->sectionToggled(section);
    events_->entryChanged();
  }
  const Entry& get(std::string_view key) const {
    return const_cast<FakeSystemView*>(this)->at(key);
  }

  std::string title;
  std::string remembered;       // the project path kept across runs
  calc::TitleBlock keptTitle;   // the title block kept across runs
  calc::TitleBlock titleShown;  // in the last sheet dialog
  Answer saveAnswer = Answer::Cancel;
  std::string summary;
  std::vector<SystemFloorRow> floors;
  std::vector<SystemCheckRow> checks;
  std::optional<std::string> pathAnswer;
  bool sheetConfirmed = true;

 private:
  Entry& at(std::string_view key) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) throw std::out_of_range("no entry " + std::string(key));
    return it->second;
  }

  std::map<std::string, Entry, std::less<>> entries_;
  SystemEvents* events_ = nullptr;
};

}  // namespace ui::test
