#pragma once

namespace startup {

// Creates and shows the main window, then runs the application until it ends.
// A database failure while the main window loads is reported and ends the
// application with a non-zero status.
int run();

} // namespace startup
