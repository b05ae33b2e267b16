#pragma once

#include <QString>

#include <stdexcept>

namespace dao {

// Error numbers the database layer raises; the numbering follows the classic
// desktop database engine so that a message a user reports is recognisable.
enum ErrorNumber : int {
    kOverflow = 6,
    kInvalidUseOfNull = 94,
    kNoCurrentRecord = 3021,
    kUpdateWithoutEdit = 3020,
    kFileNotFound = 3024,
    kDiskFull = 3026,
    kReadOnly = 3027,
    kInvalidPassword = 3031,
    kFileInUse = 3045,
    kDamagedFile = 3049,
    kCannotOpenFile = 3051,
    kTableNotFound = 3078,
    kItemNotFound = 3265,
    kUnrecognizedFormat = 3343,
    kConversionError = 3421,
    kEngineFailure = 3146,
};

// A failure reported by the database layer: a number and a description.
// Raised from data/ and reported in one place by the application.
class DbError : public std::runtime_error {
public:
    DbError(int number, const QString &description);

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }

    // A damaged file that is one of the application's cut short: written or
    // copied only in part.
    static DbError truncated(const QString &description);
    bool isTruncated() const noexcept { return m_truncated; }

private:
    int m_number;
    QString m_description;
    bool m_truncated = false;
};

} // namespace dao
