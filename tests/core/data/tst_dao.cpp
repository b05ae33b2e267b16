#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "platform/Files.h"
#include "support/TempDatabase.h"

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
    dao::Recordset rs = db.OpenRecordset(schema::user::kTable);
    rs.AddNew();
    rs.Fields(schema::user::kName).setValue(name);
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
    void statementsRunAsWritten();
    void openBringsTheSchemaUpToDate();
    void transactionIsAllOrNothing();
    void noCurrentRowAndUnknownColumn();
    void openFailures();
    void pathAloneOpenNeedsAHeldDatabase();
    void fileShowsNoPlainText();
    void userCopyPlaceAndItsFirstWriting();
};

void TestDao::tableRecordsetsKeepStoredOrder()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    for (const QString &name : {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")})
        addUser(db, name);
    // Renaming does not move a row.
    db.Execute(QStringLiteral("update user set name=? where name=?"), {QStringLiteral("阿"), QStringLiteral("甲")});
    dao::Recordset rs = db.OpenRecordset(schema::user::kTable);
    QStringList names;
    for (; !rs.AtEOF(); rs.MoveNext())
        names << rs.Fields(schema::user::kName).Value().toString();
    QCOMPARE(names, (QStringList {QStringLiteral("阿"), QStringLiteral("乙"), QStringLiteral("丙")}));
}

void TestDao::appendedRowIsTheLastRow()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("first"));
    dao::Recordset rs = db.OpenRecordset(schema::testrecord::kTable);
    QVERIFY(rs.AtEOF());
    rs.AddNew();
    rs.Fields(schema::testrecord::kUser).setValue(QStringLiteral("first"));
    rs.Fields(schema::testrecord::kMonthAge).setValue(QStringLiteral("3"));
    rs.Update();
    rs.AddNew();
    rs.Fields(schema::testrecord::kUser).setValue(QStringLiteral("first"));
    rs.Fields(schema::testrecord::kMonthAge).setValue(QStringLiteral("4"));
    rs.Update();
    QCOMPARE(rs.RecordCount(), 2);

    dao::Recordset again = db.OpenRecordset(schema::testrecord::kTable);
    again.MoveLast();
    QCOMPARE(again.Fields(schema::testrecord::kMonthAge).Value().toInt(), 4);
    QVERIFY(again.Fields(schema::testrecord::kHeight).Value().isNull());
}

void TestDao::editAndUpdateChangeOnlyThatRow()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("a"));
    addUser(db, QStringLiteral("b"));
    dao::Recordset rs = db.OpenTable(schema::user::kTable, QStringLiteral("name=?"), {QStringLiteral("b")});
    QVERIFY(!rs.AtEOF());
    rs.Edit();
    rs.Fields(schema::user::kSex).setValue(QStringLiteral("女"));
    QCOMPARE(rs.Fields(schema::user::kSex).Value().toString(), QStringLiteral("女")); // read while editing
    rs.Update();
    const auto rows = temp.rows(schema::user::kTable);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows.at(0).value(schema::user::kSex).isNull());
    QCOMPARE(rows.at(1).value(schema::user::kSex).toString(), QStringLiteral("女"));

    // Changing without Edit is refused; so is editing a computed result.
    QCOMPARE(
        errorOf([&] { rs.Fields(schema::user::kSex).setValue(QStringLiteral("男")); }), int(dao::kUpdateWithoutEdit));
    QCOMPARE(errorOf([&] { rs.Update(); }), int(dao::kUpdateWithoutEdit));
    dao::Recordset max = db.OpenRecordset(QStringLiteral("select max(id) from user"));
    QCOMPARE(errorOf([&] { max.Edit(); }), int(dao::kReadOnly));
}

void TestDao::nameIsColumnOne()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QStringLiteral("x"));
    dao::Recordset rs = db.OpenRecordset(schema::user::kTable);
    QCOMPARE(rs.Fields(1).Name(), QStringLiteral("name"));
    QCOMPARE(rs.Fields(1).Value().toString(), QStringLiteral("x"));
    // The stored layout families' files have, written out on its own.
    const QStringList expected = QStringLiteral("user monthage height weight heartrate breath a1 a2 a3 a4 a5 a1fen "
                                                "a2fen a3fen a4fen a5fen testdate itemset")
                                     .split(QLatin1Char(' '));
    QCOMPARE(db.OpenRecordset(schema::testrecord::kTable).columnNames(), expected);
}

