#include "Records.h"

#include "Schema.h"

namespace records {

namespace user = schema::user;
namespace testrecord = schema::testrecord;
namespace test = schema::test;

namespace {

QString equals(const QString &column)
{
    return column + QStringLiteral("=?");
}

QVariant monthValue(std::int16_t monthAge)
{
    return QVariant::fromValue(static_cast<int>(monthAge));
}

} // namespace

dao::Recordset firstChild(dao::Database &db)
{
    return db.OpenRecordset(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid LIMIT 1").arg(user::kName, user::kTable));
}

dao::Recordset childNames(dao::Database &db)
{
    return db.OpenRecordset(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(user::kName, user::kTable));
}

dao::Recordset profiles(dao::Database &db)
{
    return db.OpenRecordset(user::kTable);
}

dao::Recordset profileOf(dao::Database &db, const QString &name)
{
    return db.OpenTable(user::kTable, equals(user::kName), {name});
}

bool childExists(dao::Database &db, const QString &name)
{
    return !profileOf(db, name).AtEOF();
}

int renameMonths(dao::Database &db, const QString &from, const QString &to)
{
    return db.Execute(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                          .arg(testrecord::kTable, equals(testrecord::kUser), equals(testrecord::kUser)),
        {to, from});
}

dao::Recordset monthRecords(dao::Database &db)
{
    return db.OpenRecordset(testrecord::kTable);
}

QVariant highestMonthAge(dao::Database &db)
{
    return db.OpenRecordset(QStringLiteral("SELECT max(%1) FROM %2").arg(testrecord::kMonthAge, testrecord::kTable))
        .Fields(0)
        .Value();
}

bool monthRecorded(dao::Database &db, std::int16_t monthAge)
{
    return !recordOfMonth(db, monthAge).AtEOF();
}

dao::Recordset recordOfMonth(dao::Database &db, std::int16_t monthAge)
{
    return db.OpenTable(testrecord::kTable, equals(testrecord::kMonthAge), {monthValue(monthAge)});
}

dao::Recordset monthsOfChild(dao::Database &db, const QString &name)
{
    return db.OpenRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY rowid")
                                .arg(testrecord::kMonthAge, testrecord::kTable, equals(testrecord::kUser)),
        {name});
}

dao::Recordset recordsOfChild(dao::Database &db, const QString &name)
{
    return db.OpenTable(testrecord::kTable, equals(testrecord::kUser), {name});
}

dao::Recordset recordOfChildMonth(dao::Database &db, const QString &name, std::int16_t monthAge)
{
    return db.OpenTable(testrecord::kTable,
        equals(testrecord::kMonthAge) + QStringLiteral(" AND ") + equals(testrecord::kUser),
        {monthValue(monthAge), name});
}

dao::Recordset itemsOfMonth(dao::Database &db, std::int16_t monthAge)
{
    return db.OpenTable(test::kTable, equals(test::kAge), {monthValue(monthAge)});
}

} // namespace records
