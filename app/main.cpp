#include <QApplication>

#include "app/quit_on_signal.h"
#include "ui/form1.h"
#include "ui/qt_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("hydrant-calc");
  quitOnTerminationSignals(app);
  ui::QtWindow window;
  ui::Form1 form(window);
  form.Form_Load();
  window.show();
  return app.exec();
}
