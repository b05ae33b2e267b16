// A second process for the exclusive-use tests.
//   dbholder hold <file>  opens the database, prints "ready", waits to be killed
//   dbholder try <file>   opens the database, prints "ok" or "error <number>"
//   dbholder write <file> adds children "w1", "w2", ... one per opening, until
//                         killed; prints "wrote <n>" once each is stored
//   dbholder crash <file> dies in the middle of renaming every child and
//                         item, part of it written, leaving its journal

#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    if (mode == QStringLiteral("write")) {
        for (int n = 1;;) {
            try {
                dao::Database db = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
                dao::Recordset rs = db.OpenRecordset(schema::user::kTable);
                rs.AddNew();
                rs.Fields(schema::user::kName).setValue(QStringLiteral("w%1").arg(n));
                rs.Update();
                std::printf("wrote %d\n", n++);
                std::fflush(stdout);
            } catch (const dao::DbError &e) {
                if (e.number() != dao::kFileInUse) {
                    std::printf("error %d\n", e.number());
                    return 1;
                }
            }
            ::usleep(20000);
        }
    }
    if (mode == QStringLiteral("crash")) {
        dao::Database db = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
        db.Execute(QStringLiteral("PRAGMA cache_size = 1"));
        dao::Transaction tx(db);
        db.Execute(QStringLiteral("UPDATE user SET name = name || '（未完成）'"));
        db.Execute(QStringLiteral("UPDATE test SET item = item || '（未完成）'"));
        ::_exit(0);
    }
    try {
        dao::Database db = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
        db.OpenRecordset(schema::user::kTable);
        if (mode == QStringLiteral("hold")) {
            std::printf("ready\n");
            std::fflush(stdout);
            for (;;)
                ::pause();
        }
        std::printf("ok\n");
    } catch (const dao::DbError &e) {
        std::printf("error %d\n", e.number());
    }
    return 0;
}
