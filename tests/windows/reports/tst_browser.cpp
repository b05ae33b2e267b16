#include "core/data/Schema.h"
#include "core/reports/WebSite.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"
#include "windows/reports/OutForm.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::AddressRecorder;
using testsupport::child;
using testsupport::MessageRecorder;
using testsupport::TempDatabase;

// The report address, exactly as the report window builds it, handed to a
// real browser: the web site (here a local stand-in) must receive the request
// for the report page with the month and the four scores.
class TestBrowser : public QObject {
    Q_OBJECT
private slots:
    void browserRequestsTheReportPage();

private:
    static QString reportAddress();
};

QString TestBrowser::reportAddress()
{
    TempDatabase db;
    current::userName = QStringLiteral("小明");
    db.addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, current::userName}, {schema::testrecord::kMonthAge, 3},
            {schema::testrecord::score(2), 3 * 0.8}, {schema::testrecord::score(3), 12.5},
            {schema::testrecord::score(4), 8}, {schema::testrecord::score(5), 9}});
    MessageRecorder messages;
    AddressRecorder addresses;
    OutForm form;
    child<QPushButton>(&form, QStringLiteral("OKCmd"))->click();
    return addresses.addresses.value(0);
}

void TestBrowser::browserRequestsTheReportPage()
{
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty())
        QSKIP("chromium is not installed (scripts/setup.sh --tests installs it)");
    {
        QProcess probe;
        probe.start(chromium, {QStringLiteral("--version")});
        if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0) {
            probe.kill();
            probe.waitForFinished();
            QSKIP(qPrintable(QStringLiteral("chromium cannot run here: ")
                + QString::fromLocal8Bit(probe.readAllStandardError()).left(300)));
        }
    }
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    QVERIFY2(!python.isEmpty(), "python3 is needed for the local web server (scripts/setup.sh --tests)");

    const QString address = reportAddress();
    QVERIFY2(address.startsWith(webpages::baseUrl()), qPrintable(address));
    QCOMPARE(
        address.mid(webpages::baseUrl().size()), QStringLiteral("\\03\\report.asp?month=4&a2=2.4&a3=12.5&a4=8&a5=9"));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString record = dir.filePath(QStringLiteral("requests.txt"));

    QProcess server;
    server.start(python, {QStringLiteral(CG_SOURCE_DIR "/tests/windows/reports/report_server.py"), record});
    QVERIFY2(server.waitForStarted(10000), qPrintable(server.errorString()));
    auto stopServer = qScopeGuard([&server] {
        server.kill();
        server.waitForFinished();
    });
    QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 10000);
    const QString port = QString::fromLatin1(server.readLine()).trimmed();
    QVERIFY2(port.toInt() > 0, qPrintable(port));

    // Only the base URL changes: the rest of the address is the window's own.
    const QString local = QStringLiteral("Http:\\\\127.0.0.1:") + port + address.mid(webpages::baseUrl().size());

    QProcess browser;
    browser.start(chromium,
        {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
            QStringLiteral("--disable-quic"), QStringLiteral("--no-first-run"),
            QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
            QStringLiteral("--disable-sync"),
            QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("profile")), QStringLiteral("--dump-dom"),
            local});
    QVERIFY2(browser.waitForStarted(30000), qPrintable(browser.errorString()));
    if (!browser.waitForFinished(120000)) {
        browser.kill();
        browser.waitForFinished();
        QFAIL("chromium did not finish within two minutes");
    }
    const QByteArray dom = browser.readAllStandardOutput();
    const QByteArray errors = browser.readAllStandardError();

    QFile file(record);
    QVERIFY2(file.open(QIODevice::ReadOnly),
        qPrintable(QStringLiteral("no request reached the server; chromium said: ")
            + QString::fromLocal8Bit(errors.right(1000))));
    const QStringList requests = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList reports;
    for (const QString &line : requests) {
        if (line.startsWith(QStringLiteral("GET /03/report.asp")))
            reports << line;
    }
    QCOMPARE(reports, QStringList {QStringLiteral("GET /03/report.asp?month=4&a2=2.4&a3=12.5&a4=8&a5=9 HTTP/1.1")});
    QVERIFY2(dom.contains("report"), dom.left(500).constData());
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
