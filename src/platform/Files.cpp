#include "Files.h"

#include "FilesInternal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

// What every system shares: the file lock's move, and the steps of placing a
// file; the lock itself, and each step's system calls, are in the system's
// own source.
namespace platform {

FileLock::~FileLock()
{
    release();
}

FileLock::FileLock(FileLock &&other) noexcept
    : m_handle(other.m_handle)
{
    other.m_handle = -1;
}

FileLock &FileLock::operator=(FileLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_handle = other.m_handle;
        other.m_handle = -1;
    }
    return *this;
}

namespace {

using internal::Kind;

// A name as the system reaches it: every link resolved where it exists,
// else its folder resolved and the last part as it is (a file that is not
// there yet has a name too).
QString reached(const QString &path)
{
    const QFileInfo info(QFileInfo(path).absoluteFilePath());
    if (const QString canonical = info.canonicalFilePath(); !canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir::cleanPath((folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName());
}

// The target is a guarded file (by any name), or lies in a guarded folder,
// whether that folder is there yet or not.
bool isGuarded(const QString &target, const QStringList &guarded)
{
    const QString name = reached(target);
    for (const QString &g : guarded) {
        if (g.isEmpty())
            continue;
        const QString other = reached(g);
        if (name == other || name.startsWith(other + QLatin1Char('/')) || internal::sameFile(target, g))
            return true;
    }
    return false;
}

// A hidden name beside the target, short enough for any folder that holds
// the target's name.
QString partBeside(const QString &target)
{
    const QFileInfo info(target);
    constexpr int kNameMax = 255;
    QString name = QLatin1Char('.') + info.fileName() + QStringLiteral(".part");
    if (QFile::encodeName(name).size() > kNameMax)
        name = QStringLiteral(".childgrowth-%1.part").arg(QCoreApplication::applicationPid());
    return info.absoluteDir().filePath(name);
}

Outcome failedWith(const internal::Failure &failure)
{
    return {failure.full ? Placed::DiskFull : Placed::Failed, failure.reason};
}

} // namespace

Outcome placeFile(const QString &target, const QByteArray &bytes, const Placing &how)
{
    const QString absolute = QFileInfo(target).absoluteFilePath();
    const Kind kind = internal::kindOf(absolute);
    if (kind == Kind::Folder)
        return {Placed::Folder, {}};
    if (kind == Kind::Link)
        return {Placed::Link, {}};
    if (kind == Kind::Other)
        return {Placed::NotAFile, {}};
    // A guarded file is refused as such, never as one that could be replaced.
    if (isGuarded(absolute, how.guarded))
        return {Placed::Guarded, {}};
    if (kind == Kind::File && !how.replace)
        return {Placed::Exists, {}};

    const QString part = how.part.isEmpty() ? partBeside(absolute) : how.part;
    if (const internal::Failure written = internal::writeNew(part, bytes); written.failed())
        return failedWith(written);
    // From here on the part goes, unless it took the name.
    auto removePart = qScopeGuard([&part] { QFile::remove(part); });
    if (how.beforePlacing) {
        if (const QString refused = how.beforePlacing(part); !refused.isEmpty())
            return {Placed::Refused, refused};
    }
    bool existed = false;
    const internal::Failure moved = internal::moveOver(part, absolute, how.replace, &existed);
    if (moved.failed() || existed)
        return existed ? Outcome {Placed::Exists, {}} : failedWith(moved);
    removePart.dismiss();
    return {};
}

} // namespace platform
