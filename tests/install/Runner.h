#pragma once

// Starts an installed copy of the program as an ordinary user would: another
// account than the one that installed it (nobody, when the tests run as
// root), a home of its own, headless, driven by the test driver library.

#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

namespace runner {

inline bool asRoot()
{
    return ::geteuid() == 0;
}

// The account that runs the program: nobody when root installed it.
inline constexpr uid_t kOther = 65534;

// Whether this process may start a program as the other account (a
// container may withhold the right to change accounts even from root).
inline bool canSwitch()
{
    return !asRoot()
        || QProcess::execute(QStringLiteral("setpriv"),
               {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                   QStringLiteral("true")})
        == 0;
}

// Makes a directory the other account's own (its home, its install).
inline void giveToOther(const QString &dir)
{
    if (asRoot())
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("65534:65534"), dir});
}

// Readable by everyone, writable by the owner alone; with readOnly, by no one.
inline void openUp(const QString &dir, bool readOnly = false)
{
    QProcess::execute(QStringLiteral("chmod"),
        {QStringLiteral("-R"), readOnly ? QStringLiteral("a+rX,a-w") : QStringLiteral("a+rX,go-w"), dir});
}

// Files every account can read: the driver library (tests/system/driver.cpp)
// and, per run, its script and log.
inline QTemporaryDir &shared()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString driver()
{
    static const QString path = [] {
        const QString copy = shared().filePath(QStringLiteral("libcgdriver.so"));
        QFile::copy(QStringLiteral(CG_BINARY_DIR "/tests/libcgdriver.so"), copy);
        openUp(shared().path());
        return copy;
    }();
    return path;
}

// The steps of a task: "show" waits for the main window; "profile:<name>"
// then saves a first profile with that name through "修改用户". Both end the
// program by closing the main window.
inline QStringList script(const QString &task)
{
    QStringList steps {QStringLiteral("window MainForm"), QStringLiteral("note WINDOW MainForm")};
    if (task.startsWith(QStringLiteral("profile:"))) {
        // A new family has no child to choose: the list is closed empty.
        steps << QStringLiteral("trigger dispuser") << QStringLiteral("window BrowForm")
              << QStringLiteral("close BrowForm") << QStringLiteral("window InputForm")
              << QStringLiteral("set TextName ") + task.section(QLatin1Char(':'), 1)
              << QStringLiteral("set TextPname 父母") << QStringLiteral("set TextPhone 123")
              << QStringLiteral("set TextEmail a@b.c") << QStringLiteral("set TextAddr 地址")
              << QStringLiteral("click ConfirmCmd") << QStringLiteral("closed InputForm")
              << QStringLiteral("note SAVED");
    }
    steps << QStringLiteral("close MainForm");
    return steps;
}

// Starts the program on a task; as the other account unless sameUser.
// Returns the log the driver writes.
inline QString start(
    const QString &program, const QString &home, const QString &task, QProcess *p, bool sameUser = false)
{
    static int runs = 0;
    const QString base = shared().filePath(QStringLiteral("run%1").arg(++runs));
    const QString log = base + QStringLiteral(".log");
    const QString library = driver(); // also opens the folder to every account
    QFile steps(base + QStringLiteral(".script"));
    if (steps.open(QIODevice::WriteOnly))
        steps.write(script(task).join(QLatin1Char('\n')).toUtf8() + '\n');
    steps.close();
    QFile logFile(log); // the other account writes to it
    if (logFile.open(QIODevice::WriteOnly))
        logFile.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    logFile.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : env.keys()) {
        if (name.startsWith(QStringLiteral("XDG_")))
            env.remove(name);
    }
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), library);
    env.insert(QStringLiteral("CG_DRIVER_SCRIPT"), steps.fileName());
    env.insert(QStringLiteral("CG_DRIVER_LOG"), log);
    p->setProcessEnvironment(env);
    if (asRoot() && !sameUser)
        p->start(QStringLiteral("setpriv"),
            {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                QStringLiteral("--"), program});
    else
        p->start(program, {});
    return log;
}

struct Run {
    int exitCode = -1;
    QStringList lines; // what the driver saw: "WINDOW MainForm", "MESSAGE <text>", "SAVED", ...
    bool said(const QString &line) const { return lines.contains(line); }
};

// Runs the program to its end on a task (see script()).
inline Run run(
    const QString &program, const QString &home, const QString &task = QStringLiteral("show"), bool sameUser = false)
{
    QProcess p;
    const QString log = start(program, home, task, &p, sameUser);
    Run r;
    if (!p.waitForFinished(90000)) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    QFile f(log);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line != QStringLiteral("DONE"))
                r.lines << (line.startsWith(QStringLiteral("NOTE ")) ? line.mid(5) : line);
        }
    }
    return r;
}

inline QByteArray digest(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The user's own database under a home.
inline QString ownDatabase(const QString &home)
{
    return home + QStringLiteral("/.local/share/helan-edu/childgrowth/0-3.mdb");
}

// Reads a file through a copy of it, so that the file itself is not touched.
template <class F> auto readCopy(const QString &file, F read) -> decltype(read(std::declval<dao::Database &>()))
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    if (!QFile::copy(file, copy))
        return {};
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    dao::Database db = dao::DBEngine::OpenDatabase(copy, true, false, assessmentdb::kConnect);
    return read(db);
}

// Every row of a table in stored order, its values joined; or one column.
inline QStringList rows(const QString &file, const QString &table, const QString &onlyColumn = {})
{
    return readCopy(file, [&](dao::Database &db) {
        QStringList values;
        for (dao::Recordset rs = db.OpenRecordset(table); !rs.AtEOF(); rs.MoveNext()) {
            QStringList row;
            for (const QString &c : rs.columnNames()) {
                if (onlyColumn.isEmpty() || c == onlyColumn)
                    row << dao::textOr(rs.Fields(c).Value(), QStringLiteral("<null>"));
            }
            values << row.join(QLatin1Char('|'));
        }
        return values;
    });
}

inline QString version(const QString &file)
{
    return readCopy(file, [](dao::Database &db) { return assessmentdb::versionOf(db).toString(); });
}

} // namespace runner
