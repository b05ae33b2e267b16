#include "data/AssessmentDb.h"
#include "data/Dao.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QtTest>

#include <functional>

using testsupport::TempDatabase;

namespace {

// The error number a call raises; 0 when it raises none.
int errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const dao::DbError &e) {
        if (e.description().isEmpty())
            return -1;
        return e.number();
    }
    return 0;
}

void addUser(dao::Database &db, const QVariant &name)
{
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("user"));
    rs.AddNew();
    rs.Fields(QStringLiteral("name")).setValue(name);
    rs.Update();
}

} // namespace

class TestDao : public QObject {
    Q_OBJECT
private slots:
    void tableRecordsetsKeepStoredOrder();
    void appendedRowIsTheLastRow();
    void editAndUpdateChangeOnlyThatRow();
    void nameIsColumnOne();
    void nullValues();
    void assignmentsConvertToColumnType();
    void refusedConversionStoresNothing();
    void quoteInNameFindsItsOwnRows();
    void statementsUseTheirParameters();
    void transactionIsAllOrNothing();
    void noCurrentRowAndUnknownColumn();
    void openFailures();
    void pathAloneOpenNeedsAHeldDatabase();
    void fileShowsNoPlainText();
};

void TestDao::tableRecordsetsKeepStoredOrder()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")})
        addUser(db, name);
    // Renaming does not move a row.
    db.Execute(QStringLiteral("update user set name=? where name=?"), {QStringLiteral("阿"), QStringLiteral("甲")});
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("user"));
    QStringList names;
    for (; !rs.AtEOF(); rs.MoveNext())
        names << rs.Fields(QStringLiteral("name")).Value().toString();
    QCOMPARE(names, (QStringList {QStringLiteral("阿"), QStringLiteral("乙"), QStringLiteral("丙")}));
}

void TestDao::appendedRowIsTheLastRow()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("first"));
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("testrecord"));
    QVERIFY(rs.AtEOF());
    rs.AddNew();
    rs.Fields(QStringLiteral("user")).setValue(QStringLiteral("first"));
    rs.Fields(QStringLiteral("monthage")).setValue(QStringLiteral("3"));
    rs.Update();
    rs.AddNew();
    rs.Fields(QStringLiteral("user")).setValue(QStringLiteral("first"));
    rs.Fields(QStringLiteral("monthage")).setValue(QStringLiteral("4"));
    rs.Update();
    QCOMPARE(rs.RecordCount(), 2);

    dao::Recordset again = db.OpenRecordset(QStringLiteral("testrecord"));
    again.MoveLast();
    QCOMPARE(again.Fields(QStringLiteral("monthage")).Value().toInt(), 4);
    QVERIFY(again.Fields(QStringLiteral("height")).Value().isNull());
}

void TestDao::editAndUpdateChangeOnlyThatRow()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("a"));
    addUser(db, QStringLiteral("b"));
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("select * from user where name=?"), {QStringLiteral("b")});
    QVERIFY(!rs.AtEOF());
    rs.Edit();
    rs.Fields(QStringLiteral("sex")).setValue(QStringLiteral("女"));
    QCOMPARE(rs.Fields(QStringLiteral("sex")).Value().toString(), QStringLiteral("女")); // read while editing
    rs.Update();
    const auto rows = temp.rows(QStringLiteral("user"));
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows.at(0).value(QStringLiteral("sex")).isNull());
    QCOMPARE(rows.at(1).value(QStringLiteral("sex")).toString(), QStringLiteral("女"));

    // Changing without Edit is refused; so is editing a computed result.
    QCOMPARE(errorOf([&] { rs.Fields(QStringLiteral("sex")).setValue(QStringLiteral("男")); }),
        int(dao::kUpdateWithoutEdit));
    QCOMPARE(errorOf([&] { rs.Update(); }), int(dao::kUpdateWithoutEdit));
    dao::Recordset max = db.OpenRecordset(QStringLiteral("select max(id) from user"));
    QCOMPARE(errorOf([&] { max.Edit(); }), int(dao::kReadOnly));
}

