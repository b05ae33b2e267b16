// The application's start-up with a given database file; every message box is
// answered at once and its text printed, one line per box.
//   startup_probe <database file>

#include "app/Application.h"
#include "app/Startup.h"
#include "core/data/AssessmentDb.h"
#include "ui/Messages.h"

#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    Application app(argc, argv);
    if (argc != 2)
        return 2;
    assessmentdb::setPathForTesting(QString::fromLocal8Bit(argv[1]));
    messages::setHook([](const QString &text) {
        std::printf("MESSAGE %s\n", text.simplified().toUtf8().constData());
        std::fflush(stdout);
    });
    // A start-up that succeeds ends on its own once the window is up.
    QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    return startup::run();
}
