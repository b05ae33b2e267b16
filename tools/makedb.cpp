// Build step: creates the installed database from the schema and the
// questionnaire content files.
//   makedb <output file> <content directory>
// When the output already exists (a database that has been used), its
// children and monthly records are carried over into the new file, so that
// rebuilding never loses a family's data.

#include "data/AssessmentDb.h"
#include "data/ContentFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <exception>
#include <filesystem>

namespace {

// Copies every row of a table, in stored order, into the same table of another database.
int copyRows(dao::Database &from, dao::Database &to, const QString &table)
{
    dao::Recordset source = from.OpenRecordset(table);
    dao::Recordset target = to.OpenRecordset(table);
    int copied = 0;
    for (; !source.AtEOF(); source.MoveNext(), ++copied) {
        target.AddNew();
        for (const QString &column : source.columnNames())
            target.Fields(column).setValue(source.Fields(column).Value());
        target.Update();
    }
    return copied;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: makedb <output file> <content directory>\n");
        return 2;
    }
    const QString output = args.at(1);
    const QString temporary = output + QStringLiteral(".new");
    try {
        const QList<content::Item> items = content::readDirectory(args.at(2));
        QFile::remove(temporary);
        {
            dao::Database db = assessmentdb::create(temporary);
            dao::Transaction tx(db);
            dao::Recordset rs = db.OpenRecordset(QStringLiteral("test"));
            for (const content::Item &item : items) {
                rs.AddNew();
                rs.Fields(QStringLiteral("age")).setValue(item.age);
                rs.Fields(QStringLiteral("item")).setValue(item.item);
                rs.Fields(QStringLiteral("howto")).setValue(item.howto ? QVariant(*item.howto) : QVariant());
                rs.Fields(QStringLiteral("disp")).setValue(item.disp);
                for (int o = 0; o < 4; ++o) {
                    const auto &opt = item.opt[static_cast<size_t>(o)];
                    rs.Fields(QStringLiteral("opt%1").arg(o + 1)).setValue(opt ? QVariant(*opt) : QVariant());
                }
                rs.Fields(QStringLiteral("clas")).setValue(item.clas);
                rs.Fields(QStringLiteral("fen")).setValue(item.fen);
                rs.Update();
            }
            if (QFile::exists(output)) {
                dao::Database old = dao::DBEngine::OpenDatabase(output, true, true, assessmentdb::kConnect);
                const int users = copyRows(old, db, QStringLiteral("user"));
                const int records = copyRows(old, db, QStringLiteral("testrecord"));
                std::printf(
                    "makedb: kept %d children and %d monthly records of the existing database\n", users, records);
            }
            tx.Commit();
        }
        // The new file takes the old one's place in one step: at no moment is
        // there no database.
        std::error_code error;
        std::filesystem::rename(
            QFile::encodeName(temporary).toStdString(), QFile::encodeName(output).toStdString(), error);
        if (error) {
            std::fprintf(stderr, "makedb: cannot write %s: %s\n", qPrintable(output), error.message().c_str());
            QFile::remove(temporary);
            return 1;
        }
        std::printf("makedb: %lld items written to %s\n", static_cast<long long>(items.size()), qPrintable(output));
        return 0;
    } catch (const dao::DbError &e) {
        std::fprintf(stderr, "makedb: error %d: %s\n", e.number(), e.description().toUtf8().constData());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "makedb: %s\n", e.what());
    }
    QFile::remove(temporary);
    return 1;
}
