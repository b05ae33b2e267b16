#include "Application.h"

#include "FatalError.h"
#include "data/DbError.h"
#include "ui/AppInfo.h"
#include "ui/Fonts.h"

#include <exception>

namespace {

// The font of every control that does not ask for its own.
constexpr double kDefaultPointSize = 9;

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // They name the user's data folder ($XDG_DATA_HOME/helan-edu/childgrowth).
    setOrganizationName(QStringLiteral("helan-edu"));
    setApplicationName(QStringLiteral("childgrowth"));
    // Lets the desktop match the windows with the menu entry and its icon.
    setDesktopFileName(QStringLiteral("cn.helan_edu.childgrowth"));
    fonts::installSubstitutions();
    setFont(fonts::font(fonts::kSimSun, kDefaultPointSize));
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const dao::DbError &e) {
        fatal::reportAndExit(e);
    } catch (const std::exception &e) {
        fatal::reportUnexpectedAndExit(e.what());
    }
}