void TestDao::nameIsColumnOne()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("x"));
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("user"));
    QCOMPARE(rs.Fields(1).Name(), QStringLiteral("name"));
    QCOMPARE(rs.Fields(1).Value().toString(), QStringLiteral("x"));
    const QStringList expected {QStringLiteral("user"), QStringLiteral("monthage"), QStringLiteral("height"),
        QStringLiteral("weight"), QStringLiteral("heartrate"), QStringLiteral("breath"), QStringLiteral("a1"),
        QStringLiteral("a2"), QStringLiteral("a3"), QStringLiteral("a4"), QStringLiteral("a5"), QStringLiteral("a1fen"),
        QStringLiteral("a2fen"), QStringLiteral("a3fen"), QStringLiteral("a4fen"), QStringLiteral("a5fen")};
    QCOMPARE(db.OpenRecordset(QStringLiteral("testrecord")).columnNames(), expected);
}

void TestDao::nullValues()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QVariant());
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("user"));
    const QVariant name = rs.Fields(QStringLiteral("name")).Value();
    QVERIFY(name.isNull());
    QCOMPARE(errorOf([&] { dao::text(name); }), int(dao::kInvalidUseOfNull));
    QCOMPARE(errorOf([&] { dao::number(name); }), int(dao::kInvalidUseOfNull));
    QCOMPARE(dao::textOr(name, QStringLiteral("-")), QStringLiteral("-"));
    // An empty text is not Null.
    rs.Edit();
    rs.Fields(QStringLiteral("name")).setValue(QString(QLatin1String("")));
    rs.Update();
    QCOMPARE(dao::text(db.OpenRecordset(QStringLiteral("user")).Fields(QStringLiteral("name")).Value()), QString());
    QVERIFY(!db.OpenRecordset(QStringLiteral("user")).Fields(QStringLiteral("name")).Value().isNull());
    // max() of an empty table reads as Null.
    QVERIFY(db.OpenRecordset(QStringLiteral("select max(monthage) from testrecord")).Fields(0).Value().isNull());
}

void TestDao::assignmentsConvertToColumnType()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("testrecord"));
    rs.AddNew();
    rs.Fields(QStringLiteral("monthage")).setValue(QStringLiteral(" 36.5 "));
    rs.Fields(QStringLiteral("height")).setValue(QStringLiteral("75.5"));
    rs.Fields(QStringLiteral("weight")).setValue(QStringLiteral("9.8e0"));
    rs.Fields(QStringLiteral("heartrate")).setValue(QStringLiteral("+120"));
    rs.Fields(QStringLiteral("breath")).setValue(30);
    rs.Fields(QStringLiteral("a1")).setValue(15);
    rs.Fields(QStringLiteral("a2fen")).setValue(3 * 0.8);
    rs.Update();
    const QVariantMap row = temp.rows(QStringLiteral("testrecord")).first();
    QCOMPARE(row.value(QStringLiteral("monthage")).toInt(), 36); // ties to even
    QCOMPARE(row.value(QStringLiteral("height")).toDouble(), 75.5);
    QCOMPARE(row.value(QStringLiteral("weight")).toDouble(), 9.8);
    QCOMPARE(row.value(QStringLiteral("heartrate")).toDouble(), 120.0);
    QCOMPARE(row.value(QStringLiteral("breath")).toDouble(), 30.0);
    QCOMPARE(row.value(QStringLiteral("a1")).toString(), QStringLiteral("15"));
    QVERIFY(row.value(QStringLiteral("a2fen")).toDouble() == 3 * 0.8); // the unrounded double
    QCOMPARE(dao::text(row.value(QStringLiteral("a2fen"))), QStringLiteral("2.4"));

    rs.AddNew();
    QCOMPARE(errorOf([&] { rs.Fields(QStringLiteral("monthage")).setValue(QStringLiteral("abc")); }),
        int(dao::kConversionError));
    QCOMPARE(
        errorOf([&] { rs.Fields(QStringLiteral("height")).setValue(QStringLiteral("")); }), int(dao::kConversionError));
    QCOMPARE(errorOf([&] { rs.Fields(QStringLiteral("monthage")).setValue(QStringLiteral("32767.5")); }),
        int(dao::kOverflow));
    QCOMPARE(errorOf([&] { rs.Fields(QStringLiteral("monthage")).setValue(-32768.5); }), 0);
    // NaN would be stored as Null, an infinity as no measurement can be.
    for (double odd : {qQNaN(), qInf(), -qInf()}) {
        for (const char *column : {"monthage", "weight"})
            QCOMPARE(errorOf([&] { rs.Fields(QLatin1String(column)).setValue(odd); }), int(dao::kConversionError));
    }
}

