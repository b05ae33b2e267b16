// The page for the coming month: what it lists and in which order, what it
// leaves out once the questionnaire an answer belonged to has changed, and
// the warning signs of the child's age.
#include "core/assessment/Scoring.h"
#include "core/data/ContentFile.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "core/reports/NextMonth.h"
#include "support/TempDatabase.h"
#include "windows/reports/PlanPdf.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestPlan : public QObject {
    Q_OBJECT

private slots:
    void init();
    void pageFollowsTheAnswers();
    void changedMonthNamesNoSingleAnswer();
    void signsOfTheCheckpointAtOrAfterTheAge_data();
    void signsOfTheCheckpointAtOrAfterTheAge();

private:
    // A child 12 months old whose month 12 is answered: 生理 all 优秀, 运动 and
    // 人际 良好, 认知 一般 first then 良好, 言语 几乎不行 first then 完全不行.
    void addAnsweredChild();
    nextmonth::Page page(std::optional<int> month = std::nullopt) const;
    // The PDF's text without blanks and line breaks.
    static QString pdfText(const nextmonth::Page &page);
    QStringList titles(int month, const QString &domain) const;

    std::unique_ptr<testsupport::TempDatabase> m_db;
    QDate m_today = QDate(2026, 12, 10);
};

void TestPlan::init()
{
    m_db = testsupport::TempDatabase::copyOfInstalled();
}

QStringList TestPlan::titles(int month, const QString &domain) const
{
    QStringList found;
    dao::Database db = m_db->open();
    for (dao::Recordset rs = records::itemsOfMonth(db, static_cast<std::int16_t>(month)); !rs.AtEOF(); rs.MoveNext()) {
        if (rs.Fields(schema::test::kClass).Value().toString() == domain)
            found << rs.Fields(schema::test::kItem).Value().toString();
    }
    return found;
}

void TestPlan::addAnsweredChild()
{
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("小明")},
            {schema::user::kBirth, m_today.addMonths(-12).addDays(-3).toString(QStringLiteral("yyyy-M-d"))}});
    const int first[] = {1, 2, 3, 4, 2};
    const int rest[] = {1, 2, 2, 5, 2};
    scoring::ScoreSheet sheet;
    {
        dao::Database db = m_db->open();
        QList<int> seen(scoring::kDomainCount, 0);
        for (dao::Recordset rs = records::itemsOfMonth(db, 12); !rs.AtEOF(); rs.MoveNext()) {
            const QVariant clas = rs.Fields(schema::test::kClass).Value();
            const int d = scoring::domainNumber(clas.toString()) - 1;
            sheet.record(clas, rs.Fields(schema::test::kPoints).Value(), seen[d]++ ? rest[d] : first[d]);
        }
    }
    QVariantMap month {{schema::testrecord::kUser, QStringLiteral("小明")}, {schema::testrecord::kMonthAge, 12}};
    for (int d = scoring::kFirstDomain; d <= scoring::kLastDomain; ++d) {
        month.insert(schema::testrecord::answers(d), sheet.answers(d));
        month.insert(schema::testrecord::score(d), sheet.score(d));
    }
    m_db->addRow(schema::testrecord::kTable, month);
}

nextmonth::Page TestPlan::page(std::optional<int> month) const
{
    dao::Database db = m_db->open();
    return nextmonth::build(db, growthreport::readChildren(db, QStringLiteral("小明")).first(), month, m_today);
}

QString TestPlan::pdfText(const nextmonth::Page &page)
{
    QTemporaryDir dir;
    QFile pdf(dir.filePath(QStringLiteral("plan.pdf")));
    if (!pdf.open(QIODevice::WriteOnly) || !planpdf::write(&pdf, {page}, QDate(2026, 12, 10)))
        return {};
    pdf.close();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral("\\s")));
}

