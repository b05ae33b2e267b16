#pragma once

#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// What the tests of the core and every layer above it share: a database of
// their own and the browser's addresses recorded.
namespace testsupport {

// A fresh database file in a temporary directory, which the application
// opens instead of the installed one for as long as this object lives.
class TempDatabase {
public:
    // An empty database with the schema only.
    TempDatabase();
    // A copy of the installed database (with the whole questionnaire).
    static std::unique_ptr<TempDatabase> copyOfInstalled();
    ~TempDatabase();

    QString path() const { return m_path; }
    // A handle of the test's own; shares the application's connection. The
    // object keeps one handle open (so the key derivation is paid once) until
    // release().
    dao::Database open() const;
    void release();

    // Appends a row; values by column name, missing columns stay Null.
    void addRow(const QString &table, const QVariantMap &values) const;
    // Every row of a table in stored order, as column-name maps.
    QList<QVariantMap> rows(const QString &table) const;

private:
    explicit TempDatabase(bool empty);
    QTemporaryDir m_dir;
    QString m_path;
    dao::Database m_handle;
};

// Records the addresses handed to the browser instead of starting one.
class AddressRecorder {
public:
    AddressRecorder();
    ~AddressRecorder();
    QStringList addresses;
};

} // namespace testsupport
