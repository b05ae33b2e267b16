#include "Application.h"

#include "Assets.h"
#include "FatalError.h"
#include "core/data/DbError.h"
#include "ui/AppInfo.h"
#include "ui/Fonts.h"
#include "ui/ModalWindow.h"
#include "ui/Translation.h"

#include <QIcon>

#include <exception>

namespace {

// The font of every control that does not ask for its own.
constexpr double kDefaultPointSize = 9;

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The folder names of the user's data (assessmentdb::ownPath()); the
    // application name is also the windows' class on X11, which the menu
    // entry names (StartupWMClass).
    setOrganizationName(QStringLiteral("helan-edu"));
    setApplicationName(QStringLiteral("childgrowth"));
    // Lets the desktop match the windows with the menu entry and its icon.
    setDesktopFileName(QStringLiteral("cn.helan_edu.childgrowth"));
    // Every window carries the program's icon, the one of the menu entry.
    assets::init();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icons/%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    fonts::installSubstitutions();
    setFont(fonts::font(fonts::kSimSun, kDefaultPointSize));
    translation::installChinese(*this);
    modal::keepModalWindowsShown(*this);
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
