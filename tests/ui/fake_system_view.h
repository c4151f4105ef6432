#pragma once
// A SystemView without a toolkit: holds each entry's text, list and enabled state, the check
// boxes and the results, answers the dialogs with what the test put in, and logs the dialogs
// and messages in order.

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/system_form.h"
#include "ui/system_view.h"

namespace ui::test {

class FakeSystemView final : public SystemView {
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
  std::string entry(std::string_view key) const override { return at(key).text; }
  void setEntry(std::string_view key, std::string_view text) override { at(key).text = text; }
  void appendItem(std::string_view key, std::string_view item) override {
    at(key).items.emplace_back(item);
  }
  bool isChecked(std::string_view section) const override { return at(section).checked; }
  void setChecked(std::string_view section, bool checked) override {
    at(section).checked = checked;
  }
  void setEnabled(std::string_view key, bool enabled) override { at(key).enabled = enabled; }

  void setSummary(std::string_view text) override { summary = text; }
  void setFloorRows(const std::vector<SystemFloorRow>& rows) override { floors = rows; }
  void setCheckRows(const std::vector<SystemCheckRow>& rows) override { checks = rows; }

  void showMessage(std::string_view prompt) override {
    log.push_back("message " + std::string(prompt));
  }
  bool askYesNo(std::string_view prompt) override {
    log.push_back("ask " + std::string(prompt));
    return false;
  }
  std::optional<std::string> askOpenProjectPath() override {
    log.push_back("open dialog");
    return pathAnswer;
  }
  std::optional<std::string> askSaveProjectPath(std::string_view fileName) override {
    log.push_back("save dialog " + std::string(fileName));
    return pathAnswer;
  }
  bool askSheetOptions(SheetOptions& options) override {
    log.push_back("sheet options " + options.project + "/" + options.designer);
    return sheetConfirmed;
  }
  std::optional<std::string> askSaveSheetPath(std::string_view fileName) override {
    log.push_back("sheet dialog " + std::string(fileName));
    return pathAnswer;
  }
  void openFile(const std::string& path) override { log.push_back("open " + path); }

  // What the user does.
  void userTypes(std::string_view key, const std::string& text) {
    at(key).text = text;
    if (key.ends_with(".dn") && events_) events_->dnChanged(key);
  }
  void userChecks(std::string_view section, bool checked) {
    at(section).checked = checked;
    if (events_) events_->sectionToggled(section);
  }
  const Entry& get(std::string_view key) const { return at(key); }

  std::string summary;
  std::vector<SystemFloorRow> floors;
  std::vector<SystemCheckRow> checks;
  std::vector<std::string> log;
  std::optional<std::string> pathAnswer;
  bool sheetConfirmed = true;

 private:
  Entry& at(std::string_view key) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) throw std::out_of_range("no entry " + std::string(key));
    return it->second;
  }
  const Entry& at(std::string_view key) const { return const_cast<FakeSystemView*>(this)->at(key); }

  std::map<std::string, Entry, std::less<>> entries_;
  SystemEvents* events_ = nullptr;
};

}  // namespace ui::test
