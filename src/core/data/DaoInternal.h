#pragma once

// What the units of the database layer share: the open file behind every
// handle, the errors the layer raises, and the conversion of an assigned
// value to its column's type. Only the layer's own files include it; the
// rest of the program includes Dao.h.

#include "Dao.h"
#include "platform/Files.h"

#include <QHash>

#include <sqlite3.h>

namespace dao {

// ---- errors (DaoErrors.cpp) ----

DbError damaged(const QString &path);
// A file whose first page opens with the key, but whose later pages are missing.
DbError truncatedFile(const QString &path);
DbError tableNotFound(const QString &table);
DbError fileNotFound(const QString &path);
DbError conversionError();
DbError readOnly();
DbError unrecognizedFormat(const QString &path);
DbError noCurrentRecord();
DbError updateWithoutEdit();
DbError overflow();
DbError invalidUseOfNull();
// With a path: a file that does not open with the key, named in the message.
DbError invalidPassword(const QString &path = {});

// The layer's error for an engine result code and message; context names the file.
[[noreturn]] void raiseFromSqlite(int code, const QString &message, const QString &context = {});

// ---- the open file (DaoConnection.cpp) ----

// A table or column name as it is written in a statement.
QString quoted(const QString &name);

// One open file: the SQLite connection, the process's lock on the file and
// the column types of its tables. Shared by every handle on the file.
class Connection {
public:
    Connection() = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection();

    void check(int rc) const;

    // A prepared statement, finalized when it goes out of scope.
    struct Statement {
        sqlite3_stmt *stmt = nullptr;
        ~Statement() { sqlite3_finalize(stmt); }
    };

    void prepare(Statement &st, const QString &sql, const QVariantList &params) const;
    void bind(sqlite3_stmt *stmt, int index, const QVariant &v) const;
    static QVariant columnValue(sqlite3_stmt *stmt, int col);
    int exec(const QString &sql, const QVariantList &params = {});
    const QList<std::pair<QString, ColumnType>> &columns(const QString &table);

    // Runs as the engine stores each change, before it is stored.
    static int beforeCommit(void *self);

    sqlite3 *db = nullptr;
    quint64 commits = 0;
    std::function<void()> onCommit;
    platform::FileLock lock; // released after the engine has closed the file
    QString path;
    QString passphrase;
    int transactionDepth = 0;
    QHash<QString, QList<std::pair<QString, ColumnType>>> tableColumns;
};

// ---- values (DaoValues.cpp) ----

// A value assigned to a column of the given type, converted as the engine does.
QVariant convertForColumn(ColumnType type, const QVariant &value);

} // namespace dao
