#pragma once
// Ends the event loop cleanly when the desktop session (or a service manager) sends
// SIGTERM, SIGINT or SIGHUP, so the program exits with status 0 instead of being killed.
// Does nothing on Windows, where the window's close is the only way out.

class QCoreApplication;

void quitOnTerminationSignals(QCoreApplication& app);
