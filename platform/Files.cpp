#include "Files.h"

// What every system's file lock shares; lock(), holds() and release() are
// in the system's own source.
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

} // namespace platform
