#include "RecordsCommands.h"

#include "RestoreList.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Backup.h"
#include "core/data/Dao.h"
#include "core/data/Records.h"
#include "core/data/UserFiles.h"
#include "core/reports/RecordsTable.h"
#include "platform/Files.h"
#include "ui/AppInfo.h"
#include "ui/CommandOutput.h"
#include "ui/FileChooser.h"
#include "ui/Messages.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <cstdlib>

namespace recordscommands {

namespace {

using cli::fail;
using cli::say;

QString shown(const QString &file)
{
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
}

QString inUse(const QString &doing)
{
    return QStringLiteral("数据库正被%1使用，请先退出程序再%2。").arg(appinfo::kTitle, doing);
}

QString engineFailure(const dao::DbError &e, const QString &outcome)
{
    return QStringLiteral("读取数据库时出错（错误 %1：%2），%3。").arg(e.number()).arg(e.description(), outcome);
}

QString holding(const backup::Contents &contents)
{
    return QStringLiteral("%1 个孩子、%2 个月的记录").arg(contents.children).arg(contents.months);
}

// A name in the folder that nothing has yet (not even a link to nothing):
// base, then base-2, base-3 …, with the suffix.
QString freeName(const QString &folder, const QString &base, const QString &suffix)
{
    for (int n = 1;; ++n) {
        const QString name = QDir(folder).filePath(base + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + suffix);
        if (!QFileInfo(name).exists() && !QFileInfo(name).isSymLink())
            return name;
    }
}

// When a backup was made: as known, else from its name when it is an
// automatic one, else the time it was last written.
QString madeAt(const QString &file, const QDateTime &known = {})
{
    QDateTime made = known.isValid() ? known : QFileInfo(file).lastModified();
    for (const backup::Entry &entry : backup::list(QFileInfo(file).absolutePath())) {
        if (!known.isValid() && QFileInfo(entry.path) == QFileInfo(file))
            made = entry.made;
    }
    return QLocale(QLocale::Chinese).toString(made, QStringLiteral("yyyy年M月d日 HH:mm"));
}

// How to replace a file that is there: on the command line, and where a
// dialog chose the name (the desktop's actions never replace a file).
const QString kForceHint = QStringLiteral("；要替换它，请加上 --force");
const QString kOtherName = QStringLiteral("；请换一个名字");

// Why a file cannot be restored, in one sentence; empty when it can.
QString unusableBackup(const QString &file, backup::Contents *contents)
{
    const QFileInfo info(file);
    if (!info.exists())
        return QStringLiteral("找不到备份文件“%1”，没有恢复。").arg(shown(file));
    if (info.isDir())
        return QStringLiteral("“%1”是文件夹，请给出备份文件的名字，没有恢复。").arg(shown(file));
    if (!info.isFile())
        return QStringLiteral("“%1”不是普通的文件，而是设备或管道，没有恢复。").arg(shown(file));
    try {
        *contents = backup::inspect(file);
    } catch (const dao::DbError &e) {
        if (e.isTruncated())
            return QStringLiteral("备份“%1”不完整：文件后面的部分缺失（没有写完或没有复制完），没有恢复。")
                .arg(shown(file));
        if (e.number() == dao::kDamagedFile)
            return QStringLiteral("备份“%1”已损坏，没有恢复。").arg(shown(file));
        if (e.number() == dao::kCannotOpenFile || e.number() == dao::kFileInUse)
            return QStringLiteral("无法读取备份“%1”（%2），没有恢复。").arg(shown(file), e.description());
        if (e.number() == dao::kTableNotFound || e.number() == dao::kItemNotFound)
            return QStringLiteral("备份“%1”缺少本程序需要的表或字段（%2），没有恢复。")
                .arg(shown(file), e.description());
        return QStringLiteral("“%1”不是本程序的备份：不能用本程序的密码打开，或者没有本程序的记录，没有恢复。")
            .arg(shown(file));
    }
    if (contents->schema > assessmentdb::kSchemaVersion)
        return QStringLiteral("备份“%1”由较新版本的程序写入，本程序不能使用它，没有恢复。").arg(shown(file));
    return QString();
}

int restoreChecked(const QString &file)
{
    try {
        const backup::Restored restored = backup::restore(file, QDateTime::currentDateTime());
        QString text = QStringLiteral("已从“%1”恢复%2。").arg(shown(file), holding(restored.contents));
        if (!restored.kept.isEmpty())
            text += QStringLiteral("原来的文件保存为“%1”。").arg(shown(restored.kept));
        say(text);
        return EXIT_SUCCESS;
    } catch (const dao::DbError &e) {
        if (e.number() == dao::kFileInUse)
            return fail(inUse(QStringLiteral("恢复备份")));
        return fail(QStringLiteral("恢复时出错（错误 %1：%2），没有恢复。").arg(e.number()).arg(e.description()));
    }
}

int exportInto(const QString &target, const std::optional<QString> &child, bool replace, const QString &existsHint)
{
    recordstable::Table table;
    bool childFound = true;
    try {
        dao::Database db = assessmentdb::openAtStart();
        table = recordstable::read(db, child);
        childFound = !child || records::childExists(db, *child);
    } catch (const dao::DbError &e) {
        if (e.number() == dao::kFileInUse)
            return fail(inUse(QStringLiteral("导出")));
        return fail(engineFailure(e, QStringLiteral("没有导出")));
    }
    if (!childFound)
        return fail(QStringLiteral("没有名叫“%1”的孩子，没有导出。").arg(*child));
    if (const platform::Outcome written = userfiles::write(target, table.csv, replace); !written.done())
        return fail(userfiles::failure(written, target, QStringLiteral("没有导出"), existsHint));
    say(QStringLiteral("已导出到“%1”：%2 个月的记录。").arg(shown(target)).arg(table.months));
    return EXIT_SUCCESS;
}

int backupInto(const QString &file, bool force, const QString &existsHint)
{
    try {
        dao::Database db = assessmentdb::openAtStart();
        const platform::Outcome written = backup::writeCopy(db, file, force, userfiles::guarded());
        if (!written.done())
            return fail(userfiles::failure(written, file, QStringLiteral("没有备份"), existsHint));
        say(QStringLiteral("已备份到“%1”：%2。").arg(shown(file), holding(backup::inspect(file))));
        return EXIT_SUCCESS;
    } catch (const dao::DbError &e) {
        if (e.number() == dao::kFileInUse)
            return fail(inUse(QStringLiteral("备份")));
        return fail(engineFailure(e, QStringLiteral("没有备份")));
    }
}

} // namespace

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

int backupTo(const QString &file, bool force)
{
    return backupInto(file, force, kForceHint);
}

int restoreFrom(const QString &file)
{
    backup::Contents contents;
    if (const QString problem = unusableBackup(file, &contents); !problem.isEmpty())
        return fail(problem);
    return restoreChecked(file);
}

int exportTo(const QString &file, const std::optional<QString> &child, bool force)
{
    return exportInto(QFileInfo(file).absoluteFilePath(), child, force, kForceHint);
}

namespace {

// The dialogs need a desktop that shows them; anywhere else they would wait
// for an answer that never comes.
int needsDesktop(const QString &instead)
{
    return fail(QStringLiteral("这个操作要在桌面上选择文件；没有桌面时请用 %1。").arg(instead));
}

// While the program (or another command) holds the family's file, a backup
// or a restore cannot run: said before any dialog asks for a file.
bool recordsInUse()
{
    const QString database = assessmentdb::path();
    platform::FileLock lock;
    return QFileInfo::exists(database) && lock.lock(database, false) == platform::FileLock::Result::InUse;
}

} // namespace

int backupWithDialog()
{
    if (recordsInUse())
        return fail(inUse(QStringLiteral("备份")));
    if (!cli::startedFromDesktop())
        return needsDesktop(QStringLiteral("childgrowth --backup 文件"));
    // Proposed in the documents folder (the home folder when there is none
    // yet, rather than wherever the desktop started the program), under a
    // name nothing has. A file that is there is never replaced from the
    // desktop: the dialog does not offer it, and the backup refuses it.
    const QString documents = documentsFolder();
    const QString proposed = freeName(QFileInfo(documents).isDir() ? documents : QDir::homePath(),
        QStringLiteral("禾岚备份-%1").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))),
        QStringLiteral(".mdb"));
    const QString file
        = filechooser::save(nullptr, QStringLiteral("备份数据"), proposed, QStringLiteral("数据备份 (*.mdb)"));
    if (file.isEmpty())
        return EXIT_SUCCESS;
    return backupInto(file, false, kOtherName);
}