void TestDao::nullValues()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    addUser(db, QVariant());
    dao::Recordset rs = db.OpenRecordset(schema::user::kTable);
    const QVariant name = rs.Fields(schema::user::kName).Value();
    QVERIFY(name.isNull());
    QCOMPARE(errorOf([&] { dao::text(name); }), int(dao::kInvalidUseOfNull));
    QCOMPARE(errorOf([&] { dao::number(name); }), int(dao::kInvalidUseOfNull));
    QCOMPARE(dao::textOr(name, QStringLiteral("-")), QStringLiteral("-"));
    // An empty text is not Null.
    rs.Edit();
    rs.Fields(schema::user::kName).setValue(QString(QLatin1String("")));
    rs.Update();
    QCOMPARE(dao::text(db.OpenRecordset(schema::user::kTable).Fields(schema::user::kName).Value()), QString());
    QVERIFY(!db.OpenRecordset(schema::user::kTable).Fields(schema::user::kName).Value().isNull());
    // max() of an empty table reads as Null.
    QVERIFY(db.OpenRecordset(QStringLiteral("select max(monthage) from testrecord")).Fields(0).Value().isNull());
}

void TestDao::assignmentsConvertToColumnType()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(schema::testrecord::kTable);
    rs.AddNew();
    rs.Fields(schema::testrecord::kMonthAge).setValue(QStringLiteral(" 36.5 "));
    rs.Fields(schema::testrecord::kHeight).setValue(QStringLiteral("75.5"));
    rs.Fields(schema::testrecord::kWeight).setValue(QStringLiteral("9.8e0"));
    rs.Fields(schema::testrecord::kHeartRate).setValue(QStringLiteral("+120"));
    rs.Fields(schema::testrecord::kBreath).setValue(30);
    rs.Fields(schema::testrecord::answers(1)).setValue(15);
    rs.Fields(schema::testrecord::score(2)).setValue(3 * 0.8);
    rs.Update();
    const QVariantMap row = temp.rows(schema::testrecord::kTable).first();
    QCOMPARE(row.value(schema::testrecord::kMonthAge).toInt(), 36); // ties to even
    QCOMPARE(row.value(schema::testrecord::kHeight).toDouble(), 75.5);
    QCOMPARE(row.value(schema::testrecord::kWeight).toDouble(), 9.8);
    QCOMPARE(row.value(schema::testrecord::kHeartRate).toDouble(), 120.0);
    QCOMPARE(row.value(schema::testrecord::kBreath).toDouble(), 30.0);
    QCOMPARE(row.value(schema::testrecord::answers(1)).toString(), QStringLiteral("15"));
    QVERIFY(row.value(schema::testrecord::score(2)).toDouble() == 3 * 0.8); // the unrounded double
    QCOMPARE(dao::text(row.value(schema::testrecord::score(2))), QStringLiteral("2.4"));

    rs.AddNew();
    QCOMPARE(errorOf([&] { rs.Fields(schema::testrecord::kMonthAge).setValue(QStringLiteral("abc")); }),
        int(dao::kConversionError));
    QCOMPARE(errorOf([&] { rs.Fields(schema::testrecord::kHeight).setValue(QStringLiteral("")); }),
        int(dao::kConversionError));
    QCOMPARE(errorOf([&] { rs.Fields(schema::testrecord::kMonthAge).setValue(QStringLiteral("32767.5")); }),
        int(dao::kOverflow));
    QCOMPARE(errorOf([&] { rs.Fields(schema::testrecord::kMonthAge).setValue(-32768.5); }), 0);
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
    dao::Recordset rs = db.OpenRecordset(schema::testrecord::kTable);
    rs.AddNew();
    rs.Fields(schema::testrecord::kUser).setValue(QStringLiteral("a"));
    QVERIFY(errorOf([&] { rs.Fields(schema::testrecord::kWeight).setValue(QStringLiteral("heavy")); }) != 0);
    rs.CancelUpdate();
    QCOMPARE(temp.rows(schema::testrecord::kTable).size(), 0);
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
    QCOMPARE(rs.Fields(schema::user::kName).Value().toString(), tricky);
    QCOMPARE(
        db.OpenRecordset(QStringLiteral("select * from user where name=?"), {QStringLiteral("O'Brien")}).RecordCount(),
        0);
}

