#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The program's command line as a script, cron or ssh runs it: no display,
// no terminal, standard output and error read by the caller. Nothing may wait
// on a box nobody sees, and every outcome is a status and a sentence.
class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void withoutDisplayOrTerminal_data();
    void withoutDisplayOrTerminal();
};

void TestCommandLine::withoutDisplayOrTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // expected in standard output
    QTest::addColumn<QString>("err"); // expected in standard error
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("--report")
                          << QString();
    QTest::newRow("help with Qt's options") << QStringList{QStringLiteral("--help-all")} << 0
                                            << QStringLiteral("-platform") << QString();
    QTest::newRow("version, with a Qt option")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("minimal"), QStringLiteral("--version")} << 0
        << QStringLiteral("childgrowth " CG_PROJECT_VERSION) << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2 << QString()
                                    << QStringLiteral("--bogus");
    QTest::newRow("stray argument") << QStringList{QStringLiteral("file.mdb")} << 2 << QString()
                                    << QStringLiteral("file.mdb");
    QTest::newRow("option of another mode") << QStringList{QStringLiteral("--output"), QStringLiteral("x.pdf")}
                                            << 2 << QString() << QStringLiteral("--report");
    QTest::newRow("report of nobody") << QStringList{QStringLiteral("--report"), QStringLiteral("--child=无此人")}
                                      << 1 << QString() << QStringLiteral("无此人");
}

void TestCommandLine::withoutDisplayOrTerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(CG_BINARY_DIR "/bin/childgrowth"), arguments);
    QVERIFY2(p.waitForFinished(30000), "the command did not end");
    const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
    const QString stdErr = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    if (!out.isEmpty())
        QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
    if (!err.isEmpty())
        QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    if (exitCode != 0)
        QVERIFY2(stdOut.isEmpty(), qPrintable(stdOut));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
