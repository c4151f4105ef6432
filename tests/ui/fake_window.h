#pragma once
// A Window without a toolkit: holds each control's text, list, enabled state and selection,
// raises the change event when a combo box's text is set, answers the dialogs with what the
// test put in, and logs text writes, dialogs and boxes in the order a user would meet them.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/temp_dir.h"
#include "ui/form_layout.h"
#include "ui/window.h"

namespace ui::test {

using hydrant_test::TempDir;

// What the user meets (dialogs, boxes, files opened) in order; a fake's "what" names the kind.
struct EventLog {
  void note(std::string_view what, std::string_view text = "") {
    log.push_back(std::string(what) + std::string(text));
  }
  std::vector<std::string> log;
};

class FakeWindow final : public Window, public EventLog {
 public:
  struct Control {
    std::string text;
    std::vector<std::string> items;
    bool enabled = true;
    bool selected = false;
    bool dimmed = false;
    size_t itemsWhenTextSet = 0;  // a list filled before its text shows here
  };

  FakeWindow() {
    for (const ControlDesc& d : form1Controls()) {
      controls_[qualifiedName(d.name, d.index)] = {
          creationText(d), {}, true, d.name == "Option1" && d.index == 1};
    }
  }

  void connect(FormEvents& events) override { events_ = &events; }
  std::string text(ControlId id) const override { return get(id).text; }
  void setText(ControlId id, std::string_view text) override {
    note("set " + qualifiedName(id.name, id.index) + "=", text);
    at(id).text = text;
    at(id).itemsWhenTextSet = at(id).items.size();
    if (id.name == "Combo1" && events_) events_->Combo1_Change(id.index);
  }
  void appendItem(ControlId id, std::string_view item) override { at(id).items.emplace_back(item); }
  bool isOptionSelected(ControlId id) const override { return get(id).selected; }
  void setEnabled(ControlId id, bool enabled) override { at(id).enabled = enabled; }
  void setDimmed(ControlId id, bool dimmed) override { at(id).dimmed = dimmed; }
  void setStatus(std::string_view designPoint, std::string_view checks) override {
    status = {std::string(designPoint), std::string(checks)};
  }
  void showMessage(std::string_view prompt) override {
    note("message ", prompt);
    messages.emplace_back(prompt);
  }
  bool askSheetOptions(SheetOptions& options) override {
    note("ask sheet options");
    sheetOptionsShown.push_back(options);
    if (sheetAnswer) options = *sheetAnswer;
    return sheetAnswer.has_value();
  }
  calc::TitleBlock rememberedTitle() override { return keptTitle; }
  void rememberTitle(const calc::TitleBlock& title) override {
    note("remember title ", title.project);
    keptTitle = title;
  }
  std::optional<std::string> askSavePath(std::string_view fileName) override {
    return note("ask save path ", fileName), savePathAnswer;
  }
  bool askYesNo(std::string_view prompt) override { return note("ask ", prompt), yesNoAnswer; }
  void openFile(const std::string& path) override { note("open ", path); }
  void showAbout(std::string_view text) override { note("about ", text); }
  std::string programFolder() const override { return folder; }
  void close() override { note("close"); }
  // Records what the form was shown and leaves what the test's user did.
  void runSystemForm(SystemSession& session) override {
    note("system form");
    systemFormShown.push_back(session);
    if (systemFormUser) systemFormUser(session);
  }

  // What the user does: typing into a combo box or the width raises its change.
  void userTypes(int combo, const std::string& text) {
    at({"Combo1", combo}).text = text;
    events_->Combo1_Change(combo);
  }
  void userEdits(ControlId id, const std::string& text) {
    at(id).text = text;
    if (id.name == "Text9" && events_) events_->Text9_Change();
  }
  void selectOption(int index) {
    for (int i : {0, 1}) at({"Option1", i}).selected = i == index;
  }
  const Control& get(ControlId id) const { return const_cast<FakeWindow*>(this)->at(id); }

  std::vector<std::string> messages;
  std::pair<std::string, std::string> status;  // the status bar's two lines
  std::optional<SheetOptions> sheetAnswer;
  std::vector<SheetOptions> sheetOptionsShown;
  calc::TitleBlock keptTitle;  // the title block kept across runs
  std::optional<std::string> savePathAnswer;
  bool yesNoAnswer = false;
  std::string folder = "/opt/hydrant-calc/";
  std::vector<SystemSession> systemFormShown;
  std::function<void(SystemSession&)> systemFormUser;

 private:
  Control& at(ControlId id) {
    const auto it = controls_.find(qualifiedName(id.name, id.index));
    if (it == controls_.end()) throw std::out_of_range("no control " + std::string(id.name));
    return it->second;
  }

  std::map<std::string, Control> controls_;
  FormEvents* events_ = nullptr;
};

}  // namespace ui::test
