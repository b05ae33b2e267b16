#pragma once

#include <QStringList>

// The program's command-line modes (the growth report, help, version). They
// show no window: their words go to standard output and error, and to a
// message box only when the program was started from the desktop.
namespace commandline {

// True when the arguments hold anything besides Qt's own options: the
// program then runs a command instead of opening its main window.
bool requested(int argc, char **argv);

// Runs the command of the arguments (program name first, Qt's options
// already taken out) and returns the exit status: 0 on success, 1 when the
// command failed, 2 for a command line that is not understood.
int run(const QStringList &arguments);

} // namespace commandline
