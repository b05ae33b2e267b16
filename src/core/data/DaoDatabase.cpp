// A handle on an open file: recordsets on a table or a statement, statements
// that change rows, and transactions.

#include "DaoInternal.h"

#include <algorithm>

namespace dao {

// ---- Database ----

quint64 Database::changesStored() const
{
    return connection().commits;
}

void Database::beforeEachChange(std::function<void()> callback)
{
    connection().onCommit = std::move(callback);
}

Connection &Database::connection() const
{
    if (!m_conn)
        throw DbError(kEngineFailure, QStringLiteral("数据库未打开。"));
    return *m_conn;
}

const QString &Database::path() const
{
    return connection().path;
}

int Database::Execute(const QString &statement, const QVariantList &parameters)
{
    Connection &conn = connection();
    // A statement that changes a table's columns outdates what is known of them.
    if (!statement.trimmed().startsWith(QStringLiteral("INSERT"), Qt::CaseInsensitive)
        && !statement.trimmed().startsWith(QStringLiteral("UPDATE"), Qt::CaseInsensitive)
        && !statement.trimmed().startsWith(QStringLiteral("DELETE"), Qt::CaseInsensitive))
        conn.tableColumns.clear();
    return conn.exec(statement, parameters);
}

QStringList Database::TableColumns(const QString &table)
{
    QStringList names;
    for (const auto &column : connection().columns(table))
        names.append(column.first);
    return names;
}

namespace {

// A bare name, as tables are named: letters, digits and underscores.
bool isName(const QString &source)
{
    return !source.isEmpty()
        && std::all_of(source.begin(), source.end(), [](QChar c) { return c.isLetterOrNumber() || c == u'_'; });
}

} // namespace

Recordset Database::OpenRecordset(const QString &source, const QVariantList &parameters)
{
    if (isName(source)) {
        if (!parameters.isEmpty())
            throw DbError(kEngineFailure, QStringLiteral("表 '%1' 不带参数。").arg(source));
        return OpenTable(source);
    }
    return open(source, QString(), parameters);
}

Recordset Database::OpenTable(const QString &table, const QString &condition, const QVariantList &parameters)
{
    if (!isName(table))
        throw tableNotFound(table);
    // The condition stands on lines of its own, so that a comment at its end
    // ends with it.
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" WHERE (\n%1\n)").arg(condition);
    return open(
        QStringLiteral("SELECT rowid, * FROM %1%2 ORDER BY rowid").arg(quoted(table), where), table, parameters);
}

// Reads the rows of a statement; with a table, its first column is the
// rowid that editing needs.
Recordset Database::open(const QString &sql, const QString &table, const QVariantList &parameters)
{
    Connection &conn = connection();
    Recordset rs;
    rs.m_conn = m_conn;
    rs.m_table = table;
    const bool withRowid = !table.isEmpty();

    QHash<QString, ColumnType> types;
    if (withRowid) {
        for (const auto &[name, type] : conn.columns(rs.m_table))
            types.insert(name.toLower(), type);
    }

    Connection::Statement st;
    conn.prepare(st, sql, parameters);
    const int count = sqlite3_column_count(st.stmt);
    const int first = withRowid ? 1 : 0;
    for (int c = first; c < count; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(st.stmt, c));
        rs.m_columns.append(name);
        rs.m_types.append(types.value(name.toLower(), ColumnType::Other));
    }
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(count - first);
        for (int c = first; c < count; ++c)
            row.append(Connection::columnValue(st.stmt, c));
        rs.m_rows.append(row);
        rs.m_rowids.append(withRowid ? sqlite3_column_int64(st.stmt, 0) : 0);
    }
    conn.check(rc);
    return rs;
}

// ---- Transaction ----

Transaction::Transaction(Database &db)
    : m_conn(db.m_conn)
{
    Connection &conn = db.connection();
    conn.exec(conn.transactionDepth == 0 ? QStringLiteral("BEGIN IMMEDIATE")
                                         : QStringLiteral("SAVEPOINT nested%1").arg(conn.transactionDepth));
    ++conn.transactionDepth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_conn->transactionDepth;
    const QByteArray sql = m_conn->transactionDepth == 0
        ? QByteArray("ROLLBACK")
        : QStringLiteral("ROLLBACK TO nested%1; RELEASE nested%1").arg(m_conn->transactionDepth).toUtf8();
    sqlite3_exec(m_conn->db, sql.constData(), nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    if (m_done)
        return;
    const int depth = m_conn->transactionDepth - 1;
    m_conn->exec(depth == 0 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE nested%1").arg(depth));
    m_conn->transactionDepth = depth;
    m_done = true;
}

} // namespace dao
