#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "ui/CommandOutput.h"

int main(int argc, char **argv)
{
    if (commandline::requested(argc, argv)) {
        // A command shows no window: started from a shell, a script or a
        // machine without a display it needs none.
        cli::choosePlatform();
        Application app(argc, argv);
        return commandline::run(QCoreApplication::arguments());
    }
    Application app(argc, argv);
    return startup::run();
}