void TestDao::statementsUseTheirParameters()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(schema::testrecord::kTable);
    const struct {
        const char *user;
        int month;
    } rows[] = {{"a", 3}, {"b", 7}, {"a", 5}};
    for (const auto &r : rows) {
        rs.AddNew();
        rs.Fields(schema::testrecord::kUser).setValue(QString::fromLatin1(r.user));
        rs.Fields(schema::testrecord::kMonthAge).setValue(r.month);
        rs.Update();
    }
    QCOMPARE(records::highestMonthAge(db).toInt(), 7);
    QVERIFY(records::monthRecorded(db, 7) && !records::monthRecorded(db, 4));
    dao::Recordset months = records::monthsOfChild(db, QStringLiteral("a"));
    QList<int> listed;
    for (; !months.AtEOF(); months.MoveNext())
        listed << months.Fields(schema::testrecord::kMonthAge).Value().toInt();
    QCOMPARE(listed, (QList<int> {3, 5}));
    dao::Recordset one = records::recordOfChildMonth(db, QStringLiteral("a"), 5);
    QCOMPARE(one.RecordCount(), 1);
    QVERIFY(records::recordOfChildMonth(db, QStringLiteral("b"), 5).AtEOF());
    one.Edit();
    one.Fields(schema::testrecord::answers(1)).setValue(QStringLiteral("12"));
    one.Update();
    QCOMPARE(temp.rows(schema::testrecord::kTable).at(2).value(schema::testrecord::answers(1)).toString(),
        QStringLiteral("12"));
}

void TestDao::statementsRunAsWritten()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    for (const char *name : {"b", "order by", "a"})
        addUser(db, QString::fromLatin1(name));
    auto names = [](dao::Recordset rs) {
        QStringList listed;
        for (; !rs.AtEOF(); rs.MoveNext())
            listed << rs.Fields(schema::user::kName).Value().toString();
        return listed;
    };

    // Any statement runs as it stands, read-only.
    dao::Recordset one
        = db.OpenRecordset(QStringLiteral("select * from user where name=? limit 1"), {QStringLiteral("a")});
    QCOMPARE(names(std::move(one)), QStringList {QStringLiteral("a")});
    QCOMPARE(names(db.OpenRecordset(QStringLiteral("select * from user -- every child"))).size(), 3);
    dao::Recordset computed = db.OpenRecordset(QStringLiteral("select * from user where name='a'"));
    QCOMPARE(errorOf([&] { computed.Edit(); }), int(dao::kReadOnly));

    // Matching rows of a table come in stored order and can be changed,
    // whatever the condition holds.
    dao::Recordset matching
        = db.OpenTable(schema::user::kTable, QStringLiteral("name > '' and name <> 'order by' -- not that one"));
    matching.Edit();
    matching.Fields(schema::user::kSex).setValue(QStringLiteral("男"));
    matching.Update();
    QCOMPARE(names(std::move(matching)), (QStringList {QStringLiteral("b"), QStringLiteral("a")}));
    QCOMPARE(temp.rows(schema::user::kTable).first().value(schema::user::kSex).toString(), QStringLiteral("男"));
}

