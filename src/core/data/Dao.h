#pragma once

// A small database layer in the shape of the classic desktop data-access
// objects: an engine that opens a password-protected database file, databases
// that open recordsets on a table or a statement, and recordsets whose fields
// are read and written by name. It runs on an encrypted SQLite file.
//
// Values are QVariants; a Null column reads as a null QVariant. Every value
// that goes into a statement is bound as a parameter.

#include "DbError.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace dao {

class Connection;
class Recordset;

// The column types the layer converts assignments to.
enum class ColumnType { Text, Int16, Integer, Double, Other };

// An open database. Handles are cheap: every handle on the same file inside
// one process shares one connection, so the key derivation is paid once.
class Database {
public:
    Database() = default;

    bool isOpen() const { return m_conn != nullptr; }
    const QString &path() const;

    // A table name gives a table-type recordset: every row in stored order,
    // editable. Anything else is a statement, run as written with the
    // parameters bound in order; its recordset is read-only.
    Recordset OpenRecordset(const QString &source, const QVariantList &parameters = {});

    // The rows of a table that meet a condition (the text after WHERE, with
    // ? for each parameter; none: every row), in stored order and editable.
    Recordset OpenTable(const QString &table, const QString &condition = {}, const QVariantList &parameters = {});

    // Runs a statement that changes rows; returns the number of rows changed.
    int Execute(const QString &statement, const QVariantList &parameters = {});

    // The names of a table's columns in their stored order; raises 3078 when
    // the table does not exist. Read once per open file.
    QStringList TableColumns(const QString &table);

    // How many changes this process has stored in the file.
    quint64 changesStored() const;

    // Called as each change is about to be stored in the file. It must not throw.
    void beforeEachChange(std::function<void()> callback);

private:
    friend class DBEngine;
    friend class Transaction;
    explicit Database(std::shared_ptr<Connection> conn)
        : m_conn(std::move(conn))
    {
    }
    Connection &connection() const;
    Recordset open(const QString &sql, const QString &table, const QVariantList &parameters);
    std::shared_ptr<Connection> m_conn;
};

class DBEngine {
public:
    // Opens the database at path with the connect string ";pwd=<passphrase>".
    // The file is held for this process alone: another process that tries to
    // open it gets error 3045 until this process has released every handle.
    // A read-only handle (for a file the user may not write, such as an
    // installed one) is a connection of its own; readers share the file.
    static Database OpenDatabase(const QString &path, bool exclusive, bool readOnly, const QString &connect);

    // Opens by path alone: succeeds only while this process already holds the
    // database open with its password; otherwise fails as a wrong password does.
    static Database OpenDatabase(const QString &path);

    // Creates a new, empty encrypted database file (fails if it exists).
    static Database CreateDatabase(const QString &path, const QString &connect);
};

// Groups several changes into one atomic step: they are all stored by
// Commit(), or none is when the transaction ends without it.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void Commit();

private:
    std::shared_ptr<Connection> m_conn;
    bool m_done = false;
};

// One column of the current row.
class Field {
public:
    QVariant Value() const;
    // Allowed between Edit()/AddNew() and Update(); converts the value to the
    // column's type as the engine does (a text assigned to a number column is
    // read as a number, an integer column takes the rounded whole number).
    void setValue(const QVariant &value);
    QString Name() const;

private:
    friend class Recordset;
    Field(Recordset *rs, int index)
        : m_rs(rs)
        , m_index(index)
    {
    }
    Recordset *m_rs;
    int m_index;
};

class Recordset {
public:
    Recordset() = default;
    Recordset(Recordset &&) noexcept = default;
    Recordset &operator=(Recordset &&) noexcept = default;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    bool isOpen() const { return m_conn != nullptr; }
    // True when there is no current row past the last one (EOF).
    bool AtEOF() const;
    int RecordCount() const { return static_cast<int>(m_rows.size()); }

    void MoveNext();
    void MoveLast();

    // AddNew() starts a new row that Update() appends in one step; Edit()
    // starts changing the current row, which Update() stores.
    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();

    Field Fields(const QString &name);
    Field Fields(int ordinal);
    int FieldCount() const { return static_cast<int>(m_columns.size()); }
    const QStringList &columnNames() const { return m_columns; }

private:
    friend class Database;
    friend class Field;
    enum class Mode { None, Edit, Add };

    int columnIndex(const QString &name) const;
    QVariant valueAt(int column) const;
    void assign(int column, const QVariant &value);
    void requireCurrentRow() const;

    std::shared_ptr<Connection> m_conn;
    QString m_table; // set when the rows can be changed
    QStringList m_columns;
    QList<ColumnType> m_types;
    QList<QVariantList> m_rows;
    QList<qint64> m_rowids;
    int m_pos = 0;
    Mode m_mode = Mode::None;
    QVariantList m_buffer;
    QList<bool> m_dirty;
};

// Reading values as the windows need them.
// The text of a value; a Null value raises error 94 (invalid use of Null).
QString text(const QVariant &value);
// The text of a value, or the fallback for Null.
QString textOr(const QVariant &value, const QString &fallback);
// A number; Null raises 94, a text that is not a number raises 3421.
double number(const QVariant &value);

} // namespace dao
