#pragma once
// A Window without a toolkit: holds each control's text, list, enabled state and
// selection, raises the change event when a combo box's text is set, and logs every
// operation in order so that tests can check the sequence the handlers produce.

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/form_layout.h"
#include "ui/window.h"

namespace ui::test {

class FakeWindow final : public Window {
 public:
  struct Control {
    ControlDesc desc;
    std::string text;
    std::vector<std::string> items;
    bool enabled = true;
    bool selected = false;
  };

  FakeWindow() {
    for (const ControlDesc& desc : form1Controls()) {
      Control c{desc, creationText(desc), {}, true, false};
      c.selected = desc.name == "Option1" && desc.index == 1;
      controls_.emplace(qualifiedName(desc.name, desc.index), c);
    }
  }

  void connect(FormEvents& events) override { events_ = &events; }

  std::string text(ControlId id) const override { return at(id).text; }

  void setText(ControlId id, std::string_view text) override {
    Control& c = at(id);
    log.push_back("set " + key(id) + "=" + std::string(text));
    c.text = text;
    if (c.desc.kind == ControlKind::ComboBox) raiseChange(id.index);
  }

  void appendItem(ControlId id, std::string_view item) override {
    log.push_back("append " + key(id) + "=" + std::string(item));
    at(id).items.emplace_back(item);
  }

  bool isOptionSelected(ControlId id) const override { return at(id).selected; }

  void setEnabled(ControlId id, bool enabled) override {
    log.push_back("enable " + key(id) + "=" + (enabled ? "1" : "0"));
    at(id).enabled = enabled;
  }

  void showMessage(std::string_view prompt) override {
    log.push_back("message " + std::string(prompt));
    messages.emplace_back(prompt);
  }

  // The sheet's dialogs answer with what the test put into these.
  bool askSheetOptions(SheetOptions& options) override {
    log.push_back("ask sheet options");
    sheetOptionsShown.push_back(options);
    if (!sheetAnswer) return false;
    options = *sheetAnswer;
    return true;
  }
  std::optional<std::string> askSavePath(std::string_view fileName) override {
    log.push_back("ask save path " + std::string(fileName));
    return savePathAnswer;
  }
  bool askYesNo(std::string_view prompt) override {
    log.push_back("ask " + std::string(prompt));
    return yesNoAnswer;
  }
  void openFile(const std::string& path) override { log.push_back("open " + path); }
  void showAbout(std::string_view text) override { log.push_back("about " + std::string(text)); }
  std::string programFolder() const override { return folder; }
  void close() override { log.push_back("close"); }
  // The system form: records what it was shown and leaves what the test's user did.
  void runSystemForm(SystemEntries& entries) override {
    log.push_back("system form");
    systemFormShown.push_back(entries);
    if (systemFormUser) systemFormUser(entries);
  }

  // What the user does: typing into a combo box raises its change.
  void userTypes(int combo, const std::string& text) {
    at({"Combo1", combo}).text = text;
    raiseChange(combo);
  }
  // Writes a control's text behind the handlers' back, as typing into a text box does.
  void userEdits(ControlId id, const std::string& text) { at(id).text = text; }
  void selectOption(int index) {
    for (int i : {0, 1}) at({"Option1", i}).selected = i == index;
  }

  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::optional<SheetOptions> sheetAnswer;
  std::vector<SheetOptions> sheetOptionsShown;
  std::optional<std::string> savePathAnswer;
  bool yesNoAnswer = false;
  std::string folder = "/opt/hydrant-calc/";
  std::vector<SystemEntries> systemFormShown;
  std::function<void(SystemEntries&)> systemFormUser;

 private:
  static std::string key(ControlId id) { return qualifiedName(id.name, id.index); }

  void raiseChange(int index) {
    log.push_back("change " + std::to_string(index));
    if (events_) events_->Combo1_Change(index);
  }

  Control& at(ControlId id) {
    const auto it = controls_.find(key(id));
    if (it == controls_.end()) throw std::out_of_range("no control " + key(id));
    return it->second;
  }
  const Control& at(ControlId id) const { return const_cast<FakeWindow*>(this)->at(id); }

  std::map<std::string, Control> controls_;
  FormEvents* events_ = nullptr;
};

}  // namespace ui::test
