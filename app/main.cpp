#include <QApplication>

#include "app/calculator.h"
#include "app/quit_on_signal.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("hydrant-calc");
  ui::qt::loadTranslations(app);
  quitOnTerminationSignals(app);
  Calculator calculator;
  return app.exec();
}
