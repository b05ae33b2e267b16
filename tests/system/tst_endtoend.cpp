#include "AppRun.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"

#include <QtTest>

#include <cmath>

// A new family's first steps, in the real executable and through its windows
// only: the first child's profile, months 1 and 2, the report of month 2;
// then a restart that finds it all again.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void firstChildTwoMonthsAndTheReport();
};

namespace {

const QString kDomains[] = {QStringLiteral("生理"), QStringLiteral("运动"), QStringLiteral("认知"),
    QStringLiteral("言语"), QStringLiteral("人际")};

QStringList monthSteps(const QString &month, const QString &option)
{
    return {
        QStringLiteral("trigger test"),
        QStringLiteral("window BrowForm"),
        QStringLiteral("choose List1 小明"),
        QStringLiteral("click cmdOK"),
        QStringLiteral("window TestForm"),
        QStringLiteral("expect Text1"),
        QStringLiteral("set Text1 ") + month,
        QStringLiteral("set Text2 5") + month + QStringLiteral(".5"),
        QStringLiteral("set Text3 4.8"),
        QStringLiteral("set Text4 120"),
        QStringLiteral("set Text5 40"),
        QStringLiteral("click Command1"),
        QStringLiteral("window QuesForm"),
        QStringLiteral("answer ") + option,
        QStringLiteral("message"),
        QStringLiteral("closed QuesForm"),
    };
}

} // namespace

