// Build step: creates the installed database from the schema and the
// questionnaire content files, and writes its version beside it.
//   makedb <output file> <content directory>
//   makedb --hand-over <file>   (see handOver() below)
// When the output already exists (a database that has been used), it is
// brought up to date as the application brings a user's copy up to date:
// its children and monthly records stay, the questionnaire is the new one,
// so that rebuilding or installing again never loses a family's data.

#include "FixedRandom.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Backup.h"
#include "core/data/ContentFile.h"
#include "core/data/Schema.h"
#include "core/data/UserFiles.h"
#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>

namespace {

int rowCount(dao::Database &db, const QString &table)
{
    return db.OpenRecordset(QStringLiteral("select count(*) from %1").arg(table)).Fields(0).Value().toInt();
}

// Moves a new database into place in one step: at no moment is there no database.
bool moveIntoPlace(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), error);
    if (error)
        std::fprintf(stderr, "makedb: cannot write %s: %s\n", qPrintable(to), error.message().c_str());
    return !error;
}

// Brings a database that holds records up to date with the new one: a copy
// of it is updated under a name of its own and then takes its place, as
// every copy of the family's file does.
bool updateInPlace(const QString &output, const QString &working, dao::Database &fresh)
{
    QFile used(output);
    if (!used.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read the existing database");
    platform::Placing how;
    how.replace = true;
    how.part = working;
    how.beforePlacing = [&fresh](const QString &part) {
        dao::Database copy = dao::DBEngine::OpenDatabase(part, true, false, assessmentdb::kConnect);
        assessmentdb::update(copy, fresh);
        std::printf("makedb: kept %d children and %d monthly records of the existing database\n",
            rowCount(copy, schema::user::kTable), rowCount(copy, schema::testrecord::kTable));
        return QString();
    };
    const platform::Outcome placed = platform::placeFile(output, used.readAll(), how);
    if (!placed.done())
        std::fprintf(stderr, "makedb: cannot write %s: %s\n", qPrintable(output), qPrintable(userfiles::why(placed)));
    return placed.done();
}

// An earlier install's backups go along with its records: each into the
// backups' folder of the user's own copy (a journal before the copy it
// belongs to), never over a file there, and removed from the old folder once
// it is there. Returns the files that stayed where they were.
QStringList handOverBackups(const QString &old, const QString &own)
{
    const QDir from(backup::folderOf(old));
    QStringList stayed;
    if (!from.exists())
        return stayed;
    const QDir to(backup::folderOf(own));
    platform::makePrivateFolder(to.path());
    QStringList names = from.entryList(QDir::Files | QDir::Hidden);
    std::stable_partition(
        names.begin(), names.end(), [](const QString &name) { return name.endsWith(QStringLiteral("-journal")); });
    for (const QString &name : std::as_const(names)) {
        const QString file = from.filePath(name);
        if (name.endsWith(QStringLiteral(".part"))) { // half a copy a killed run left
            QFile::remove(file);
            continue;
        }
        QFile f(file);
        if (f.open(QIODevice::ReadOnly) && platform::placeFile(to.filePath(name), f.readAll()).done())
            QFile::remove(file);
        else
            stayed << file;
    }
    QDir().rmdir(from.path());
    return stayed;
}

// What an earlier install for one user kept beside the program becomes the
// user's own copy, where every installed program looks for it: copied
// whole, the copy checked, its backups moved along, and only then the old
// file renamed (readable by the user alone), never removed. Exit status 0
// when the records were handed over or there were none to hand over, 3 when
// the user already has an own copy (which is left as it is; the install
// goes on using the old file and brings it up to date), 1 on failure
// (nothing changed).
int handOver(const QString &old)
{
    const QString own = assessmentdb::ownPath();
    int children = 0;
    int months = 0;
    {
        // Held while it is copied: a program still running on it cannot
        // write it meanwhile.
        dao::Database db = dao::DBEngine::OpenDatabase(old, true, false, assessmentdb::kConnect);
        children = rowCount(db, schema::user::kTable);
        months = rowCount(db, schema::testrecord::kTable);
        if (children == 0 && months == 0)
            return 0;
        if (QFileInfo::exists(own)) {
            std::printf("The family's records are in two files:\n"
                        "  %s (this install's own: it keeps using it, and the install brings its questionnaire\n"
                        "      up to date, every record kept)\n"
                        "  %s (the one every installed program uses, not changed)\n"
                        "Keep the one you want, move the other away and install again to use it everywhere.\n",
                qPrintable(old), qPrintable(own));
            return 3;
        }
        // Copied as a backup is: durable, checked, never over a file that
        // another program made meanwhile.
        QString reason = platform::makePrivateFolder(QFileInfo(own).absolutePath());
        if (reason.isEmpty()) {
            const platform::Outcome written = backup::writeCopy(db, own, false);
            reason = userfiles::why(written);
        }
        if (!reason.isEmpty())
            throw std::runtime_error(qPrintable(QStringLiteral("cannot write %1: %2").arg(own, reason)));
    }
    const QStringList stayed = handOverBackups(old, own);
    // An older moved file is never replaced.
    QString moved = old + QStringLiteral(".moved");
    for (int n = 2; QFileInfo::exists(moved); ++n)
        moved = old + QStringLiteral(".moved-%1").arg(n);
    if (!QFile::rename(old, moved))
        throw std::runtime_error(
            qPrintable(QStringLiteral("cannot rename %1 (it has been copied to %2)").arg(old, own)));
    platform::makePrivateFile(moved);
    std::printf("The family's records (%d children, %d monthly records) moved to %s,\n"
                "where every installed program keeps them, with their backups; the old file is kept as %s.\n",
        children, months, qPrintable(own), qPrintable(moved));
    if (!stayed.isEmpty())
        std::printf("These backups could not be moved and stay where they are:\n  %s\n",
            qPrintable(stayed.join(QStringLiteral("\n  "))));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QStringLiteral("--hand-over")) {
        try {
            return handOver(args.at(2));
        } catch (const dao::DbError &e) {
            std::fprintf(stderr, "makedb: error %d: %s\n", e.number(), e.description().toUtf8().constData());
        } catch (const std::exception &e) {
            std::fprintf(stderr, "makedb: %s\n", e.what());
        }
        return 1;
    }
    if (args.size() != 3) {
        std::fprintf(stderr,
            "usage: makedb <output file> <content directory>\n"
            "       makedb --hand-over <file beside an installed program>\n");
        return 2;
    }
    const QString output = args.at(1);
    const QString temporary = output + QStringLiteral(".new");
    const QString working = output + QStringLiteral(".work");
    try {
        const QList<content::Item> items = content::readDirectory(args.at(2));
        QFile::remove(temporary);
        QFile::remove(working);
        assessmentdb::Version version;
        bool updatedInPlace = false;
        {
            // The new file is the same in every build of the same content.
            std::optional<fixedrandom::Scope> fixed(std::in_place);
            dao::Database db = assessmentdb::create(temporary);
            dao::Transaction tx(db);
            dao::Recordset rs = db.OpenRecordset(schema::test::kTable);
            for (const content::Item &item : items) {
                rs.AddNew();
                rs.Fields(schema::test::kAge).setValue(item.age);
                rs.Fields(schema::test::kItem).setValue(item.item);
                rs.Fields(schema::test::kHowTo).setValue(item.howto ? QVariant(*item.howto) : QVariant());
                rs.Fields(schema::test::kGoal).setValue(item.disp);
                for (int o = 0; o < content::kOptionCount; ++o) {
                    const auto &opt = item.opt[static_cast<size_t>(o)];
                    rs.Fields(schema::test::option(o + 1)).setValue(opt ? QVariant(*opt) : QVariant());
                }
                rs.Fields(schema::test::kClass).setValue(item.clas);
                rs.Fields(schema::test::kPoints).setValue(item.fen);
                rs.Update();
            }
            version = assessmentdb::writeVersion(db);
            tx.Commit();
            fixed.reset();

            if (QFile::exists(output)) {
                // Held until the updated copy has taken its place: the
                // application cannot start on it meanwhile.
                dao::Database used = dao::DBEngine::OpenDatabase(output, true, false, assessmentdb::kConnect);
                if (!updateInPlace(output, working, db)) {
                    QFile::remove(temporary);
                    return 1;
                }
                updatedInPlace = true;
            }
        }
        if (updatedInPlace) {
            QFile::remove(temporary);
        } else if (!moveIntoPlace(temporary, output)) {
            QFile::remove(temporary);
            return 1;
        }
        // The version beside the file lets the application see, without
        // opening it, whether a user's copy is up to date.
        QSaveFile stamp(assessmentdb::versionFilePath(output));
        if (!stamp.open(QIODevice::WriteOnly) || stamp.write(version.toString().toUtf8() + '\n') < 0
            || !stamp.commit()) {
            std::fprintf(stderr, "makedb: cannot write %s\n", qPrintable(stamp.fileName()));
            return 1;
        }
        std::printf("makedb: %lld items written to %s\n", static_cast<long long>(items.size()), qPrintable(output));
        return 0;
    } catch (const dao::DbError &e) {
        std::fprintf(stderr, "makedb: error %d: %s\n", e.number(), e.description().toUtf8().constData());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "makedb: %s\n", e.what());
    }
    QFile::remove(working);
    QFile::remove(temporary);
    return 1;
}
