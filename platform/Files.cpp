#include "Files.h"

#include <QFile>

// What every system shares; the file lock's lock(), holds() and release(),
// and the writing and moving of files, are in the system's own source.
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

PlaceResult placeNewFile(const QString &target, const QString &partName, const QByteArray &bytes, QString *reason)
{
    if (const QString failure = writeDurably(partName, bytes); !failure.isEmpty()) {
        *reason = failure;
        return PlaceResult::Failed;
    }
    const PlaceResult result = moveIntoPlace(partName, target, false, reason);
    if (result != PlaceResult::Placed)
        QFile::remove(partName);
    return result;
}

} // namespace platform