void TestDao::refusedConversionStoresNothing()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("testrecord"));
    rs.AddNew();
    rs.Fields(QStringLiteral("user")).setValue(QStringLiteral("a"));
    QVERIFY(errorOf([&] { rs.Fields(QStringLiteral("weight")).setValue(QStringLiteral("heavy")); }) != 0);
    rs.CancelUpdate();
    QCOMPARE(temp.rows(QStringLiteral("testrecord")).size(), 0);
}

void TestDao::quoteInNameFindsItsOwnRows()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    const QString tricky = QStringLiteral("O'Brien' or '1'='1");
    addUser(db, QStringLiteral("other"));
    addUser(db, tricky);
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("select * from user where name=?"), {tricky});
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.Fields(QStringLiteral("name")).Value().toString(), tricky);
    QCOMPARE(
        db.OpenRecordset(QStringLiteral("select * from user where name=?"), {QStringLiteral("O'Brien")}).RecordCount(),
        0);
}

void TestDao::statementsUseTheirParameters()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("testrecord"));
    const struct {
        const char *user;
        int month;
    } rows[] = {{"a", 3}, {"b", 7}, {"a", 5}};
    for (const auto &r : rows) {
        rs.AddNew();
        rs.Fields(QStringLiteral("user")).setValue(QString::fromLatin1(r.user));
        rs.Fields(QStringLiteral("monthage")).setValue(r.month);
        rs.Update();
    }
    QCOMPARE(db.OpenRecordset(QStringLiteral("select max(monthage) from testrecord")).Fields(0).Value().toInt(), 7);
    dao::Recordset months
        = db.OpenRecordset(QStringLiteral("select monthage from testrecord where user=?"), {QStringLiteral("a")});
    QList<int> listed;
    for (; !months.AtEOF(); months.MoveNext())
        listed << months.Fields(QStringLiteral("monthage")).Value().toInt();
    QCOMPARE(listed, (QList<int> {3, 5}));
    dao::Recordset one = db.OpenRecordset(
        QStringLiteral("select * from testrecord where monthage=? and user=?"), {5, QStringLiteral("a")});
    QCOMPARE(one.RecordCount(), 1);
    one.Edit();
    one.Fields(QStringLiteral("a1")).setValue(QStringLiteral("12"));
    one.Update();
    QCOMPARE(
        temp.rows(QStringLiteral("testrecord")).at(2).value(QStringLiteral("a1")).toString(), QStringLiteral("12"));
}

void TestDao::transactionIsAllOrNothing()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("kept"));
    try {
        dao::Transaction tx(db);
        addUser(db, QStringLiteral("half"));
        db.Execute(
            QStringLiteral("update user set name=? where name=?"), {QStringLiteral("changed"), QStringLiteral("kept")});
        db.OpenRecordset(QStringLiteral("no_such_table"));
        tx.Commit();
    } catch (const dao::DbError &e) {
        QCOMPARE(e.number(), int(dao::kTableNotFound));
    }
    auto rows = temp.rows(QStringLiteral("user"));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value(QStringLiteral("name")).toString(), QStringLiteral("kept"));
    {
        dao::Transaction tx(db);
        addUser(db, QStringLiteral("second"));
        tx.Commit();
    }
    QCOMPARE(temp.rows(QStringLiteral("user")).size(), 2);
}

