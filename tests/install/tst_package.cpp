#include "Runner.h"
#include "core/data/Schema.h"

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
    void packageBuildsReproduciblyAndValidates();
    void packageStartsForAnOrdinaryUser();
    void userInstallHandsItsRecordsOverAndUninstallKeepsThem();

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
    static Output execute(
        const QString &program, const QStringList &args, const QString &home = {}, const QStringList &extraEnv = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!home.isEmpty()) {
            for (const QString &name : env.keys()) {
                if (name.startsWith(QStringLiteral("XDG_")))
                    env.remove(name);
            }
            env.insert(QStringLiteral("HOME"), home);
        }
        for (const QString &pair : extraEnv)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        p.waitForFinished(1500000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
    }
    static QFileDevice::Permissions modeOf(const QString &path) { return QFileInfo(path).permissions(); }

    QTemporaryDir m_work;
    QString m_root; // the package's files, unpacked
};

void TestPackage::packageBuildsReproduciblyAndValidates()
{
    requireTools({QStringLiteral("dpkg-buildpackage"), QStringLiteral("dh"), QStringLiteral("desktop-file-validate"),
        QStringLiteral("appstreamcli"), QStringLiteral("lintian")});
    // Built twice in the same place; the second build reuses the first one's
    // compiled objects (ccache), everything after the compiler runs again.
    const QString out = m_work.filePath(QStringLiteral("deb"));
    QStringList env;
    if (!QStandardPaths::findExecutable(QStringLiteral("ccache")).isEmpty())
        env << QStringLiteral("CMAKE_CXX_COMPILER_LAUNCHER=ccache")
            << QStringLiteral("CCACHE_DIR=") + m_work.filePath(QStringLiteral("ccache"));
    const QString script = QStringLiteral(CG_SOURCE_DIR "/scripts/build-deb.sh");
    QString deb;
    QByteArray first;
    for (int build = 0; build < 2; ++build) {
        const Output built = execute(QStringLiteral("bash"), {script, QStringLiteral("--out"), out}, {}, env);
        QVERIFY2(built.code == 0, qPrintable(built.text.right(3000)));
        const QStringList debs = QDir(out).entryList({QStringLiteral("childgrowth_" CG_VERSION "_*.deb")});
        QCOMPARE(debs.size(), 1);
        deb = out + QLatin1Char('/') + debs.first();
        if (build == 0) {
            first = runner::digest(deb);
            QVERIFY(QFile::remove(deb));
        }
    }
    QVERIFY2(runner::digest(deb) == first, "two builds of the package differ");

    Output out2 = execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")});
    QVERIFY2(out2.text.contains(QStringLiteral("libsqlcipher"))
            && out2.text.contains(QStringLiteral("fonts-wqy-microhei | fonts-noto-cjk")),
        qPrintable(out2.text));
    m_root = m_work.filePath(QStringLiteral("root"));
    QCOMPARE(execute(QStringLiteral("dpkg"), {QStringLiteral("-x"), deb, m_root}).code, 0);
    // Debian's hardening flags reached the compiler and the linker.
    if (!QStandardPaths::findExecutable(QStringLiteral("hardening-check")).isEmpty()) {
        out2
            = execute(QStringLiteral("hardening-check"), {m_root + QStringLiteral("/usr/lib/childgrowth/childgrowth")});
        QVERIFY2(out2.code == 0, qPrintable(out2.text));
    }

    const QString id = QStringLiteral("cn.helan_edu.childgrowth");
    out2 = execute(QStringLiteral("desktop-file-validate"),
        {m_root + QStringLiteral("/usr/share/applications/") + id + QStringLiteral(".desktop")});
    QVERIFY2(out2.code == 0, qPrintable(out2.text));
    out2 = execute(QStringLiteral("appstreamcli"),
        {QStringLiteral("validate"), QStringLiteral("--pedantic"), QStringLiteral("--no-net"),
            m_root + QStringLiteral("/usr/share/metainfo/") + id + QStringLiteral(".metainfo.xml")});
    QVERIFY2(out2.code == 0, qPrintable(out2.text));
    out2 = execute(QStringLiteral("lintian"), {QStringLiteral("--pedantic"), deb});
    const QStringList faults = out2.text.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^[EW]: ")));
    QVERIFY2(out2.code == 0 && faults.isEmpty(), qPrintable(out2.text));
}

