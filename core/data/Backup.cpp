#include "Backup.h"

#include "AssessmentDb.h"
#include "Schema.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace backup {

namespace {

constexpr int kNewestKept = 10;
constexpr int kMonthsKept = 12;

const QString kFolder = QStringLiteral("backups");
const QString kSuffix = QStringLiteral(".mdb");
const QString kMark = QStringLiteral(".changed");
const QString kKeptBeforeRestore = QStringLiteral("-恢复前");
const QString kStamp = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// The name of an automatic backup: its moment, and a number when two are
// made within the same second.
const QRegularExpression &automaticName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:-(\\d+))?\\.mdb$"));
    return name;
}

int count(dao::Database &db, const QString &table)
{
    return db.OpenRecordset(QStringLiteral("SELECT count(*) FROM %1").arg(table)).Fields(0).Value().toInt();
}

Contents contentsOf(dao::Database &db)
{
    return {count(db, schema::user::kTable), count(db, schema::testrecord::kTable),
        db.OpenRecordset(QStringLiteral("PRAGMA user_version")).Fields(0).Value().toInt()};
}

QString readAll(const QString &file, QByteArray &bytes)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError ? QString() : f.errorString();
}

// A free name in the folder for a copy made at a moment, with a label.
QString freeName(const QString &folder, const QDateTime &when, const QString &label)
{
    const QString base = QDir(folder).filePath(when.toString(kStamp));
    for (int n = 1;; ++n) {
        const QString name = base + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + label + kSuffix;
        if (!QFileInfo::exists(name))
            return name;
    }
}

QString partOf(const QString &target)
{
    const QFileInfo info(target);
    return info.absoluteDir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".part"));
}

