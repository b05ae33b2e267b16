#pragma once

#include <QString>

#include <cstdlib>

// What a command-line mode tells its user. A message box appears only when the
// program was started from the desktop (a display, and no terminal attached);
// otherwise the words go to standard output or standard error, and nothing
// ever waits on a box that nobody can see or answer.
namespace cli {

// A display to show a box on, and no terminal to print to.
bool startedFromDesktop();

// Called before the application object exists: a command that will show no
// window runs on the offscreen platform, so that it needs no display; from
// the desktop it falls back to it when the display cannot be reached (the
// user's own choice of platform is kept).
void choosePlatform();

// Success: the text on standard output, and in a box from the desktop.
void say(const QString &text);

// Failure: the sentence on standard error, and in a box from the desktop.
// Returns the status to exit with.
int fail(const QString &sentence, int status = EXIT_FAILURE);

} // namespace cli