void TestDao::openBringsTheSchemaUpToDate()
{
    TempDatabase temp;
    temp.addRow(schema::user::kTable, {{schema::user::kName, QStringLiteral("a")}});
    temp.addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, QStringLiteral("a")}, {schema::testrecord::kMonthAge, 3}});
    auto setSchema = [&](const QString &change) {
        dao::Database db = temp.open();
        db.Execute(change);
    };
    // A file of schema 2 has no measurement dates.
    auto dropDate = [&] {
        QStringList before;
        for (const schema::Column &column : schema::tables().at(1).columns) {
            if (column.since <= 2)
                before.append(column.name);
        }
        setSchema(QStringLiteral("CREATE TABLE old AS SELECT %1 FROM testrecord").arg(before.join(QLatin1Char(','))));
        setSchema(QStringLiteral("DROP TABLE testrecord"));
        setSchema(QStringLiteral("ALTER TABLE old RENAME TO testrecord"));
    };
    dropDate();
    setSchema(QStringLiteral("PRAGMA user_version = 2"));
    const auto users = temp.rows(schema::user::kTable);
    auto months = temp.rows(schema::testrecord::kTable);
    QVERIFY(!months.first().contains(schema::testrecord::kMeasured));

    // An older file is migrated when it is opened, every row kept; the
    // months written before have no date.
    {
        dao::Database db = assessmentdb::open();
        QCOMPARE(assessmentdb::versionOf(db).schema, assessmentdb::kSchemaVersion);
        QCOMPARE(temp.rows(schema::user::kTable), users);
        months.first().insert(schema::testrecord::kMeasured, QVariant());
        months.first().insert(schema::testrecord::kItemSet, QVariant());
        QCOMPARE(temp.rows(schema::testrecord::kTable), months);
    }
    // From schema 1 as well.
    setSchema(QStringLiteral("DROP TABLE version"));
    dropDate();
    setSchema(QStringLiteral("PRAGMA user_version = 1"));
    {
        dao::Database db = assessmentdb::open();
        QCOMPARE(assessmentdb::versionOf(db).schema, assessmentdb::kSchemaVersion);
        QCOMPARE(temp.rows(schema::testrecord::kTable), months);
    }

    // A newer one is refused, and left as it is.
    setSchema(QStringLiteral("PRAGMA user_version = %1").arg(assessmentdb::kSchemaVersion + 1));
    temp.release();
    QFile file(temp.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QCOMPARE(errorOf([] { assessmentdb::open(); }), int(dao::kUnrecognizedFormat));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
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
    auto rows = temp.rows(schema::user::kTable);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().value(schema::user::kName).toString(), QStringLiteral("kept"));
    {
        dao::Transaction tx(db);
        addUser(db, QStringLiteral("second"));
        tx.Commit();
    }
    QCOMPARE(temp.rows(schema::user::kTable).size(), 2);
}

void TestDao::noCurrentRowAndUnknownColumn()
{
    TempDatabase temp;
    dao::Database db = temp.open();
    dao::Recordset rs = db.OpenRecordset(schema::user::kTable);
    QVERIFY(rs.AtEOF());
    QCOMPARE(errorOf([&] { rs.Fields(schema::user::kName).Value(); }), int(dao::kNoCurrentRecord));
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
        QCOMPARE(held.OpenRecordset(schema::user::kTable).RecordCount(), 1);
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

void TestDao::userCopyPlaceAndItsFirstWriting()
{
    // A relative XDG_DATA_HOME is ignored: the records stay where they were,
    // whatever folder the program starts in.
    qunsetenv("XDG_DATA_HOME");
    const QString usual = assessmentdb::ownPath();
    qputenv("XDG_DATA_HOME", "data");
    QCOMPARE(assessmentdb::ownPath(), usual);
    qunsetenv("XDG_DATA_HOME");

    // The first copy is written under a name of its own, never through a
    // link someone placed at that name.
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    const QString part = dir.filePath(QStringLiteral("copy.part"));
    QFile v(victim);
    QVERIFY(v.open(QIODevice::WriteOnly) && v.write("kept") == 4);
    v.close();
    QVERIFY(QFile::link(victim, part));
    platform::Placing how;
    how.part = part;
    const QString target = dir.filePath(QStringLiteral("0-3.mdb"));
    QVERIFY(platform::placeFile(target, "records", how).done());
    QVERIFY(v.open(QIODevice::ReadOnly));
    QCOMPARE(v.readAll(), QByteArray("kept"));
    QCOMPARE(QFileInfo(target).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFileDevice::Permissions());
}

QTEST_GUILESS_MAIN(TestDao)
#include "tst_dao.moc"
