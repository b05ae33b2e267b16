#include "Runner.h"
#include "data/Schema.h"

#include <QDirIterator>
#include <QStandardPaths>
#include <QtTest>

// The Debian package and the install for one user, as a family meets them.
class TestPackage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!runner::canSwitch())
            QSKIP("cannot start a program as another account (nobody) here: setpriv is refused");
    }
    void packageValidatesAndStartsForAnOrdinaryUser();
    void userInstallUpgradesAndUninstallKeepsTheRecords();

private:
    static void requireTools(const QStringList &tools)
    {
        for (const QString &tool : tools) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(tool + QStringLiteral(" is not installed (scripts/setup.sh --tests installs it)")));
        }
    }
    struct Output {
        int code = -1;
        QString text;
    };
    static Output execute(const QString &program, const QStringList &args, const QString &home = {})
    {
        QProcess p;
        if (!home.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const QString &name : env.keys()) {
                if (name.startsWith(QStringLiteral("XDG_")))
                    env.remove(name);
            }
            env.insert(QStringLiteral("HOME"), home);
            p.setProcessEnvironment(env);
        }
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        p.waitForFinished(600000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
    }
};

void TestPackage::packageValidatesAndStartsForAnOrdinaryUser()
{
    requireTools({QStringLiteral("cpack"), QStringLiteral("dpkg-shlibdeps"), QStringLiteral("desktop-file-validate"),
        QStringLiteral("appstreamcli"), QStringLiteral("lintian")});
    QTemporaryDir work;
    // From the tree the tests were built in: nothing is compiled again.
    Output out = execute(QStringLiteral("cpack"),
        {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), work.path(), QStringLiteral("--config"),
            QStringLiteral(CG_BINARY_DIR "/CPackConfig.cmake")});
    QVERIFY2(out.code == 0, qPrintable(out.text));
    const QStringList debs = QDir(work.path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    const QString deb = work.filePath(debs.first());

    out = execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")});
    QVERIFY2(
        out.text.contains(QStringLiteral("libsqlcipher")) && out.text.contains(QStringLiteral("fonts-arphic-uming")),
        qPrintable(out.text));

    const QString root = work.filePath(QStringLiteral("root"));
    QCOMPARE(execute(QStringLiteral("dpkg"), {QStringLiteral("-x"), deb, root}).code, 0);
    const QString id = QStringLiteral("cn.helan_edu.childgrowth");
    out = execute(QStringLiteral("desktop-file-validate"),
        {root + QStringLiteral("/usr/share/applications/") + id + QStringLiteral(".desktop")});
    QVERIFY2(out.code == 0, qPrintable(out.text));
    out = execute(QStringLiteral("appstreamcli"),
        {QStringLiteral("validate"), QStringLiteral("--no-net"),
            root + QStringLiteral("/usr/share/metainfo/") + id + QStringLiteral(".metainfo.xml")});
    QVERIFY2(out.code == 0, qPrintable(out.text));
    QVERIFY(
        QFile::exists(root + QStringLiteral("/usr/share/icons/hicolor/256x256/apps/") + id + QStringLiteral(".png")));
    out = execute(QStringLiteral("lintian"), {deb});
    const QStringList errors = out.text.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^E: ")));
    QVERIFY2(errors.isEmpty(), qPrintable(out.text));

    // A user of the computer starts the installed program: the main window
    // comes up, a first profile lands in that user's data folder.
    runner::openUp(work.path());
    const QString installed = root + QStringLiteral("/usr/lib/childgrowth/0-3.mdb");
    const QByteArray before = runner::digest(installed);
    QTemporaryDir homeDir;
    const QString home = homeDir.path();
    runner::openUp(home);
    runner::giveToOther(home);
    const runner::Run run
        = runner::run(root + QStringLiteral("/usr/bin/childgrowth"), home, QStringLiteral("profile:小明"));
    QVERIFY2(run.said(QStringLiteral("WINDOW MainForm")) && run.said(QStringLiteral("SAVED")),
        qPrintable(run.lines.join(QLatin1Char('\n'))));
    QCOMPARE(runner::rows(runner::ownDatabase(home), schema::user::kTable, schema::user::kName),
        QStringList {QStringLiteral("小明")});
    // Not even the account that owns the installed file writes it.
    QTemporaryDir ownerHome;
    const runner::Run owner = runner::run(
        root + QStringLiteral("/usr/bin/childgrowth"), ownerHome.path(), QStringLiteral("profile:小红"), true);
    QVERIFY2(owner.said(QStringLiteral("SAVED")), qPrintable(owner.lines.join(QLatin1Char('\n'))));
    QCOMPARE(runner::rows(runner::ownDatabase(ownerHome.path()), schema::user::kTable, schema::user::kName),
        QStringList {QStringLiteral("小红")});
    QCOMPARE(runner::digest(installed), before);
}

void TestPackage::userInstallUpgradesAndUninstallKeepsTheRecords()
{
    requireTools({QStringLiteral("desktop-file-validate")});
    QTemporaryDir homeDir;
    const QString home = homeDir.path();
    const QString install = QStringLiteral(CG_SOURCE_DIR "/scripts/install-user.sh");
    const QStringList fromHere = {install, QStringLiteral("--build-dir"), QStringLiteral(CG_BINARY_DIR)};
    Output out = execute(QStringLiteral("bash"), fromHere, home);
    QVERIFY2(out.code == 0, qPrintable(out.text));

    const QString programDir = home + QStringLiteral("/.local/lib/childgrowth");
    const QString launcher = home + QStringLiteral("/.local/bin/childgrowth");
    const QString entry = home + QStringLiteral("/.local/share/applications/cn.helan_edu.childgrowth.desktop");
    const QString icon = home + QStringLiteral("/.local/share/icons/hicolor/48x48/apps/cn.helan_edu.childgrowth.png");
    QFile desktop(entry);
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QByteArray entryText = desktop.readAll();
    QVERIFY(entryText.contains((QStringLiteral("\nExec=") + launcher + QLatin1Char('\n')).toUtf8()));
    // The menu entry's action asks for the growth report.
    QVERIFY(entryText.contains((QStringLiteral("\nExec=") + launcher + QStringLiteral(" --report\n")).toUtf8()));
    QCOMPARE(execute(QStringLiteral("desktop-file-validate"), {entry}).code, 0);
    QVERIFY(QFile::exists(icon));

    // The user's own install is theirs to write: the records live beside the program.
    runner::Run run = runner::run(launcher, home, QStringLiteral("profile:小明"), true);
    QVERIFY2(run.said(QStringLiteral("SAVED")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    const QString records = programDir + QStringLiteral("/0-3.mdb");
    const QStringList children = runner::rows(records, schema::user::kTable);
    QCOMPARE(children.size(), 1);

    out = execute(QStringLiteral("bash"), fromHere, home);
    QVERIFY2(out.code == 0, qPrintable(out.text));
    QCOMPARE(runner::rows(records, schema::user::kTable), children);

    out = execute(QStringLiteral("bash"), {QStringLiteral(CG_SOURCE_DIR "/scripts/uninstall-user.sh")}, home);
    QVERIFY2(out.code == 0 && out.text.contains(records), qPrintable(out.text));
    for (const QString &gone : {programDir + QStringLiteral("/childgrowth"), launcher, entry, icon})
        QVERIFY2(!QFileInfo(gone).exists() && !QFileInfo(gone).isSymLink(), qPrintable(gone));
    QCOMPARE(runner::rows(records, schema::user::kTable), children);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