void TestEndToEnd::firstChildTwoMonthsAndTheReport()
{
    apprun::Installation app;
    QStringList script {
        QStringLiteral("window MainForm"),
        QStringLiteral("trigger dispuser"),
        QStringLiteral("window BrowForm"),
        QStringLiteral("expect List1"),
        QStringLiteral("close BrowForm"),
        QStringLiteral("window InputForm"),
        QStringLiteral("set TextName 小明"),
        QStringLiteral("click ConfirmCmd"),
        QStringLiteral("message 名字、性别、父母姓名、电话、电子邮件、地址不能为空"),
        QStringLiteral("set TextPname 王芳"),
        QStringLiteral("set TextPhone 13800000000"),
        QStringLiteral("set TextEmail wang@example.cn"),
        QStringLiteral("set TextAddr 北京市海淀区"),
        QStringLiteral("choose ComboSex 女"),
        QStringLiteral("choose ComboYear 2024"),
        QStringLiteral("choose ComboMonth 5"),
        QStringLiteral("choose ComboDay 20"),
        QStringLiteral("click ConfirmCmd"),
        QStringLiteral("closed InputForm"),
    };
    script << monthSteps(QStringLiteral("1"), QStringLiteral("Option1"));
    // Month 1 again is refused, then month 2.
    script << monthSteps(QStringLiteral("1"), QStringLiteral("Option2")).mid(0, 12)
           << QStringLiteral("message 1月已经测试过了，不能再作测试") << QStringLiteral("set Text1 2")
           << QStringLiteral("set Text2 52.5") << QStringLiteral("click Command1") << QStringLiteral("window QuesForm")
           << QStringLiteral("answer Option2") << QStringLiteral("message") << QStringLiteral("closed QuesForm");
    script << QStringLiteral("trigger outputreport") << QStringLiteral("window OutForm")
           << QStringLiteral("expect ComboMon") << QStringLiteral("click OKCmd")
           << QStringLiteral("message 3月的教育方案需要联网获取!") << QStringLiteral("close OutForm")
           << QStringLiteral("closed OutForm") << QStringLiteral("trigger exit");

    const apprun::Outcome first = app.run(script);
    QVERIFY2(first.failures.isEmpty(), qPrintable(first.failures.join(QLatin1Char('\n'))));
    QVERIFY(first.done);
    QCOMPARE(first.exitCode, 0);
    QCOMPARE(first.values,
        (QStringList {QStringLiteral("List1 "), QStringLiteral("Text1 1"), QStringLiteral("Text1 2"),
            QStringLiteral("ComboMon 2")}));
    QCOMPARE(first.messages.size(), 5);

    // What was stored, read back through the database layer.
    dao::Database db = dao::DBEngine::OpenDatabase(app.database(), true, false, assessmentdb::kConnect);
    dao::Recordset users = db.OpenRecordset(schema::user::kTable);
    QCOMPARE(users.RecordCount(), 1);
    QStringList profile;
    for (const char *c : {"name", "sex", "birth", "pname", "telphone", "email", "addr"})
        profile << dao::text(users.Fields(QString::fromLatin1(c)).Value());
    QCOMPARE(profile,
        (QStringList {QStringLiteral("小明"), QStringLiteral("女"), QStringLiteral("2024-5-20"), QStringLiteral("王芳"),
            QStringLiteral("13800000000"), QStringLiteral("wang@example.cn"), QStringLiteral("北京市海淀区")}));

    dao::Recordset months = db.OpenRecordset(schema::testrecord::kTable);
    QCOMPARE(months.RecordCount(), 2);
    QString address;
    for (int month = 1; month <= 2; ++month, months.MoveNext()) {
        QCOMPARE(dao::text(months.Fields(schema::testrecord::kUser).Value()), QStringLiteral("小明"));
        QCOMPARE(dao::number(months.Fields(schema::testrecord::kMonthAge).Value()), double(month));
        QCOMPARE(dao::number(months.Fields(schema::testrecord::kHeight).Value()), 50.5 + month);
        QCOMPARE(dao::number(months.Fields(schema::testrecord::kBreath).Value()), 40.0);
        // Every item rated alike: each domain holds one digit per item, and
        // its score is the sum of the items' points times the rating's factor.
        const double factor = month == 1 ? 1.25 : 1.0;
        const QChar digit = month == 1 ? QLatin1Char('1') : QLatin1Char('2');
        double total = 0;
        address = QStringLiteral(CG_WEBSITE_HOST "\\03\\report.asp?month=3");
        for (int k = 1; k <= 5; ++k) {
            dao::Recordset items = db.OpenRecordset(
                QStringLiteral("select count(*), sum(fen) from test where age=? and clas=?"), {month, kDomains[k - 1]});
            const int count = items.Fields(0).Value().toInt();
            const double points = items.Fields(1).Value().toDouble();
            const QString k1 = QString::number(k);
            QCOMPARE(dao::text(months.Fields(QStringLiteral("a") + k1).Value()), QString(count, digit));
            const double score = dao::number(months.Fields(QStringLiteral("a") + k1 + schema::test::kPoints).Value());
            QCOMPARE(score, points * factor);
            total = std::nearbyint(total + score);
            if (k > 1)
                address += QStringLiteral("&a") + k1 + QLatin1Char('=') + QString::number(score);
        }
        QCOMPARE(first.messages.at(month == 1 ? 1 : 3), QStringLiteral("您孩子的分数是:%1").arg(total));
    }
    QTRY_COMPARE(app.browserAddresses().size(), 1);
    QCOMPARE(app.browserAddresses().first(), QStringLiteral("Http:\\\\") + address);
    db = dao::Database();
    months = dao::Recordset();
    users = dao::Recordset();

    // A restart: the child is current again, the months are there, month 3 is next.
    const apprun::Outcome second = app.run({
        QStringLiteral("window MainForm"),
        QStringLiteral("trigger outputreport"),
        QStringLiteral("window OutForm"),
        QStringLiteral("expect ComboMon"),
        QStringLiteral("close OutForm"),
        QStringLiteral("closed OutForm"),
        QStringLiteral("trigger dispuser"),
        QStringLiteral("window BrowForm"),
        QStringLiteral("expect List1"),
        QStringLiteral("close BrowForm"),
        QStringLiteral("window InputForm"),
        QStringLiteral("expect TextName"),
        QStringLiteral("expect TextPhone"),
        QStringLiteral("expect ComboYear"),
        QStringLiteral("expect ComboSex"),
        QStringLiteral("close InputForm"),
        QStringLiteral("closed InputForm"),
        QStringLiteral("trigger test"),
        QStringLiteral("window BrowForm"),
        QStringLiteral("close BrowForm"),
        QStringLiteral("window TestForm"),
        QStringLiteral("expect Text1"),
        QStringLiteral("close TestForm"),
        QStringLiteral("closed TestForm"),
        QStringLiteral("trigger exit"),
    });
    QVERIFY2(second.failures.isEmpty(), qPrintable(second.failures.join(QLatin1Char('\n'))));
    QVERIFY(second.done);
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(second.messages, QStringList());
    QCOMPARE(second.values,
        (QStringList {QStringLiteral("ComboMon 2"), QStringLiteral("List1 小明"), QStringLiteral("TextName 小明"),
            QStringLiteral("TextPhone 13800000000"), QStringLiteral("ComboYear 2024"), QStringLiteral("ComboSex 女"),
            QStringLiteral("Text1 3")}));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