int restoreWithDialog()
{
    if (recordsInUse())
        return fail(inUse(QStringLiteral("恢复备份")));
    if (!cli::startedFromDesktop())
        return needsDesktop(QStringLiteral("childgrowth --restore 文件"));
    const QString documents = documentsFolder();
    RestoreList list(
        backup::folderOf(assessmentdb::path()), QFileInfo(documents).isDir() ? documents : QDir::homePath());
    if (list.exec() != QDialog::Accepted)
        return EXIT_SUCCESS;
    const QString file = list.chosenFile();
    backup::Contents contents;
    if (const QString problem = unusableBackup(file, &contents); !problem.isEmpty())
        return fail(problem);
    const QString question = QStringLiteral("“%1”是 %2 的备份，保存了%3。\n\n要用它替换现在的记录吗？现在的文件会"
                                            "另存在备份文件夹中。")
                                 .arg(QFileInfo(file).fileName(), madeAt(file, list.chosenMade()), holding(contents));
    if (!messages::ask(nullptr, question))
        return EXIT_SUCCESS;
    return restoreChecked(file);
}

int exportToDocuments()
{
    platform::makeFolders(documentsFolder());
    const QString target = freeName(documentsFolder(),
        QStringLiteral("禾岚记录-%1").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))),
        QStringLiteral(".csv"));
    return exportInto(target, std::nullopt, false, kOtherName);
}

} // namespace recordscommands
