#include "AppRun.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

// The application killed at random moments while it records profile changes
// and months: every time, the file is sound, no row is half-filled and every
// change the user saw confirmed is there.
class TestKills : public QObject {
    Q_OBJECT
private slots:
    void killedAtAnyMoment();
};

namespace {

// A hundred by default; CG_KILLS sets another number (the short run of the
// system tier).
const int kKills = qEnvironmentVariableIsSet("CG_KILLS") ? qEnvironmentVariableIntValue("CG_KILLS") : 100;
constexpr int kLongestRunMs = 1500;

struct State {
    bool hasChild = false;
    int nextMonth = 1;
};

QStringList profileSteps(bool newChild, int phone)
{
    QStringList steps {QStringLiteral("trigger dispuser"), QStringLiteral("window BrowForm")};
    if (newChild) {
        steps << QStringLiteral("close BrowForm") << QStringLiteral("window InputForm")
              << QStringLiteral("set TextName 小明") << QStringLiteral("set TextPname 王芳")
              << QStringLiteral("set TextEmail wang@example.cn") << QStringLiteral("set TextAddr 北京");
    } else {
        steps << QStringLiteral("choose List1 小明") << QStringLiteral("click cmdOK")
              << QStringLiteral("window InputForm");
    }
    steps << QStringLiteral("set TextPhone %1").arg(phone) << QStringLiteral("click ConfirmCmd")
          << QStringLiteral("closed InputForm") << QStringLiteral("note profile %1").arg(phone);
    return steps;
}

QStringList monthSteps(int month)
{
    return {
        QStringLiteral("trigger test"),
        QStringLiteral("window BrowForm"),
        QStringLiteral("choose List1 小明"),
        QStringLiteral("click cmdOK"),
        QStringLiteral("window TestForm"),
        QStringLiteral("set Text1 %1").arg(month),
        QStringLiteral("set Text2 60"),
        QStringLiteral("set Text3 7.5"),
        QStringLiteral("set Text4 110"),
        QStringLiteral("set Text5 30"),
        QStringLiteral("click Command1"),
        QStringLiteral("window QuesForm"),
        QStringLiteral("note measured %1").arg(month),
        QStringLiteral("answer Option3"),
        QStringLiteral("message"),
        QStringLiteral("note month %1").arg(month),
        QStringLiteral("closed QuesForm"),
    };
}

bool allNull(const dao::Recordset &rs, const QStringList &columns)
{
    auto &r = const_cast<dao::Recordset &>(rs);
    for (const QString &c : columns) {
        if (!r.Fields(c).Value().isNull())
            return false;
    }
    return true;
}

bool noneNull(const dao::Recordset &rs, const QStringList &columns)
{
    auto &r = const_cast<dao::Recordset &>(rs);
    for (const QString &c : columns) {
        if (r.Fields(c).Value().isNull())
            return false;
    }
    return true;
}

} // namespace