void TestDao::noCurrentRowAndUnknownColumn()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(QStringLiteral("user"));
    QVERIFY(rs.AtEOF());
    QCOMPARE(errorOf([&] { rs.Fields(QStringLiteral("name")).Value(); }), int(dao::kNoCurrentRecord));
    QCOMPARE(errorOf([&] { rs.MoveLast(); }), int(dao::kNoCurrentRecord));
    QCOMPARE(errorOf([&] { rs.MoveNext(); }), int(dao::kNoCurrentRecord));
    QCOMPARE(errorOf([&] { rs.Edit(); }), int(dao::kNoCurrentRecord));
    QCOMPARE(errorOf([&] { rs.Fields(QStringLiteral("nosuch")); }), int(dao::kItemNotFound));
    QCOMPARE(errorOf([&] { db.OpenRecordset(QStringLiteral("select nosuch from user")); }), int(dao::kItemNotFound));
    QCOMPARE(errorOf([&] { db.OpenRecordset(QStringLiteral("people")); }), int(dao::kTableNotFound));
}

void TestDao::openFailures()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.mdb"));
    QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(missing, true, false, assessmentdb::kConnect); }),
        int(dao::kFileNotFound));
    QVERIFY(!QFile::exists(missing)); // never created by opening

    const QString encrypted = dir.filePath(QStringLiteral("0-3.mdb"));
    assessmentdb::create(encrypted); // released at once
    QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(encrypted, true, false, QStringLiteral(";pwd=wrong")); }),
        int(dao::kInvalidPassword));
    QCOMPARE(
        errorOf([&] { dao::DBEngine::OpenDatabase(encrypted, true, false, QString()); }), int(dao::kInvalidPassword));
    QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(encrypted, true, false, assessmentdb::kConnect); }), 0);

    const auto writeFile = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    const QString empty = writeFile(QStringLiteral("empty.mdb"), {});
    const QString text = writeFile(QStringLiteral("text.mdb"), QByteArray("not a database\n"));
    const QString plain
        = writeFile(QStringLiteral("plain.mdb"), QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\0'));
    for (const QString &file : {empty, text, plain}) {
        QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect); }),
            int(dao::kUnrecognizedFormat));
    }
    QCOMPARE(QFileInfo(empty).size(), 0); // left as it was
}

void TestDao::pathAloneOpenNeedsAHeldDatabase()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("0-3.mdb"));
    assessmentdb::create(file);
    QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(file); }), int(dao::kInvalidPassword));
    {
        dao::Database held = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
        dao::Database shared = dao::DBEngine::OpenDatabase(file);
        addUser(shared, QStringLiteral("seen by both"));
        QCOMPARE(held.OpenRecordset(QStringLiteral("user")).RecordCount(), 1);
        // A second handle with another password is refused while the first is held.
        QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(file, true, false, QStringLiteral(";pwd=1")); }),
            int(dao::kInvalidPassword));
    }
    QCOMPARE(errorOf([&] { dao::DBEngine::OpenDatabase(file); }), int(dao::kInvalidPassword));
}

void TestDao::fileShowsNoPlainText()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("0-3.mdb"));
    {
        dao::Database db = assessmentdb::create(file);
        addUser(db, QStringLiteral("VisibleName小明"));
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    for (const char *word : {"testrecord", "monthage", "telphone", "CREATE", "VisibleName", "SQLite format"})
        QVERIFY2(!bytes.contains(word), word);
    QVERIFY(!bytes.contains(QStringLiteral("小明").toUtf8()));
}

QTEST_GUILESS_MAIN(TestDao)
#include "tst_dao.moc"