void TestPackage::packageStartsForAnOrdinaryUser()
{
    if (m_root.isEmpty())
        QSKIP("no package was built");
    // A user of the computer starts the installed program: the main window
    // comes up, a first profile lands in that user's private data folder.
    runner::openUp(m_work.path());
    const QString program = m_root + QStringLiteral("/usr/bin/childgrowth");
    const QString installed = m_root + QStringLiteral("/usr/lib/childgrowth/0-3.mdb");
    const QByteArray before = runner::digest(installed);
    QTemporaryDir homeDir;
    const QString home = homeDir.path();
    runner::openUp(home);
    runner::giveToOther(home);
    const runner::Run run = runner::run(program, home, QStringLiteral("profile:小明"));
    QVERIFY2(run.said(QStringLiteral("WINDOW MainForm")) && run.said(QStringLiteral("SAVED")),
        qPrintable(run.lines.join(QLatin1Char('\n'))));
    const QString own = runner::ownDatabase(home);
    QCOMPARE(runner::rows(own, schema::user::kTable, schema::user::kName), QStringList {QStringLiteral("小明")});
    QCOMPARE(modeOf(own), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QCOMPARE(modeOf(QFileInfo(own).path()) & (QFile::ReadOther | QFile::ReadGroup | QFile::ExeOther),
        QFileDevice::Permissions());
    // Not even the account that owns the installed file writes it.
    QTemporaryDir ownerHome;
    const runner::Run owner = runner::run(program, ownerHome.path(), QStringLiteral("profile:小红"), true);
    QVERIFY2(owner.said(QStringLiteral("SAVED")), qPrintable(owner.lines.join(QLatin1Char('\n'))));
    QCOMPARE(runner::rows(runner::ownDatabase(ownerHome.path()), schema::user::kTable, schema::user::kName),
        QStringList {QStringLiteral("小红")});
    QCOMPARE(runner::digest(installed), before);
}

void TestPackage::userInstallHandsItsRecordsOverAndUninstallKeepsThem()
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

    // An install of an earlier version kept the records beside the program,
    // open to every account, in a home open to them too.
    const QString beside = programDir + QStringLiteral("/0-3.mdb");
    QVERIFY(QFile::remove(beside + QStringLiteral(".installed")));
    runner::Run run = runner::run(launcher, home, QStringLiteral("profile:小明"), true);
    QVERIFY2(run.said(QStringLiteral("SAVED")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    const QStringList children = runner::rows(beside, schema::user::kTable);
    QCOMPARE(children.size(), 1);
    const QString own = runner::ownDatabase(home);
    QVERIFY(!QFile::exists(own));
    QFile::setPermissions(beside, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    // The upgrade hands them over to the user's own copy, once.
    out = execute(QStringLiteral("bash"), fromHere, home);
    QVERIFY2(out.code == 0 && out.text.contains(QStringLiteral("moved to ") + own), qPrintable(out.text));
    QCOMPARE(runner::rows(own, schema::user::kTable), children);
    QCOMPARE(runner::rows(beside + QStringLiteral(".moved"), schema::user::kTable), children);
    QCOMPARE(modeOf(own), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    out = execute(QStringLiteral("bash"), fromHere, home);
    QVERIFY2(out.code == 0 && !out.text.contains(QStringLiteral("moved to ")), qPrintable(out.text));

    // The program of the package finds the same records for this user: the
    // child it edits is the one the install for one user kept.
    if (!m_root.isEmpty()) {
        run = runner::run(m_root + QStringLiteral("/usr/bin/childgrowth"), home, QStringLiteral("profile:小红"), true);
        QVERIFY2(run.said(QStringLiteral("SAVED")), qPrintable(run.lines.join(QLatin1Char('\n'))));
        QCOMPARE(runner::rows(own, schema::user::kTable, schema::user::kName), QStringList {QStringLiteral("小红")});
    }

    // Records in both places: neither is touched, the install names both.
    const QStringList ownRows = runner::rows(own, schema::user::kTable);
    QVERIFY(QFile::remove(beside) && QFile::rename(beside + QStringLiteral(".moved"), beside));
    QVERIFY(QFile::remove(beside + QStringLiteral(".installed")));
    out = execute(QStringLiteral("bash"), fromHere, home);
    QVERIFY2(out.code == 0 && out.text.contains(own) && out.text.contains(beside), qPrintable(out.text));
    QCOMPARE(runner::rows(own, schema::user::kTable), ownRows);
    QCOMPARE(runner::rows(beside, schema::user::kTable), children);

    // The install lists what it put in place, the files it wrote itself
    // too, never the records; the uninstall removes the list and its files.
    QFile list(programDir + QStringLiteral("/install_manifest.txt"));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QStringList installed = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(installed.contains(launcher) && installed.contains(entry) && !installed.contains(beside),
        qPrintable(installed.join(QLatin1Char('\n'))));
    installed << list.fileName();

    out = execute(QStringLiteral("bash"), {QStringLiteral(CG_SOURCE_DIR "/scripts/uninstall-user.sh")}, home);
    QVERIFY2(out.code == 0 && out.text.contains(own) && out.text.contains(beside), qPrintable(out.text));
    for (const QString &gone : {programDir + QStringLiteral("/childgrowth"), launcher, entry, icon})
        QVERIFY2(!QFileInfo(gone).exists() && !QFileInfo(gone).isSymLink(), qPrintable(gone));
    for (const QString &gone : std::as_const(installed))
        QVERIFY2(!QFileInfo(gone).exists() && !QFileInfo(gone).isSymLink(), qPrintable(gone));
    QCOMPARE(runner::rows(own, schema::user::kTable), ownRows);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
