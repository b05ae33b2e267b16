#include "Startup.h"

#include "FatalError.h"
#include "MainForm.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Backup.h"
#include "core/data/DbError.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTimer>

#include <memory>

namespace {

// A damaged file's message also names the sound backup made last (a copy
// kept on a restore among them) and how to restore it.
dao::DbError withNewestBackup(const dao::DbError &error)
{
    const std::optional<backup::Entry> newest = backup::newestSound(assessmentdb::path());
    if (!newest)
        return error;
    return dao::DbError(error.number(),
        error.description()
            + QStringLiteral("最新的完好备份是 %1 的“%2”：可以用桌面菜单中的“恢复备份…”恢复，或者运行 "
                             "childgrowth --restore \"%2\"。")
                  .arg(QLocale(QLocale::Chinese).toString(newest->made, QStringLiteral("yyyy年M月d日 HH:mm")),
                      QDir::toNativeSeparators(newest->path)));
}

} // namespace

namespace startup {

int run()
{
    std::unique_ptr<backup::Keeper> keeper;
    std::unique_ptr<MainForm> window;
    try {
        // What a restore or a backup that was killed left is cleared first;
        // the family's file itself is as the engine finds it.
        backup::clearLeftovers(assessmentdb::path());
        // The main window shares this connection: the file is opened, and
        // brought up to date when it needs it, once.
        keeper = std::make_unique<backup::Keeper>(assessmentdb::openAtStart());
        window = std::make_unique<MainForm>();
    } catch (const dao::DbError &e) {
        fatal::reportAndExit(e.number() == dao::kDamagedFile ? withNewestBackup(e) : e);
    }
    window->show();
    // An earlier run's changes that no backup holds yet are backed up once
    // the window is up, never before.
    if (keeper->behind())
        QTimer::singleShot(0, window.get(), [&keeper] { keeper->backUp(); });
    const int status = QApplication::exec();
    window.reset();
    keeper->backUp();
    return status;
}

} // namespace startup
