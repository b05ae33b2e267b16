// One start of the application, or of a reference window, for the start-up
// benchmark (bench/startup.py runs it many times and compares medians).
//   startup_bench app <db> [<installed db>]
//                              the application's own start-up, until its window is shown;
//                              with an installed file, <db> is the user's own copy of it
//   startup_bench bare         a bare main window with one menu built the same way
//   startup_bench floor <db>   the bare window that also opens the encrypted file once
//                              (and reads one row, which checks the key)
//   startup_bench handle <db>  with the main window up: microseconds to open one more handle
//   startup_bench backup <db>  microseconds of the backup a run that changed the file ends with

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Backup.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int showAndQuit(QWidget &window)
{
    window.show();
    QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
    return QApplication::exec();
}

int bareWindow(bool openDatabase)
{
    QMainWindow window;
    QMenu *menu = window.menuBar()->addMenu(QStringLiteral("用户管理"));
    menu->setObjectName(QStringLiteral("useradmi"));
    menu->addAction(QStringLiteral("修改用户"))->setObjectName(QStringLiteral("dispuser"));
    window.setCentralWidget(new QWidget);
    window.centralWidget()->setFixedSize(461, 366);
    dao::Database db;
    if (openDatabase) {
        db = assessmentdb::open();
        db.OpenRecordset(QStringLiteral("select name from user limit 1"));
    }
    return showAndQuit(window);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const QByteArray mode(argv[1]);
    if (argc > 2)
        assessmentdb::setPathForTesting(
            QString::fromLocal8Bit(argv[2]), argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());

    if (mode == "bare" || mode == "floor") {
        QApplication app(argc, argv);
        return bareWindow(mode == "floor");
    }
    Application app(argc, argv);
    if (mode == "app") {
        QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
        return startup::run();
    }
    if (mode == "backup") {
        dao::Database db = assessmentdb::open();
        std::vector<qint64> samples;
        const QDateTime start = QDateTime::currentDateTime();
        for (int i = 0; i < 11; ++i) {
            QElapsedTimer timer;
            timer.start();
            QString reason;
            if (backup::writeAutomatic(db, start.addSecs(i), &reason).isEmpty())
                return 1;
            samples.push_back(timer.nsecsElapsed() / 1000);
        }
        std::sort(samples.begin(), samples.end());
        std::printf("%lld\n", static_cast<long long>(samples[samples.size() / 2]));
        return 0;
    }
    if (mode == "handle") {
        MainForm form;
        form.show();
        std::vector<qint64> samples;
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer timer;
            timer.start();
            dao::Database db = assessmentdb::open();
            db.OpenRecordset(QStringLiteral("select name from user limit 1"));
            samples.push_back(timer.nsecsElapsed() / 1000);
        }
        std::sort(samples.begin(), samples.end());
        std::printf("%lld\n", static_cast<long long>(samples[samples.size() / 2]));
        return 0;
    }
    return 2;
}
