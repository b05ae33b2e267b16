#include "UserFiles.h"

#include "AssessmentDb.h"
#include "Backup.h"

#include <QDir>
#include <QFileInfo>

namespace userfiles {

QStringList guarded()
{
    QStringList files;
    for (const QString &database : {assessmentdb::path(), assessmentdb::ownPath()})
        files << database << database + QStringLiteral("-journal") << backup::folderOf(database);
    files << assessmentdb::installedPath();
    return files;
}

platform::Outcome write(const QString &target, const QByteArray &bytes, bool replace)
{
    platform::Placing how;
    how.replace = replace;
    how.guarded = guarded();
    return platform::placeFile(target, bytes, how);
}

QString why(const platform::Outcome &outcome)
{
    switch (outcome.placed) {
    case platform::Placed::Done:
        return QString();
    case platform::Placed::Exists:
        return QStringLiteral("文件已经存在");
    case platform::Placed::Folder:
        return QStringLiteral("这是一个文件夹");
    case platform::Placed::NotAFile:
        return QStringLiteral("这不是普通的文件，而是设备或管道");
    case platform::Placed::Link:
        return QStringLiteral("这是一个链接；程序不通过链接写文件，请给出文件本身的名字");
    case platform::Placed::Guarded:
        return QStringLiteral("这是程序保存孩子记录的数据库或它的备份，不能写入别的内容");
    case platform::Placed::DiskFull:
        return QStringLiteral("磁盘空间不足");
    case platform::Placed::Refused:
    case platform::Placed::Failed:
        break;
    }
    return outcome.reason;
}

QString failure(
    const platform::Outcome &outcome, const QString &target, const QString &notDone, const QString &existsHint)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath());
    switch (outcome.placed) {
    case platform::Placed::Exists:
        return QStringLiteral("“%1”已经存在%2，%3。").arg(shown, existsHint, notDone);
    case platform::Placed::Folder:
        return QStringLiteral("“%1”是文件夹，请给出文件的名字，%2。").arg(shown, notDone);
    case platform::Placed::DiskFull:
        return QStringLiteral("磁盘空间不足，无法写入“%1”，%2。").arg(shown, notDone);
    default:
        return QStringLiteral("无法写入“%1”（%2），%3。").arg(shown, why(outcome), notDone);
    }
}

} // namespace userfiles