void note(const QString &sentence)
{
    std::fprintf(stderr, "childgrowth: %s\n", sentence.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace

QString folderOf(const QString &database)
{
    return QFileInfo(database).absoluteDir().filePath(kFolder);
}

QList<Entry> list(const QString &folder)
{
    struct Found {
        Entry entry;
        int number;
    };
    QList<Found> found;
    for (const QString &name : QDir(folder).entryList({QLatin1Char('*') + kSuffix}, QDir::Files)) {
        const auto match = automaticName().match(name);
        if (!match.hasMatch())
            continue;
        const QDateTime made = QDateTime::fromString(match.captured(1), kStamp);
        if (made.isValid())
            found.append({{QDir(folder).filePath(name), made}, match.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.entry.made != b.entry.made ? a.entry.made > b.entry.made : a.number > b.number;
    });
    QList<Entry> entries;
    for (const Found &f : found)
        entries.append(f.entry);
    return entries;
}

QList<Entry> surplus(const QList<Entry> &newestFirst, const QDate &today)
{
    const int thisMonth = today.year() * 12 + today.month();
    QList<int> monthsSeen;
    QList<Entry> removed;
    for (qsizetype i = 0; i < newestFirst.size(); ++i) {
        const QDate made = newestFirst.at(i).made.date();
        const int month = made.year() * 12 + made.month();
        const bool newestOfItsMonth = !monthsSeen.contains(month);
        monthsSeen.append(month);
        if (i < kNewestKept || (newestOfItsMonth && month <= thisMonth && month > thisMonth - kMonthsKept))
            continue;
        removed.append(newestFirst.at(i));
    }
    return removed;
}

Contents inspect(const QString &file)
{
    dao::Database copy = dao::DBEngine::OpenDatabase(file, true, true, assessmentdb::kConnect);
    return contentsOf(copy);
}

QString writeCopy(dao::Database &db, const QString &target, bool replace)
{
    const QString absolute = QFileInfo(target).absoluteFilePath();
    if (!replace && QFileInfo::exists(absolute))
        return QStringLiteral("文件已经存在");
    QByteArray bytes;
    if (const QString error = readAll(db.path(), bytes); !error.isEmpty())
        return error;
    const Contents original = contentsOf(db);

    const QString part = partOf(absolute);
    if (const QString error = platform::writeDurably(part, bytes); !error.isEmpty())
        return error;
    QString problem;
    try {
        if (!(inspect(part) == original))
            problem = QStringLiteral("复制的文件与原文件的记录数不同");
    } catch (const dao::DbError &e) {
        problem = QStringLiteral("复制的文件没有通过检查（错误 %1：%2）").arg(e.number()).arg(e.description());
    }
    if (problem.isEmpty()) {
        switch (platform::moveIntoPlace(part, absolute, replace, &problem)) {
        case platform::PlaceResult::Placed:
            return QString();
        case platform::PlaceResult::AlreadyThere:
            problem = QStringLiteral("文件已经存在");
            break;
        case platform::PlaceResult::Failed:
            break;
        }
    }
    QFile::remove(part);
    return problem;
}

QString writeAutomatic(dao::Database &db, const QDateTime &when, QString *reason)
{
    const QString folder = folderOf(db.path());
    if (!QDir().mkpath(folder)) {
        *reason = QStringLiteral("不能建立文件夹“%1”").arg(QDir::toNativeSeparators(folder));
        return QString();
    }
    // Copies that a killed run left half-written; this process holds the
    // database, so no other is writing one.
    for (const QString &part : QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden))
        QFile::remove(QDir(folder).filePath(part));
    const QString target = freeName(folder, when, QString());
    *reason = writeCopy(db, target, false);
    if (!reason->isEmpty())
        return QString();
    // Only now that a newer backup is known good may older ones go; never
    // the new one, whatever the clock said when the others were made.
    for (const Entry &old : surplus(list(folder), when.date())) {
        if (old.path != target)
            QFile::remove(old.path);
    }
    return target;
}

std::optional<Entry> newestSound(const QString &database)
{
    for (const Entry &entry : list(folderOf(database))) {
        try {
            inspect(entry.path);
            return entry;
        } catch (const dao::DbError &) {
        }
    }
    return std::nullopt;
}

Keeper::Keeper(dao::Database db)
    : m_db(std::move(db))
    , m_mark(QDir(folderOf(m_db.path())).filePath(kMark))
    , m_behind(QFileInfo::exists(m_mark))
{
    const QString mark = m_mark;
    m_marked = std::make_shared<bool>(m_behind);
    m_db.beforeEachChange([mark, marked = m_marked] {
        if (*marked)
            return;
        QDir().mkpath(QFileInfo(mark).path());
        QFile f(mark);
        *marked = f.open(QIODevice::WriteOnly);
    });
}

void Keeper::backUp()
{
    const quint64 changes = m_db.changesStored();
    if (!m_behind && changes == m_backedUp)
        return;
    QString reason;
    QString written;
    try {
        written = writeAutomatic(m_db, QDateTime::currentDateTime(), &reason);
    } catch (const dao::DbError &e) {
        reason = QStringLiteral("错误 %1：%2").arg(e.number()).arg(e.description());
    }
    if (written.isEmpty()) {
        note(QStringLiteral("没有写入备份（%1）：%2。").arg(QDir::toNativeSeparators(folderOf(m_db.path())), reason));
        return;
    }
    m_behind = false;
    m_backedUp = changes;
    QFile::remove(m_mark);
    *m_marked = false;
}

Restored restore(const QString &copy, const QDateTime &when)
{
    const QString database = QFileInfo(assessmentdb::path()).absoluteFilePath();
    const bool present = QFileInfo::exists(database);
    platform::FileLock lock;
    if (present) {
        switch (lock.lock(database, false)) {
        case platform::FileLock::Result::Locked:
            break;
        case platform::FileLock::Result::InUse:
            throw dao::DbError(dao::kFileInUse,
                QStringLiteral("无法使用 '%1'；文件已在使用中。").arg(QDir::toNativeSeparators(database)));
        case platform::FileLock::Result::Failed:
            throw dao::DbError(
                dao::kCannotOpenFile, QStringLiteral("无法打开文件 '%1'。").arg(QDir::toNativeSeparators(database)));
        }
    }
    if (QFileInfo(copy).absoluteFilePath() == database || QFileInfo(copy).canonicalFilePath() == database)
        throw dao::DbError(dao::kCannotOpenFile, QStringLiteral("备份和要替换的文件是同一个文件。"));

    Restored done;
    done.contents = inspect(copy);
    if (done.contents.schema > assessmentdb::kSchemaVersion)
        throw dao::DbError(dao::kUnrecognizedFormat,
            QStringLiteral("备份 '%1' 由较新版本的程序写入（版本 %2），本程序只能使用版本 %3 及以前的文件。")
                .arg(QDir::toNativeSeparators(copy))
                .arg(done.contents.schema)
                .arg(assessmentdb::kSchemaVersion));

    auto failed = [](const QString &file, const QString &reason) {
        return dao::DbError(
            dao::kCannotOpenFile, QStringLiteral("无法写入文件 '%1'：%2").arg(QDir::toNativeSeparators(file), reason));
    };
    QByteArray bytes;
    if (const QString error = readAll(copy, bytes); !error.isEmpty())
        throw failed(copy, error);
    const QString part = partOf(database);
    if (const QString error = platform::writeDurably(part, bytes); !error.isEmpty())
        throw failed(part, error);
    struct RemovePart {
        QString path;
        ~RemovePart() { QFile::remove(path); }
    } removePart {part};
    if (!(inspect(part) == done.contents))
        throw failed(part, QStringLiteral("复制的文件与备份不同"));

    // The replaced file is kept; a journal it left goes with it, never into
    // the restored file.
    const QString folder = folderOf(database);
    QDir().mkpath(folder);
    const QString kept = freeName(folder, when, kKeptBeforeRestore);
    const QString journal = database + QStringLiteral("-journal");
    bool journalMoved = false;
    if (present) {
        QByteArray old;
        QString reason = readAll(database, old);
        if (reason.isEmpty()
            && platform::placeNewFile(kept, partOf(kept), old, &reason) != platform::PlaceResult::Placed)
            reason = reason.isEmpty() ? QStringLiteral("文件已经存在") : reason;
        if (!reason.isEmpty())
            throw failed(kept, reason);
        done.kept = kept;
    }
    if (QFileInfo::exists(journal)) {
        QString reason;
        if (platform::moveIntoPlace(journal, kept + QStringLiteral("-journal"), false, &reason)
            != platform::PlaceResult::Placed) {
            QFile::remove(done.kept);
            throw failed(journal, reason);
        }
        journalMoved = true;
    }
    QString reason;
    if (platform::moveIntoPlace(part, database, true, &reason) != platform::PlaceResult::Placed) {
        // The family's file stays as it was, with its journal.
        QString ignored;
        if (journalMoved)
            platform::moveIntoPlace(kept + QStringLiteral("-journal"), journal, false, &ignored);
        QFile::remove(done.kept);
        throw failed(database, reason);
    }
    lock.release();
    // An older schema is brought up to date as at any start.
    assessmentdb::openAtStart();
    return done;
}

} // namespace backup
