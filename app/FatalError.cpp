#include "FatalError.h"

#include "Messages.h"
#include "data/DbError.h"
#include "platform/Terminal.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace fatal {

namespace {
[[noreturn]] void showAndExit(const QString &text)
{
    std::fflush(nullptr);
    messages::show(QApplication::activeWindow(), text);
    std::fflush(nullptr);
    // Modal windows may be open: leave at once, without running their loops to
    // the end. Every change has already been stored.
    std::_Exit(EXIT_FAILURE);
}
} // namespace

void reportAndExit(const dao::DbError &error)
{
    showAndExit(QStringLiteral("运行时错误 '%1':\n\n%2").arg(error.number()).arg(error.description()));
}

void reportUnexpectedAndExit(const char *what)
{
    showAndExit(QStringLiteral("运行时错误:\n\n%1").arg(QString::fromLocal8Bit(what)));
}

int reportCommandFailure(const QString &sentence)
{
    if (platform::stderrIsTerminal() && !messages::hasHook()) {
        std::fprintf(stderr, "%s\n", sentence.toLocal8Bit().constData());
        std::fflush(stderr);
    } else {
        messages::show(nullptr, sentence);
    }
    return EXIT_FAILURE;
}

} // namespace fatal
