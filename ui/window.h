#pragma once
// The few operations and events the calculator's handlers need from a window toolkit.
// Form1's handlers are written against Window only; QtWindow carries them on Qt Widgets
// and the handler tests on a plain fake, so the handlers never see a widget.

#include <string>
#include <string_view>

#include "ui/form_layout.h"

namespace ui {

// A control by name, and by index for members of a control array: {"Combo1", 3}.
struct ControlId {
  std::string_view name;
  int index = kNoIndex;
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
  // Modal box with the prompt, one OK button, no icon and kAppTitle as caption; returns
  // when the user has closed it.
  virtual void showMessage(std::string_view prompt) = 0;
};

}  // namespace ui
