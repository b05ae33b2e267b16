// Loaded into the real program with LD_PRELOAD by the installation tests, so
// that the program under test is the one installed, unchanged. It prints what
// happens, one line each, and answers every message box:
//   CG_DRIVE=show            ends the program once the main window is up
//   CG_DRIVE=profile:<name>  then saves a first profile with that name through
//                            "修改用户" and ends the program

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

enum class Step { WaitForWindow, ChooseChild, FillProfile, WaitForSave };
Step g_step = Step::WaitForWindow;

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QWidget *visible(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == name)
            return w;
    }
    return nullptr;
}

void step()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
            say(QStringLiteral("MESSAGE ") + box->text().simplified());
            box->done(QMessageBox::Ok);
            return;
        }
    }
    const QString task = qEnvironmentVariable("CG_DRIVE");
    switch (g_step) {
    case Step::WaitForWindow:
        if (QWidget *main = visible(QStringLiteral("MainForm"))) {
            say(QStringLiteral("WINDOW MainForm"));
            if (!task.startsWith(QStringLiteral("profile:"))) {
                QApplication::exit(0);
                return;
            }
            g_step = Step::ChooseChild;
            auto *command = main->findChild<QAction *>(QStringLiteral("dispuser"));
            QTimer::singleShot(0, command, &QAction::trigger);
        }
        return;
    case Step::ChooseChild:
        // A new family has no child to choose: the list is closed empty.
        if (auto *list = qobject_cast<QDialog *>(visible(QStringLiteral("BrowForm")))) {
            g_step = Step::FillProfile;
            list->reject();
        }
        return;
    case Step::FillProfile:
        if (QWidget *form = visible(QStringLiteral("InputForm"))) {
            const QString name = task.section(QLatin1Char(':'), 1);
            const std::pair<const char *, QString> fields[]
                = {{"TextName", name}, {"TextPname", QStringLiteral("父母")}, {"TextPhone", QStringLiteral("123")},
                    {"TextEmail", QStringLiteral("a@b.c")}, {"TextAddr", QStringLiteral("地址")}};
            for (const auto &[field, value] : fields)
                form->findChild<QLineEdit *>(QString::fromLatin1(field))->setText(value);
            g_step = Step::WaitForSave;
            form->findChild<QPushButton *>(QStringLiteral("ConfirmCmd"))->click();
        }
        return;
    case Step::WaitForSave:
        if (!visible(QStringLiteral("InputForm"))) {
            say(QStringLiteral("SAVED"));
            QApplication::exit(0);
        }
        return;
    }
}

void start()
{
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, step);
    timer->start(20);
    QTimer::singleShot(60000, [] {
        say(QStringLiteral("TIMEOUT"));
        std::_Exit(4);
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
