#include "app/Application.h"
#include "app/Startup.h"
#include "platform/Terminal.h"
#include "reports/ReportCommand.h"

int main(int argc, char **argv)
{
    if (reportcommand::requested(argc, argv)) {
        // Started from a shell, the command shows no window: it needs no
        // display, and it reports on standard error.
        if (platform::stderrIsTerminal() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        Application app(argc, argv);
        return reportcommand::main(QCoreApplication::arguments());
    }
    Application app(argc, argv);
    return startup::run();
}
