#include "Backup.h"

#include "AssessmentDb.h"
#include "Schema.h"
#include "UserFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

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

// The name of a copy: its moment, a number when two are made within the
// same second, and the label of a copy kept on a restore.
const QRegularExpression &copyName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:-(\\d+))?(-恢复前)?\\.mdb$"));
    return name;
}

int count(dao::Database &db, const QString &table)
{
    return db.OpenRecordset(QStringLiteral("SELECT count(*) FROM %1").arg(table)).Fields(0).Value().toInt();
}

Contents contentsOf(dao::Database &db)
{
    return {count(db, schema::user::kTable), count(db, schema::testrecord::kTable),
        db.OpenRecordset(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NOT NULL")
                             .arg(schema::testrecord::kTable, schema::testrecord::score(1)))
            .Fields(0)
            .Value()
            .toInt(),
        db.OpenRecordset(QStringLiteral("PRAGMA user_version")).Fields(0).Value().toInt()};
}

QString journalOf(const QString &file)
{
    return file + QStringLiteral("-journal");
}

QString readAll(const QString &file, QByteArray &bytes)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return f.errorString();
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError ? QString() : f.errorString();
}

// A free name in the folder for a copy made at a moment, with a label; free
// of a journal too, which would be taken for the new copy's.
QString freeName(const QString &folder, const QDateTime &when, const QString &label)
{
    const QString base = QDir(folder).filePath(when.toString(kStamp));
    for (int n = 1;; ++n) {
        const QString name = base + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + label + kSuffix;
        if (!QFileInfo(name).exists() && !QFileInfo(name).isSymLink() && !QFileInfo::exists(journalOf(name)))
            return name;
    }
}

QString partOf(const QString &target)
{
    const QFileInfo info(target);
    return info.absoluteDir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".part"));
}

[[noreturn]] void cannotWrite(const QString &file, const platform::Outcome &outcome)
{
    throw dao::DbError(dao::kCannotOpenFile,
        QStringLiteral("无法写入文件 '%1'：%2").arg(QDir::toNativeSeparators(file), userfiles::why(outcome)));
}

// A file and the journal beside it, as bytes; no journal, no bytes.
struct FileBytes {
    QByteArray file;
    QByteArray journal;
    bool hasJournal = false;
};

FileBytes readWithJournal(const QString &file)
{
    FileBytes read;
    QString error = readAll(file, read.file);
    read.hasJournal = error.isEmpty() && QFileInfo::exists(journalOf(file));
    if (read.hasJournal)
        error = readAll(journalOf(file), read.journal);
    if (!error.isEmpty())
        throw dao::DbError(
            dao::kCannotOpenFile, QStringLiteral("无法读取文件 '%1'：%2").arg(QDir::toNativeSeparators(file), error));
    return read;
}

// Writes the bytes at target, over a file there only with replace, the
// journal first: a copy never has its name without the journal that belongs
// to it.
void placeWithJournal(const QString &target, const FileBytes &bytes, bool replace)
{
    platform::Placing over;
    over.replace = replace;
    QFile::remove(journalOf(target));
    if (bytes.hasJournal) {
        if (const platform::Outcome placed = platform::placeFile(journalOf(target), bytes.journal, over);
            !placed.done())
            cannotWrite(journalOf(target), placed);
    }
    if (const platform::Outcome placed = platform::placeFile(target, bytes.file, over); !placed.done())
        cannotWrite(target, placed);
}

std::optional<Contents> checked(const QString &file)
{
    try {
        return inspect(file);
    } catch (const dao::DbError &) {
        return std::nullopt;
    }
}

// What the checks of earlier rotations found in each copy, kept in the
// folder: a copy whose size and time of writing are as they were when it was
// checked is not opened again.
struct Recorded {
    QString stamp;
    std::optional<Contents> contents;
};

const QString kRecord = QStringLiteral(".checked");

