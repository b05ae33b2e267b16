#include "Files.h"

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

QString createNewFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return systemError(errno);
    ::close(fd);
    return QString();
}

QString writeDurably(const QString &path, const QByteArray &bytes)
{
    const QByteArray file = QFile::encodeName(path);
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return systemError(errno);
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
        return QString();
    ::unlink(file.constData());
    return systemError(error);
}

PlaceResult moveIntoPlace(const QString &from, const QString &target, bool replace, QString *reason)
{
    const unsigned flags = replace ? 0 : RENAME_NOREPLACE;
    if (::renameat2(
            AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(target).constData(), flags)
        != 0) {
        const int error = errno;
        if (error == EEXIST)
            return PlaceResult::AlreadyThere;
        *reason = systemError(error);
        return PlaceResult::Failed;
    }
    // Make the new name itself durable.
    const QString dir = QFileInfo(target).absolutePath();
    const int dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return PlaceResult::Placed;
}

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace platform
