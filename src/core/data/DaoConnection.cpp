// The open file behind every handle: statements prepared with their values
// bound, results read as QVariants, the column types of each table read once,
// and the count of changes stored.

#include "DaoInternal.h"

#include <climits>

namespace dao {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

Connection::~Connection()
{
    if (db)
        sqlite3_close_v2(db);
}

void Connection::check(int rc) const
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        raiseFromSqlite(rc, QString::fromUtf8(sqlite3_errmsg(db)), path);
}

void Connection::prepare(Statement &st, const QString &sql, const QVariantList &params) const
{
    const QByteArray utf8 = sql.toUtf8();
    check(sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &st.stmt, nullptr));
    for (int i = 0; i < params.size(); ++i)
        bind(st.stmt, i + 1, params.at(i));
}

void Connection::bind(sqlite3_stmt *stmt, int index, const QVariant &v) const
{
    int rc = SQLITE_OK;
    if (v.isNull()) {
        rc = sqlite3_bind_null(stmt, index);
    } else {
        switch (v.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt, index, v.toDouble());
            break;
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        }
        }
    }
    check(rc);
}

QVariant Connection::columnValue(sqlite3_stmt *stmt, int col)
{
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(stmt, col);
        if (v >= INT_MIN && v <= INT_MAX)
            return QVariant(static_cast<int>(v));
        return QVariant(static_cast<qlonglong>(v));
    }
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, col));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(stmt, col)), sqlite3_column_bytes(stmt, col)));
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, col)), sqlite3_column_bytes(stmt, col)));
    default:
        return {};
    }
}

int Connection::exec(const QString &sql, const QVariantList &params)
{
    Statement st;
    prepare(st, sql, params);
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) { }
    check(rc);
    return sqlite3_changes(db);
}

const QList<std::pair<QString, ColumnType>> &Connection::columns(const QString &table)
{
    const QString key = table.toLower();
    auto it = tableColumns.find(key);
    if (it != tableColumns.end())
        return *it;
    QList<std::pair<QString, ColumnType>> cols;
    Statement st;
    prepare(st, QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)), {});
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        const QString name = columnValue(st.stmt, 1).toString();
        const QString decl = columnValue(st.stmt, 2).toString().toUpper();
        ColumnType type = ColumnType::Other;
        if (decl.contains(QStringLiteral("CHAR")) || decl.contains(QStringLiteral("TEXT")))
            type = ColumnType::Text;
        else if (decl == QStringLiteral("SMALLINT"))
            type = ColumnType::Int16;
        else if (decl.contains(QStringLiteral("INT")))
            type = ColumnType::Integer;
        else if (decl.contains(QStringLiteral("DOUB")) || decl.contains(QStringLiteral("REAL"))
            || decl.contains(QStringLiteral("FLOA")))
            type = ColumnType::Double;
        cols.append({name, type});
    }
    check(rc);
    if (cols.isEmpty())
        throw tableNotFound(table);
    return *tableColumns.insert(key, cols);
}

int Connection::beforeCommit(void *self)
{
    auto *conn = static_cast<Connection *>(self);
    ++conn->commits;
    if (conn->onCommit)
        conn->onCommit();
    return 0; // let the commit go ahead
}

} // namespace dao
