#pragma once
// The program's one window: Form1 carried by Qt, loaded and shown. Shared by main() and
// the start-up benchmark so that both measure the same start.

#include "ui/form1.h"
#include "ui/qt/qt_window.h"

class Calculator {
 public:
  // Needs a QApplication. The first frame is painted once the event loop runs.
  Calculator() : form_(window_) {
    form_.Form_Load();
    window_.show();
  }

  ui::QtWindow& window() { return window_; }

 private:
  ui::QtWindow window_;
  ui::Form1 form_;
};
