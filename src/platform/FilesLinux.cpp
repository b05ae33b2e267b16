#include "Files.h"

#include "FilesInternal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

FileLock::Result FileLock::lock(const QString &path, bool shared)
{
    release();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Result::Failed;
    if (::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Result::InUse : Result::Failed;
    }
    m_handle = fd;
    return Result::Locked;
}

bool FileLock::holds(const QString &path) const
{
    struct stat locked { };
    struct stat now { };
    return m_handle >= 0 && ::fstat(static_cast<int>(m_handle), &locked) == 0
        && ::stat(QFile::encodeName(path).constData(), &now) == 0 && locked.st_dev == now.st_dev
        && locked.st_ino == now.st_ino;
}

void FileLock::release()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle)); // releases the flock
    m_handle = -1;
}

namespace internal {

Kind kindOf(const QString &path)
{
    struct stat st { };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return Kind::None;
    if (S_ISLNK(st.st_mode))
        return Kind::Link;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa { };
    struct stat sb { };
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

Failure failure(int error)
{
    return {error == ENOSPC || error == EDQUOT, systemError(error)};
}

} // namespace

Failure writeNew(const QString &path, const QByteArray &bytes)
{
    const QByteArray file = QFile::encodeName(path);
    // A new file, never one through a link placed at its name: whatever is
    // there (a part an earlier process left, a link) is removed, not followed.
    ::unlink(file.constData());
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return failure(errno);
    qint64 written = 0;
    int error = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            break;
        }
        written += n;
    }
    // The data are on the disk only when the flush and the close say so.
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        return {};
    ::unlink(file.constData());
    return failure(error);
}

Failure moveOver(const QString &from, const QString &target, bool replace, bool *existed)
{
    const unsigned flags = replace ? 0 : RENAME_NOREPLACE;
    if (::renameat2(
            AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(target).constData(), flags)
        != 0) {
        const int error = errno;
        *existed = error == EEXIST;
        return failure(error);
    }
    // Make the new name itself durable.
    const QString dir = QFileInfo(target).absolutePath();
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

} // namespace internal

QString userDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

namespace {

constexpr mode_t kOthersBits = S_IRWXG | S_IRWXO;

// Takes group's and others' rights away from what the user owns.
QString closeToOthers(const QByteArray &path, mode_t keep)
{
    struct stat st { };
    if (::lstat(path.constData(), &st) != 0)
        return systemError(errno);
    if ((st.st_mode & kOthersBits) == 0 || st.st_uid != ::geteuid() || S_ISLNK(st.st_mode))
        return QString();
    if (::chmod(path.constData(), st.st_mode & keep) != 0)
        return systemError(errno);
    return QString();
}

} // namespace

QString makeFolders(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // Each missing folder from the top down, made private as it is made.
    QString built;
    for (const QString &part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        built += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(built);
        if (::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST)
            return systemError(errno);
    }
    return QString();
}

QString makePrivateFolder(const QString &path)
{
    if (const QString reason = makeFolders(path); !reason.isEmpty())
        return reason;
    return closeToOthers(QFile::encodeName(QDir::cleanPath(QDir(path).absolutePath())), S_IRWXU | S_ISVTX);
}

QString makePrivateFile(const QString &path)
{
    return closeToOthers(QFile::encodeName(path), S_IRUSR | S_IWUSR);
}

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace platform
