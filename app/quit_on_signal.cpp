#include "app/quit_on_signal.h"

#include <QCoreApplication>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

namespace {

// The handler may only write(); the event loop reads the other end and quits.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(signalPipe[0], &byte, 1);
}

}  // namespace

void quitOnTerminationSignals(QCoreApplication& app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
    char byte;
    [[maybe_unused]] const auto n = ::read(signalPipe[1], &byte, 1);
    app.quit();
  });
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

#else

void quitOnTerminationSignals(QCoreApplication&) {}

#endif
