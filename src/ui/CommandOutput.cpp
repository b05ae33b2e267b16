#include "CommandOutput.h"

#include "Messages.h"
#include "platform/Terminal.h"

#include <QGuiApplication>

#include <cstdio>

namespace cli {

namespace {

// Platforms whose windows nobody sees.
bool invisible(const QString &platform)
{
    return platform.startsWith(QStringLiteral("offscreen")) || platform.startsWith(QStringLiteral("minimal"));
}

void print(std::FILE *stream, const QString &text)
{
    std::fflush(nullptr);
    std::fputs(text.toLocal8Bit().constData(), stream);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stream);
    std::fflush(stream);
}

// Tests answer boxes through the message hook, whatever the platform.
bool showBox()
{
    return startedFromDesktop() || messages::hasHook();
}

} // namespace

bool startedFromDesktop()
{
    if (!platform::displayAvailable() || platform::startedFromTerminal())
        return false;
    const QString chosen = qGuiApp ? QGuiApplication::platformName() : qEnvironmentVariable("QT_QPA_PLATFORM");
    return !invisible(chosen);
}

void choosePlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (!startedFromDesktop()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return;
    }
    // A display named by the environment may be gone (a stale DISPLAY): the
    // command then still runs, offscreen, and says what it did on its
    // streams, since a box there would never be seen.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland;offscreen" : "xcb;offscreen");
}

void say(const QString &text)
{
    print(stdout, text);
    if (showBox())
        messages::show(nullptr, text);
}

int fail(const QString &sentence, int status)
{
    print(stderr, sentence);
    if (showBox())
        messages::show(nullptr, sentence);
    return status;
}

} // namespace cli
