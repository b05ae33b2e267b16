#include "Files.h"

#include "FilesInternal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <string>

#include <windows.h>

namespace platform {

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

QString systemError(DWORD error)
{
    wchar_t *text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString result = text ? QString::fromWCharArray(text).trimmed() : QString::number(error);
    LocalFree(text);
    return result;
}

HANDLE handleOf(qintptr h)
{
    return reinterpret_cast<HANDLE>(h);
}

} // namespace

FileLock::Result FileLock::lock(const QString &path, bool shared)
{
    release();
    const HANDLE h = CreateFileW(native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Result::Failed;
    OVERLAPPED whole {};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (shared ? 0 : LOCKFILE_EXCLUSIVE_LOCK);
    if (!LockFileEx(h, flags, 0, MAXDWORD, MAXDWORD, &whole)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        return error == ERROR_LOCK_VIOLATION ? Result::InUse : Result::Failed;
    }
    m_handle = reinterpret_cast<qintptr>(h);
    return Result::Locked;
}

bool FileLock::holds(const QString &path) const
{
    // A file that is open cannot be replaced by a rename on this system.
    return m_handle != -1 && QFile::exists(path);
}

void FileLock::release()
{
    if (m_handle != -1)
        CloseHandle(handleOf(m_handle)); // releases the lock
    m_handle = -1;
}

namespace internal {

Kind kindOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return Kind::Link;
    if (!info.exists())
        return Kind::None;
    if (info.isDir())
        return Kind::Folder;
    return info.isFile() ? Kind::File : Kind::Other;
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
}

namespace {

Failure failure(DWORD error)
{
    return {error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL, systemError(error)};
}

} // namespace

Failure writeNew(const QString &path, const QByteArray &bytes)
{
    // A user's profile folder is the user's alone already; a new file there is too.
    DeleteFileW(native(path).c_str());
    const HANDLE h
        = CreateFileW(native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return failure(GetLastError());
    DWORD written = 0;
    const bool complete = WriteFile(h, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        && written == static_cast<DWORD>(bytes.size()) && FlushFileBuffers(h);
    const DWORD writeError = complete ? 0 : GetLastError();
    CloseHandle(h);
    if (complete)
        return {};
    DeleteFileW(native(path).c_str());
    return failure(writeError ? writeError : ERROR_HANDLE_DISK_FULL);
}

Failure moveOver(const QString &from, const QString &target, bool replace, bool *existed)
{
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(native(from).c_str(), native(target).c_str(), flags)) {
        const DWORD error = GetLastError();
        *existed = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
        return failure(error);
    }
    return {};
}

} // namespace internal

QString userDataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

// A user's profile folder is the user's alone already.
QString makeFolders(const QString &path)
{
    return QDir().mkpath(path) ? QString() : systemError(GetLastError());
}

QString makePrivateFolder(const QString &path)
{
    return makeFolders(path);
}

QString makePrivateFile(const QString &)
{
    return QString();
}

bool processGone(qint64 pid)
{
    const HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!h)
        return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool gone = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    CloseHandle(h);
    return gone;
}

} // namespace platform