void TestKills::killedAtAnyMoment()
{
    const quint32 seed = qEnvironmentVariableIsSet("CG_KILL_SEED") ? qEnvironmentVariable("CG_KILL_SEED").toUInt()
                                                                   : QRandomGenerator::global()->generate();
    qInfo("seed %u (CG_KILL_SEED=%u repeats this run)", seed, seed);
    QRandomGenerator random(seed);

    apprun::Installation app;
    State state;
    int phone = 100000000; // grows with every change
    int lastPhoneConfirmed = 0;
    QSet<int> monthsConfirmed;
    QSet<int> monthsMeasured;
    int kills = 0;
    int resets = 0;
    QElapsedTimer clock;
    clock.start();

    while (kills < kKills) {
        if (state.nextMonth > 36) {
            // Every month recorded: start a new family on a fresh copy.
            QFile::remove(app.database());
            QVERIFY(QFile::copy(apprun::installedDatabase(), app.database()));
            QFile::setPermissions(app.database(), QFile::ReadOwner | QFile::WriteOwner);
            state = State();
            lastPhoneConfirmed = 0;
            monthsConfirmed.clear();
            monthsMeasured.clear();
            ++resets;
        }
        QStringList script {QStringLiteral("window MainForm")};
        bool newChild = !state.hasChild;
        for (int month = state.nextMonth; month <= 36; ++month) {
            script << profileSteps(newChild, ++phone) << monthSteps(month);
            newChild = false;
        }

        QProcess process;
        app.prepare(process, script);
        process.start();
        QVERIFY(process.waitForStarted());
        const int delay = random.bounded(kLongestRunMs);
        process.waitForFinished(delay);
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            ++kills;
        }
        process.waitForFinished();
        const apprun::Outcome run = app.outcome(process);
        QVERIFY2(run.failures.isEmpty(), qPrintable(run.failures.join(QLatin1Char('\n'))));
        for (const QString &note : run.notes) {
            const int value = note.section(QLatin1Char(' '), 1).toInt();
            if (note.startsWith(QStringLiteral("profile ")))
                lastPhoneConfirmed = value;
            else if (note.startsWith(QStringLiteral("measured ")))
                monthsMeasured.insert(value);
            else if (note.startsWith(QStringLiteral("month ")))
                monthsConfirmed.insert(value);
        }

        // The file as the next start finds it.
        const QString context = QStringLiteral("after kill %1 at %2 ms (seed %3)").arg(kills).arg(delay).arg(seed);
        dao::Database db = dao::DBEngine::OpenDatabase(app.database(), true, false, assessmentdb::kConnect);
        dao::Recordset check = db.OpenRecordset(QStringLiteral("PRAGMA integrity_check"));
        QVERIFY2(dao::text(check.Fields(0).Value()) == QStringLiteral("ok"), qPrintable(context));

        dao::Recordset users = db.OpenRecordset(schema::user::kTable);
        QVERIFY2(users.RecordCount() <= 1, qPrintable(context));
        state.hasChild = !users.AtEOF();
        if (state.hasChild) {
            QVERIFY2(noneNull(users,
                         {schema::user::kName, schema::user::kSex, schema::user::kBirth, schema::user::kParent,
                             schema::user::kPhone, schema::user::kEmail, schema::user::kAddress}),
                qPrintable(context));
            QVERIFY2(dao::text(users.Fields(schema::user::kPhone).Value()).toInt() >= lastPhoneConfirmed,
                qPrintable(context));
        } else {
            QVERIFY2(lastPhoneConfirmed == 0, qPrintable(context));
        }

        const QStringList measurements {schema::testrecord::kUser, schema::testrecord::kMonthAge,
            schema::testrecord::kHeight, schema::testrecord::kWeight, schema::testrecord::kHeartRate,
            schema::testrecord::kBreath};
        QStringList results;
        for (int k = 1; k <= 5; ++k)
            results << QStringLiteral("a%1").arg(k) << QStringLiteral("a%1fen").arg(k);
        QSet<int> stored;
        QSet<int> completed;
        for (dao::Recordset rs = db.OpenRecordset(schema::testrecord::kTable); !rs.AtEOF(); rs.MoveNext()) {
            QVERIFY2(noneNull(rs, measurements), qPrintable(context));
            const int month = rs.Fields(schema::testrecord::kMonthAge).Value().toInt();
            QVERIFY2(!stored.contains(month), qPrintable(context));
            stored.insert(month);
            if (noneNull(rs, results))
                completed.insert(month);
            else
                QVERIFY2(allNull(rs, results), qPrintable(context));
            state.nextMonth = std::max(state.nextMonth, month + 1);
        }
        QVERIFY2(stored.contains(monthsMeasured), qPrintable(context));
        QVERIFY2(completed.contains(monthsConfirmed), qPrintable(context));
    }
    qInfo("%d kills survived in %lld s, %d fresh families, %lld months confirmed in the last", kills,
        clock.elapsed() / 1000, resets + 1, static_cast<long long>(monthsConfirmed.size()));
}

QTEST_GUILESS_MAIN(TestKills)
#include "tst_kills.moc"
