#include "AppRun.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include <unistd.h>

namespace apprun {

QString installedDatabase()
{
    return QStringLiteral(CG_APP_DIR "/0-3.mdb");
}

Installation::Installation(bool withDatabase, const QString &under)
    : m_dir(under.isEmpty() ? QDir::tempPath() + QStringLiteral("/app-XXXXXX") : under + QStringLiteral("/app-XXXXXX"))
{
    // Readable by every user, for the runs as an ordinary user.
    for (const QString &d : {m_dir.path(), m_files.path()})
        QFile::setPermissions(
            d, QFile::permissions(d) | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    m_exe = m_dir.filePath(QStringLiteral("childgrowth"));
    // A hard link where the file system allows it (the executable finds its
    // database beside the path it was started from), a copy otherwise.
    if (::link(CG_APP_EXE, QFile::encodeName(m_exe).constData()) != 0)
        QFile::copy(QStringLiteral(CG_APP_EXE), m_exe);
    if (withDatabase) {
        QFile::copy(installedDatabase(), database());
        QFile::setPermissions(database(), QFile::permissions(database()) | QFile::WriteOwner);
    }
    // The browser: a script that writes down the address it is given.
    const QString opener = m_files.filePath(QStringLiteral("bin/xdg-open"));
    QDir().mkpath(m_files.filePath(QStringLiteral("bin")));
    QFile f(opener);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/addresses\"\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }
    // The driver, where every account can read it (the build may not be).
    QFile::copy(QStringLiteral(CG_DRIVER), m_files.filePath(QStringLiteral("libcgdriver.so")));
    m_home = m_files.filePath(QStringLiteral("home"));
    QDir().mkpath(m_home);
    if (::geteuid() == 0) // the home of the ordinary user the program may run as
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("65534:65534"), m_home});
    m_log = m_files.filePath(QStringLiteral("driver.log"));
    m_script = m_files.filePath(QStringLiteral("driver.script"));
}

QString Installation::userDatabase() const
{
    return m_home + QStringLiteral("/.local/share/helan-edu/childgrowth/0-3.mdb");
}

QStringList Installation::browserAddresses() const
{
    QFile f(m_files.filePath(QStringLiteral("bin/addresses")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void Installation::prepare(QProcess &process, const QStringList &script, bool ordinaryUser)
{
    QFile::remove(m_log);
    QFile log(m_log);
    if (log.open(QIODevice::WriteOnly)) // writable by the ordinary user too
        log.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    log.close();
    QFile steps(m_script);
    if (steps.open(QIODevice::WriteOnly | QIODevice::Truncate))
        steps.write(script.join(QLatin1Char('\n')).toUtf8() + '\n');
    steps.close();
    steps.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    QStringList settings {
        QStringLiteral("QT_QPA_PLATFORM=offscreen"),
        QStringLiteral("LANG=C.UTF-8"),
        QStringLiteral("HOME=") + m_home,
        QStringLiteral("XDG_DATA_HOME=") + m_home + QStringLiteral("/.local/share"),
        QStringLiteral("CG_DRIVER_SCRIPT=") + m_script,
        QStringLiteral("CG_DRIVER_LOG=") + m_log,
        QStringLiteral("PATH=") + m_files.filePath(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"),
        // The driver follows the sanitizer runtime when the build has one.
        QStringLiteral("LD_PRELOAD=") + m_files.filePath(QStringLiteral("libcgdriver.so")),
        QStringLiteral("ASAN_OPTIONS=") + qEnvironmentVariable("ASAN_OPTIONS")
            + QStringLiteral(":verify_asan_link_order=0"),
    };
    for (const char *passed : {"UBSAN_OPTIONS", "LSAN_OPTIONS", "CG_DRIVER_STEP_SECONDS"}) {
        if (qEnvironmentVariableIsSet(passed))
            settings << QString::fromLatin1(passed) + QLatin1Char('=') + qEnvironmentVariable(passed);
    }
    if (ordinaryUser && ::geteuid() == 0) {
        process.setProgram(QStringLiteral("runuser"));
        process.setArguments(
            QStringList {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), QStringLiteral("env")}
            + settings + QStringList {m_exe});
        process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    } else {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &s : settings)
            env.insert(s.section(QLatin1Char('='), 0, 0), s.section(QLatin1Char('='), 1));
        process.setProcessEnvironment(env);
        process.setProgram(m_exe);
        process.setArguments({});
    }
    process.setWorkingDirectory(m_dir.path());
}

Outcome Installation::outcome(QProcess &process) const
{
    Outcome o;
    o.finished = process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit;
    o.exitCode = o.finished ? process.exitCode() : -1;
    o.errorOutput = QString::fromUtf8(process.readAllStandardError());
    QFile log(m_log);
    if (log.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'))) {
            const QString rest = line.section(QLatin1Char(' '), 1);
            if (line.startsWith(QStringLiteral("MESSAGE ")))
                o.messages << QString(rest).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
            else if (line.startsWith(QStringLiteral("NOTE ")))
                o.notes << rest;
            else if (line.startsWith(QStringLiteral("VALUE ")))
                o.values << rest;
            else if (line.startsWith(QStringLiteral("FAIL ")))
                o.failures << rest;
            else if (line == QStringLiteral("DONE"))
                o.done = true;
        }
    }
    return o;
}

Outcome Installation::run(const QStringList &script, bool ordinaryUser, int limitMs)
{
    QProcess process;
    prepare(process, script, ordinaryUser);
    process.start();
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished();
        Outcome o = outcome(process);
        o.finished = false;
        o.failures << QStringLiteral("the application did not end");
        return o;
    }
    return outcome(process);
}

} // namespace apprun