QString stampOf(const QString &file)
{
    const QFileInfo info(file);
    return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

QHash<QString, Recorded> readRecord(const QString &folder)
{
    QHash<QString, Recorded> record;
    QFile file(QDir(folder).filePath(kRecord));
    if (!file.open(QIODevice::ReadOnly))
        return record;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() == 6)
            record.insert(
                f.at(0), {f.at(1), Contents {f.at(2).toInt(), f.at(3).toInt(), f.at(4).toInt(), f.at(5).toInt()}});
        else if (f.size() == 2)
            record.insert(f.at(0), {f.at(1), std::nullopt});
    }
    return record;
}

void writeRecord(const QString &folder, const QHash<QString, Recorded> &record)
{
    QByteArray text;
    for (auto it = record.begin(); it != record.end(); ++it) {
        QStringList f {it.key(), it->stamp};
        if (const auto &c = it->contents)
            f << QString::number(c->children) << QString::number(c->months) << QString::number(c->scored)
              << QString::number(c->schema);
        text += f.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    platform::Placing over;
    over.replace = true;
    platform::placeFile(QDir(folder).filePath(kRecord), text, over);
}

bool nameLater(const Entry &a, const Entry &b)
{
    return a.made != b.made ? a.made > b.made : a.number > b.number;
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

QList<Entry> list(const QString &folder, bool withKept)
{
    QList<Entry> entries;
    for (const QString &name : QDir(folder).entryList({QLatin1Char('*') + kSuffix}, QDir::Files)) {
        const auto match = copyName().match(name);
        const bool kept = match.hasMatch() && !match.captured(3).isEmpty();
        if (!match.hasMatch() || (kept && !withKept))
            continue;
        const QDateTime made = QDateTime::fromString(match.captured(1), kStamp);
        if (made.isValid())
            entries.append({QDir(folder).filePath(name), made, std::max(1, match.captured(2).toInt()), kept});
    }
    std::sort(entries.begin(), entries.end(), nameLater);
    return entries;
}

bool madeLater(const Checked &a, const Checked &b)
{
    const Contents none;
    const Contents &x = a.contents ? *a.contents : none;
    const Contents &y = b.contents ? *b.contents : none;
    if (x.months != y.months)
        return x.months > y.months;
    if (x.children != y.children)
        return x.children > y.children;
    if (x.scored != y.scored)
        return x.scored > y.scored;
    return nameLater(a.entry, b.entry);
}

QList<Entry> surplus(const QList<Checked> &copies)
{
    QList<Checked> sound;
    for (const Checked &copy : copies) {
        if (copy.contents && !copy.entry.keptOnRestore)
            sound.append(copy);
    }
    QList<Checked> byMaking = sound;
    std::sort(byMaking.begin(), byMaking.end(), madeLater);
    std::sort(
        sound.begin(), sound.end(), [](const Checked &a, const Checked &b) { return nameLater(a.entry, b.entry); });
    QSet<QString> kept;
    for (qsizetype i = 0; i < std::min<qsizetype>(kNewestKept, sound.size()); ++i)
        kept << sound.at(i).entry.path << byMaking.at(i).entry.path;

    QList<int> months;
    QList<Entry> removed;
    for (const Checked &copy : std::as_const(sound)) {
        if (kept.contains(copy.entry.path))
            continue;
        const QDate made = copy.entry.made.date();
        const int month = made.year() * 12 + made.month();
        if (!months.contains(month) && months.size() < kMonthsKept)
            months.append(month);
        else
            removed.append(copy.entry);
    }
    return removed;
}

Contents inspect(const QString &file)
{
    if (!QFileInfo::exists(journalOf(file))) {
        dao::Database copy = dao::DBEngine::OpenDatabase(file, true, true, assessmentdb::kConnect);
        assessmentdb::requireTables(copy);
        return contentsOf(copy);
    }
    // A journal beside the copy belongs to it: the engine plays it back when
    // the copy is used, so the copy is looked at the same way, on a private
    // copy of both that the engine may write.
    const QTemporaryDir scratch;
    const QString played = QDir(scratch.path()).filePath(assessmentdb::kFileName);
    placeWithJournal(played, readWithJournal(file), false);
    dao::Database copy = dao::DBEngine::OpenDatabase(played, true, false, assessmentdb::kConnect);
    assessmentdb::requireTables(copy);
    return contentsOf(copy);
}

platform::Outcome writeCopy(dao::Database &db, const QString &target, bool replace, const QStringList &guarded)
{
    platform::Placing how;
    how.replace = replace;
    how.guarded = guarded;
    how.beforePlacing = [original = contentsOf(db)](const QString &part) {
        try {
            if (!(inspect(part) == original))
                return QStringLiteral("复制的文件与原文件的记录数不同");
        } catch (const dao::DbError &e) {
            return QStringLiteral("复制的文件没有通过检查（错误 %1：%2）").arg(e.number()).arg(e.description());
        }
        return QString();
    };
    QByteArray bytes;
    if (const QString error = readAll(db.path(), bytes); !error.isEmpty())
        return {platform::Placed::Failed, error};
    return platform::placeFile(target, bytes, how);
}

QString writeAutomatic(dao::Database &db, const QDateTime &when, QString *reason)
{
    const QString folder = folderOf(db.path());
    // The family's copies are the user's alone; a disk that keeps no modes
    // takes them as it can.
    platform::makePrivateFolder(folder);
    if (!QFileInfo(folder).isDir()) {
        *reason = QStringLiteral("不能建立文件夹“%1”").arg(QDir::toNativeSeparators(folder));
        return QString();
    }
    // Copies that a killed run left half-written; this process holds the
    // database, so no other is writing one.
    for (const QString &part : QDir(folder).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden))
        QFile::remove(QDir(folder).filePath(part));
    const QString target = freeName(folder, when, QString());
    if (const platform::Outcome written = writeCopy(db, target, false); !written.done()) {
        *reason = userfiles::why(written);
        return QString();
    }
    // Only now that a newer backup is known good may older ones go, and
    // only for copies that pass the check themselves; never the new one.
    const QList<Entry> automatic = list(folder);
    if (automatic.size() <= kNewestKept)
        return target;
    const QHash<QString, Recorded> recorded = readRecord(folder);
    QHash<QString, Recorded> record;
    QList<Checked> copies;
    for (const Entry &entry : automatic) {
        const QString name = QFileInfo(entry.path).fileName();
        Recorded found {stampOf(entry.path), std::nullopt};
        if (entry.path == target)
            found.contents = contentsOf(db);
        else if (recorded.contains(name) && recorded.value(name).stamp == found.stamp)
            found.contents = recorded.value(name).contents;
        else
            found.contents = checked(entry.path);
        record.insert(name, found);
        copies.append({entry, found.contents});
    }
    for (const Entry &old : surplus(copies)) {
        if (old.path != target && QFile::remove(old.path))
            record.remove(QFileInfo(old.path).fileName());
    }
    writeRecord(folder, record);
    return target;
}

std::optional<Entry> newestSound(const QString &database)
{
    std::optional<Checked> newest;
    for (const Entry &entry : list(folderOf(database), true)) {
        const Checked copy {entry, checked(entry.path)};
        if (copy.contents && (!newest || madeLater(copy, *newest)))
            newest = copy;
    }
    return newest ? std::optional(newest->entry) : std::nullopt;
}

void clearLeftovers(const QString &database)
{
    platform::FileLock lock;
    if (!QFileInfo(database).isFile() || lock.lock(database, false) != platform::FileLock::Result::Locked)
        return;
    const QString part = partOf(database);
    QFile::remove(part);
    QFile::remove(journalOf(part));
    const QDir folder(folderOf(database));
    for (const QString &name :
        folder.entryList({QStringLiteral(".*.part"), QStringLiteral(".*.part-journal")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
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
        platform::makePrivateFolder(QFileInfo(mark).path());
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

namespace {

// The family's file held for the restore: opened as the application opens
// it, which plays back a journal a killed run left; a file the engine cannot
// use is held by a lock alone, its journal (if any) kept with it.
struct Held {
    dao::Database db;
    platform::FileLock lock;
};

[[noreturn]] void inUse(const QString &database)
{
    throw dao::DbError(
        dao::kFileInUse, QStringLiteral("无法使用 '%1'；文件已在使用中。").arg(QDir::toNativeSeparators(database)));
}

void hold(const QString &database, Held &held)
{
    try {
        held.db = dao::DBEngine::OpenDatabase(database, true, false, assessmentdb::kConnect);
        return;
    } catch (const dao::DbError &e) {
        if (e.number() == dao::kFileInUse)
            throw;
    }
    switch (held.lock.lock(database, false)) {
    case platform::FileLock::Result::Locked:
        break;
    case platform::FileLock::Result::InUse:
        inUse(database);
    case platform::FileLock::Result::Failed:
        throw dao::DbError(
            dao::kCannotOpenFile, QStringLiteral("无法打开文件 '%1'。").arg(QDir::toNativeSeparators(database)));
    }
}

} // namespace

Restored restore(const QString &copy, const QDateTime &when)
{
    const QString database = QFileInfo(assessmentdb::path()).absoluteFilePath();
    if (QFileInfo(copy).absoluteFilePath() == database || QFileInfo(copy).canonicalFilePath() == database)
        throw dao::DbError(dao::kCannotOpenFile, QStringLiteral("备份和要替换的文件是同一个文件。"));
    const bool present = QFileInfo(database).isFile();
    Held held;
    if (present)
        hold(database, held);

    Restored done;
    done.contents = inspect(copy);
    if (done.contents.schema > assessmentdb::kSchemaVersion)
        throw dao::DbError(dao::kUnrecognizedFormat,
            QStringLiteral("备份 '%1' 由较新版本的程序写入（版本 %2），本程序只能使用版本 %3 及以前的文件。")
                .arg(QDir::toNativeSeparators(copy))
                .arg(done.contents.schema)
                .arg(assessmentdb::kSchemaVersion));
    const FileBytes restored = readWithJournal(copy);
    const FileBytes old = present ? readWithJournal(database) : FileBytes();

    // The copy beside the family's file, under a name of its own: opened as
    // at start (its journal played back, the file checked and brought up to
    // date), then the replaced file kept, and only then the name taken.
    // What an earlier restore left there is no part of this one: a journal
    // left beside the part would be played into it.
    const QString part = partOf(database);
    QFile::remove(journalOf(part));
    if (restored.hasJournal) {
        platform::Placing journal;
        journal.replace = true;
        if (const platform::Outcome placed = platform::placeFile(journalOf(part), restored.journal, journal);
            !placed.done())
            cannotWrite(journalOf(part), placed);
    }
    std::optional<dao::DbError> failure;
    platform::Placing how;
    how.replace = true;
    how.part = part;
    how.beforePlacing = [&](const QString &) {
        try {
            assessmentdb::openAtStart(part);
            QFile::remove(journalOf(part));
            if (present) {
                const QString folder = folderOf(database);
                platform::makePrivateFolder(folder);
                done.kept = freeName(folder, when, kKeptBeforeRestore);
                placeWithJournal(done.kept, old, false);
            }
            // A journal the engine could not play back stays with the kept
            // file; beside the restored one it would be played into it.
            if (old.hasJournal)
                QFile::remove(journalOf(database));
        } catch (const dao::DbError &e) {
            failure = e;
            return e.description();
        }
        return QString();
    };
    const platform::Outcome placed = platform::placeFile(database, restored.file, how);
    QFile::remove(journalOf(part));
    if (failure)
        throw *failure;
    if (!placed.done())
        cannotWrite(database, placed);

    held = Held();
    try {
        assessmentdb::openAtStart();
    } catch (const dao::DbError &e) {
        if (present)
            placeWithJournal(database, old, true);
        throw dao::DbError(e.number(),
            e.description()
                + (present ? QStringLiteral("恢复后的文件不能使用，原来的文件已经放回。")
                           : QStringLiteral("恢复后的文件不能使用。")));
    }
    return done;
}

} // namespace backup
