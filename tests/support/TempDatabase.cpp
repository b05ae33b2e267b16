#include "TempDatabase.h"

#include "platform/AddressOpener.h"

#include <QFile>

namespace testsupport {

TempDatabase::TempDatabase()
    : TempDatabase(true)
{
}

TempDatabase::TempDatabase(bool empty)
{
    m_path = m_dir.filePath(assessmentdb::kFileName);
    if (empty)
        m_handle = assessmentdb::create(m_path);
    assessmentdb::setPathForTesting(m_path);
}

std::unique_ptr<TempDatabase> TempDatabase::copyOfInstalled()
{
    std::unique_ptr<TempDatabase> db(new TempDatabase(false));
    QFile::copy(QStringLiteral(CG_BINARY_DIR "/bin/0-3.mdb"), db->m_path);
    QFile::setPermissions(db->m_path, QFile::ReadOwner | QFile::WriteOwner);
    db->m_handle = db->open();
    return db;
}

void TempDatabase::release()
{
    m_handle = dao::Database();
}

TempDatabase::~TempDatabase()
{
    assessmentdb::setPathForTesting(QString());
}

dao::Database TempDatabase::open() const
{
    if (m_handle.isOpen())
        return m_handle;
    return dao::DBEngine::OpenDatabase(m_path, true, false, assessmentdb::kConnect);
}

void TempDatabase::addRow(const QString &table, const QVariantMap &values) const
{
    dao::Database db = open();
    dao::Recordset rs = db.OpenRecordset(table);
    rs.AddNew();
    for (auto it = values.begin(); it != values.end(); ++it)
        rs.Fields(it.key()).setValue(it.value());
    rs.Update();
}

QList<QVariantMap> TempDatabase::rows(const QString &table) const
{
    dao::Database db = open();
    dao::Recordset rs = db.OpenRecordset(table);
    QList<QVariantMap> result;
    for (; !rs.AtEOF(); rs.MoveNext()) {
        QVariantMap row;
        for (int c = 0; c < rs.FieldCount(); ++c)
            row.insert(rs.columnNames().at(c), rs.Fields(c).Value());
        result.append(row);
    }
    return result;
}

AddressRecorder::AddressRecorder()
{
    platform::setAddressHook([this](const QString &address) { addresses.append(address); });
}

AddressRecorder::~AddressRecorder()
{
    platform::setAddressHook({});
}

} // namespace testsupport