void TestPlan::pageFollowsTheAnswers()
{
    addAnsweredChild();
    const QString text = pdfText(page());
    QVERIFY2(text.contains(QStringLiteral("接下来：13个月")), qPrintable(text.left(200)));
    // What to practise first, then the domains from the lowest share of their
    // points to the highest, each with its month-13 items in their order, then
    // when to ask the doctor.
    QStringList order {QStringLiteral("可以多陪着练的"), titles(12, QStringLiteral("言语")).first(),
        titles(12, QStringLiteral("认知")).first(), QStringLiteral("13个月可以一起做的")};
    for (const QString &domain : {QStringLiteral("言语"), QStringLiteral("认知"), QStringLiteral("运动"),
             QStringLiteral("人际"), QStringLiteral("生理")}) {
        order << domain << titles(13, domain);
    }
    order << QStringLiteral("这些情况请咨询儿保医生") << QStringLiteral("叫他的名字，他没有反应");
    qsizetype at = 0;
    for (const QString &expected : order) {
        const qsizetype found = text.indexOf(QString(expected).remove(QRegularExpression(QStringLiteral("\\s"))), at);
        QVERIFY2(found >= 0, qPrintable(QStringLiteral("\"%1\" not found after position %2").arg(expected).arg(at)));
        at = found;
    }
    // Shares as a parent reads them; only the items answered 一般 or lower are
    // named; no word that judges the child.
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("言语\\d+(\\.\\d)?/16"))));
    QVERIFY(text.contains(QStringLiteral("生理20/16")));
    QVERIFY(!text.contains(titles(12, QStringLiteral("运动")).first()));
    for (const QString &judging : {QStringLiteral("落后"), QStringLiteral("异常"), QStringLiteral("不正常")})
        QVERIFY(!text.contains(judging));

    // After the last month the page ends the questionnaire and names the
    // 3-year check.
    const QString last = planpdf::html(page(36), m_today);
    QVERIFY(last.contains(QStringLiteral("问卷到36个月为止")) && last.contains(QStringLiteral("3岁体检")));
}

void TestPlan::changedMonthNamesNoSingleAnswer()
{
    addAnsweredChild();
    auto newQuestionnaire = [&](int changedMonth) {
        auto installed = testsupport::TempDatabase::copyOfInstalled();
        dao::Database to = installed->open();
        to.Execute(QStringLiteral("UPDATE test SET howto = howto || '。' WHERE age = ?"), {changedMonth});
        assessmentdb::writeVersion(to);
        dao::Database file = m_db->open();
        assessmentdb::update(file, to);
    };
    // Another month's items change: month 12 still holds the items it was
    // answered with.
    newQuestionnaire(5);
    QVERIFY(page().practise.has_value());
    // Month 12's items change: its digits no longer name items on the page.
    newQuestionnaire(12);
    const nextmonth::Page changed = page();
    QVERIFY(!changed.practise.has_value());
    QCOMPARE(changed.domains.first().name, QStringLiteral("言语"));
    const QString text = pdfText(changed);
    QVERIFY(!text.contains(QStringLiteral("可以多陪着练的")));
    QVERIFY(!text.contains(titles(12, QStringLiteral("言语")).first()));
}

void TestPlan::signsOfTheCheckpointAtOrAfterTheAge_data()
{
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("checkpoint");
    const int checkpoints[] = {3, 6, 8, 12, 18, 24, 30, 36};
    int before = 0;
    for (const int c : checkpoints) {
        QTest::addRow("%d months", before + 1) << before + 1 << c;
        QTest::addRow("%d months", c) << c << c;
        before = c;
    }
    QTest::addRow("newborn") << 0 << 3;
    QTest::addRow("past 3 years") << 40 << 36;
}

void TestPlan::signsOfTheCheckpointAtOrAfterTheAge()
{
    QFETCH(int, age);
    QFETCH(int, checkpoint);
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("小明")},
            {schema::user::kBirth, m_today.addMonths(-age).addDays(-1).toString(QStringLiteral("yyyy-M-d"))}});
    const nextmonth::Page shown = page();
    QCOMPARE(shown.checkpoint, checkpoint);
    QStringList expected;
    for (const content::Sign &s : content::readSigns(QStringLiteral(CG_SOURCE_DIR "/content/warning-signs.tsv"))) {
        if (s.kind == content::Sign::Kind::Sign && s.age == checkpoint)
            expected << s.text;
    }
    QCOMPARE(shown.signs, expected);
}

QTEST_MAIN(TestPlan)
#include "tst_plan.moc"
