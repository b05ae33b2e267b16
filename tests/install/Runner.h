#pragma once

// Starts an installed copy of the program as an ordinary user would: another
// account than the one that installed it (nobody, when the tests run as
// root), a home of its own, headless, driven by the cg_drive library.

#include "data/AssessmentDb.h"
#include "data/Dao.h"

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

// The driver library, copied where every account can read it.
inline QString driver()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString copy = dir.filePath(QStringLiteral("libcg_drive.so"));
        QFile::copy(QStringLiteral(CG_BINARY_DIR "/tests/libcg_drive.so"), copy);
        openUp(dir.path());
        return copy;
    }();
    return path;
}

struct Run {
    int exitCode = -1;
    QStringList lines;
    bool said(const QString &line) const { return lines.contains(line); }
};

// Starts the program; as the other account unless sameUser.
inline QProcess *start(
    const QString &program, const QString &home, const QString &task, QProcess *p, bool sameUser = false)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : env.keys()) {
        if (name.startsWith(QStringLiteral("XDG_")))
            env.remove(name);
    }
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), driver());
    env.insert(QStringLiteral("CG_DRIVE"), task);
    p->setProcessEnvironment(env);
    if (asRoot() && !sameUser)
        p->start(QStringLiteral("setpriv"),
            {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                QStringLiteral("--"), program});
    else
        p->start(program, {});
    return p;
}

// Runs the program to its end: "show" or "profile:<name>" (see drive.cpp).
inline Run run(
    const QString &program, const QString &home, const QString &task = QStringLiteral("show"), bool sameUser = false)
{
    QProcess p;
    start(program, home, task, &p, sameUser);
    Run r;
    if (!p.waitForFinished(90000)) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
