// The rows a statement or a table gives, read and changed by field.

#include "DaoInternal.h"

namespace dao {

// ---- Field ----

QVariant Field::Value() const
{
    return m_rs->valueAt(m_index);
}

void Field::setValue(const QVariant &value)
{
    m_rs->assign(m_index, value);
}

QString Field::Name() const
{
    return m_rs->m_columns.at(m_index);
}

// ---- Recordset ----

bool Recordset::AtEOF() const
{
    return m_pos >= m_rows.size();
}

void Recordset::MoveNext()
{
    if (AtEOF())
        throw noCurrentRecord();
    m_mode = Mode::None;
    ++m_pos;
}

void Recordset::MoveLast()
{
    if (m_rows.isEmpty())
        throw noCurrentRecord();
    m_mode = Mode::None;
    m_pos = static_cast<int>(m_rows.size()) - 1;
}

void Recordset::requireCurrentRow() const
{
    if (m_pos < 0 || m_pos >= m_rows.size())
        throw noCurrentRecord();
}

void Recordset::AddNew()
{
    if (m_table.isEmpty())
        throw readOnly();
    m_mode = Mode::Add;
    m_buffer = QVariantList(m_columns.size());
    m_dirty = QList<bool>(m_columns.size(), false);
}

void Recordset::Edit()
{
    if (m_table.isEmpty())
        throw readOnly();
    requireCurrentRow();
    m_mode = Mode::Edit;
    m_buffer = m_rows.at(m_pos);
    m_dirty = QList<bool>(m_columns.size(), false);
}

void Recordset::CancelUpdate()
{
    m_mode = Mode::None;
}

namespace {

// The row with the given rowid as the engine stored it; the fallback when it
// cannot be read back.
QVariantList storedRow(
    Connection &conn, const QString &table, const QStringList &columns, qint64 rowid, const QVariantList &fallback)
{
    Connection::Statement st;
    QStringList cols;
    for (const QString &c : columns)
        cols.append(quoted(c));
    conn.prepare(
        st, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(cols.join(QLatin1Char(',')), quoted(table)), {rowid});
    QVariantList row;
    if (sqlite3_step(st.stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns.size(); ++c)
            row.append(Connection::columnValue(st.stmt, c));
    } else {
        row = fallback;
    }
    return row;
}

} // namespace

void Recordset::Update()
{
    if (m_mode == Mode::None)
        throw updateWithoutEdit();
    Connection &conn = *m_conn;
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_dirty.at(c)) {
            names.append(quoted(m_columns.at(c)));
            values.append(m_buffer.at(c));
        }
    }
    if (m_mode == Mode::Edit) {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : names)
                sets.append(n + QStringLiteral("=?"));
            values.append(m_rowids.at(m_pos));
            conn.exec(
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoted(m_table), sets.join(QLatin1Char(','))),
                values);
            m_rows[m_pos] = m_buffer;
        }
    } else {
        // The whole row goes in with one statement: it is stored complete or
        // not at all.
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(m_table), names.join(QLatin1Char(',')),
                      QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        conn.exec(sql, values);
        const qint64 rowid = sqlite3_last_insert_rowid(conn.db);
        // Read the row back as stored, so that later reads see the engine's values.
        const QVariantList row = storedRow(conn, m_table, m_columns, rowid, m_buffer);
        const bool wasAtEnd = AtEOF();
        m_rows.append(row);
        m_rowids.append(rowid);
        if (wasAtEnd)
            m_pos = static_cast<int>(m_rows.size());
    }
    m_mode = Mode::None;
}

int Recordset::columnIndex(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    throw DbError(kItemNotFound, QStringLiteral("在此集合中找不到项目 '%1'。").arg(name));
}

Field Recordset::Fields(const QString &name)
{
    return Field(this, columnIndex(name));
}

Field Recordset::Fields(int ordinal)
{
    if (ordinal < 0 || ordinal >= m_columns.size())
        throw DbError(kItemNotFound, QStringLiteral("在此集合中找不到项目 %1。").arg(ordinal));
    return Field(this, ordinal);
}

QVariant Recordset::valueAt(int column) const
{
    if (m_mode != Mode::None)
        return m_buffer.at(column);
    requireCurrentRow();
    return m_rows.at(m_pos).at(column);
}

void Recordset::assign(int column, const QVariant &value)
{
    if (m_mode == Mode::None)
        throw updateWithoutEdit();
    m_buffer[column] = convertForColumn(m_types.at(column), value);
    m_dirty[column] = true;
}

} // namespace dao
