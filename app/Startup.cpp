#include "Startup.h"

#include "FatalError.h"
#include "MainForm.h"
#include "data/AssessmentDb.h"
#include "data/DbError.h"

#include <QApplication>

#include <memory>

// The pictures are compiled into the window library; register them once.
static void registerAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace startup {

void initResources()
{
    static const bool registered = [] {
        registerAssets();
        return true;
    }();
    Q_UNUSED(registered);
}

int run()
{
    std::unique_ptr<MainForm> window;
    try {
        // The main window shares this connection: the file is opened, and
        // brought up to date when it needs it, once.
        const dao::Database db = assessmentdb::openAtStart();
        window = std::make_unique<MainForm>();
    } catch (const dao::DbError &e) {
        fatal::reportAndExit(e);
    }
    window->show();
    return QApplication::exec();
}

} // namespace startup
