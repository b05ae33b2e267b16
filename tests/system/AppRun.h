#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The real executable, installed in a directory of its own with its database
// beside it, worked by the test driver (driver.cpp) from a script of steps.
namespace apprun {

// What a run of the application showed and how it ended.
struct Outcome {
    bool finished = false; // ended on its own (not killed, not hung)
    int exitCode = -1; // -1 when it ended by a signal
    QStringList messages; // every message box, in order
    QStringList notes; // the script's confirmations
    QStringList values; // "NAME text" of the expect steps
    QStringList failures; // steps that could not be done
    bool done = false; // every step of the script was done
    QString errorOutput; // standard error
};

class Installation {
public:
    // withDatabase: a copy of the built database beside the executable;
    // under: the directory to install in (a temporary one by default).
    explicit Installation(bool withDatabase = true, const QString &under = {});

    QString dir() const { return m_dir.path(); }
    QString database() const { return m_dir.filePath(QStringLiteral("0-3.mdb")); }
    // The user's own copy, where the program keeps the records when it
    // cannot write beside itself (a home of the run's own, never the tester's).
    QString userDatabase() const;
    // The addresses handed to the browser (the fake xdg-open's record).
    QStringList browserAddresses() const;

    // Prepares a process to run the application on the script; the test
    // starts it (and may kill it). ordinaryUser runs it as "nobody" when the
    // test runs as root, for whom no file is read-only.
    void prepare(QProcess &process, const QStringList &script, bool ordinaryUser = false);
    // What the last prepared run wrote to its log (and its standard error).
    Outcome outcome(QProcess &process) const;
    // Runs to the end; a run that does not end within the limit is killed.
    Outcome run(const QStringList &script = {}, bool ordinaryUser = false, int limitMs = 60000);

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_files; // the script, the log and the browser, off the installation's disk
    QString m_exe;
    QString m_home;
    QString m_log;
    QString m_script;
};

// The database as the build installs it.
QString installedDatabase();

} // namespace apprun
