#include "AddressOpener.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace platform {

void openAddressNative(const QString &address)
{
    // Detached, with the address as the single argument: xdg-open waits for
    // the browser, and no character of the address reaches a shell.
    QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

bool openDocumentNative(const QString &path)
{
    // The opener ends at once when nothing can show the file; when it runs
    // the viewer in the foreground it is left running, and its viewer with it.
    const QByteArray program = QByteArrayLiteral("xdg-open");
    QByteArray file = QFile::encodeName(path);
    char *argv[] = {const_cast<char *>(program.constData()), file.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 3000) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR)
            return true; // not ours to wait for: nothing says it failed
        QThread::msleep(50);
    }
    return true;
}

} // namespace platform
