#include "DbError.h"

namespace dao {

DbError::DbError(int number, const QString &description)
    : std::runtime_error(description.toStdString())
    , m_number(number)
    , m_description(description)
{
}

DbError DbError::truncated(const QString &description)
{
    DbError error(kDamagedFile, description);
    error.m_truncated = true;
    return error;
}

} // namespace dao
