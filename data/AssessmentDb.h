#pragma once

#include "Dao.h"

#include <QString>

// The assessment database: the file beside the executable, its password and
// its tables.
namespace assessmentdb {

inline const QString kFileName = QStringLiteral("0-3.mdb");
inline const QString kConnect = QStringLiteral(";pwd=5820719364");
inline constexpr int kSchemaVersion = 1;

// The directory that holds the executable, followed by the file name.
QString path();

// Tests point the application at a database of their own.
void setPathForTesting(const QString &path);

// Opens the database as every window does: exclusive, writable, with password.
dao::Database open();

// Opens by path alone, as the questionnaire does while the main window holds
// the database open.
dao::Database openShared();

// Creates the three tables, their indexes and the schema version in a new file.
dao::Database create(const QString &path);

} // namespace assessmentdb
