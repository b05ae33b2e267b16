#include "FatalError.h"

#include "core/data/DbError.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace fatal {

namespace {

constexpr int kHeadlessBoxMs = 2000;

// Platforms whose windows nobody can see or answer.
bool headless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal");
}

[[noreturn]] void showAndExit(const QString &text)
{
    // Also on standard error, so that a run from a terminal, a log or a
    // machine without a screen tells why the program ended.
    std::fflush(nullptr);
    std::fprintf(stderr, "childgrowth: %s\n",
        QString(text).replace(QStringLiteral("\n\n"), QStringLiteral(" ")).toUtf8().constData());
    std::fflush(stderr);
    if (headless()) {
        // The box is still shown, for whatever works the program without a
        // screen, but it does not hold the program forever: unanswered, it
        // closes itself after a moment.
        QTimer::singleShot(kHeadlessBoxMs, qApp, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
    }
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

} // namespace fatal
