// A test driver loaded into the real executable with LD_PRELOAD. It works the
// application's windows the way a person does, by objectName, from a script
// of steps, and writes what it sees to a log that the test reads.
//
//   CG_DRIVER_SCRIPT  file of steps, one per line: <command> [<name> [<text>]]
//   CG_DRIVER_LOG     log file; every line is on disk before the next step
//
// Commands:
//   window NAME          wait until the active window is NAME
//   closed NAME          wait until no window NAME is visible
//   trigger NAME         trigger the menu action NAME of the main window
//   click NAME           click the button NAME of the active window
//   close NAME           close the window NAME with its close box
//   set NAME TEXT        type TEXT into the field NAME (replacing its text)
//   choose NAME TEXT     select the entry TEXT of the list NAME
//   expect NAME TEXT     the field, label or list NAME shows TEXT
//   message [TEXT]       wait for the next message box; it reads TEXT
//   answer OPTION        answer every item of the questionnaire with OPTION
//   note TEXT            write "NOTE TEXT" to the log
//
// Every message box is logged ("MESSAGE <text>") and answered with its only
// button as soon as it is shown. A step that cannot complete within its time
// logs "FAIL ..." and ends the process, so no test waits on a lost window.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

class Driver : public QObject {
public:
    Driver()
    {
        const QByteArray log = qgetenv("CG_DRIVER_LOG");
        if (!log.isEmpty())
            m_log = ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        QFile script(QString::fromLocal8Bit(qgetenv("CG_DRIVER_SCRIPT")));
        if (script.open(QIODevice::ReadOnly)) {
            for (const QString &line : QString::fromUtf8(script.readAll()).split(QLatin1Char('\n'))) {
                if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
                    m_steps.append(line);
            }
        }
        const int seconds = qEnvironmentVariableIntValue("CG_DRIVER_STEP_SECONDS");
        m_stepLimitMs = (seconds > 0 ? seconds : 20) * 1000;
        qApp->installEventFilter(this);
        connect(&m_tick, &QTimer::timeout, this, &Driver::tick);
        m_clock.start();
        m_tick.start(2);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                write("MESSAGE " + escaped(box->text()));
                m_messages.append(box->text());
                QPointer<QMessageBox> guard(box);
                QTimer::singleShot(0, box, [guard] {
                    if (guard && !guard->buttons().isEmpty())
                        guard->buttons().first()->click();
                });
            }
        }
        return false;
    }

private:
    static QByteArray escaped(const QString &text)
    {
        return QString(text).replace(QLatin1Char('\n'), QStringLiteral("\\n")).toUtf8();
    }

    void write(const QByteArray &line)
    {
        if (m_log < 0)
            return;
        const QByteArray data = line + '\n';
        if (::write(m_log, data.constData(), static_cast<size_t>(data.size())) == data.size())
            ::fsync(m_log);
    }

    [[noreturn]] void fail(const QString &why)
    {
        write("FAIL step " + QByteArray::number(m_next + 1) + " (" + m_steps.value(m_next).toUtf8()
            + "): " + why.toUtf8());
        std::_Exit(99);
    }

    // The window steps apply to: the active modal dialog, else the main window.
    static QWidget *activeWindow()
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            return modal;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QStringLiteral("MainForm"))
                return w;
        }
        return nullptr;
    }

    template <class T> static T *inActive(const QString &name)
    {
        QWidget *window = activeWindow();
        return window ? window->findChild<T *>(name) : nullptr;
    }

    static bool visibleWindow(const QString &name)
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == name)
                return true;
        }
        return false;
    }

    // Runs an action that may open a modal window after this tick returns,
    // so the driver keeps stepping inside that window's loop.
    template <class F> void later(QObject *context, F action)
    {
        ++m_pending;
        QTimer::singleShot(0, context, [this, action] {
            --m_pending;
            action();
        });
    }

    static QString shownText(QWidget *w)
    {
        if (auto *e = qobject_cast<QLineEdit *>(w))
            return e->text();
        if (auto *l = qobject_cast<QLabel *>(w))
            return l->text();
        if (auto *c = qobject_cast<QComboBox *>(w))
            return c->currentText();
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            return b->text();
        if (auto *l = qobject_cast<QListWidget *>(w)) {
            QStringList items;
            for (int i = 0; i < l->count(); ++i)
                items << l->item(i)->text();
            return items.join(QLatin1Char('|'));
        }
        return w->windowTitle();
    }

    // One attempt at the current step; true when it is done.
    bool attempt(const QString &line, const QString &command, const QString &name, const QString &text)
    {
        if (command == QStringLiteral("window")) {
            QWidget *w = activeWindow();
            return w && w->isVisible() && w->objectName() == name;
        }
        if (command == QStringLiteral("closed"))
            return !visibleWindow(name);
        if (command == QStringLiteral("note")) {
            write("NOTE " + (name + (text.isEmpty() ? QString() : QLatin1Char(' ') + text)).toUtf8());
            return true;
        }
        if (command == QStringLiteral("message")) {
            if (m_messages.size() <= m_messagesChecked)
                return false;
            const QString shown = m_messages.at(m_messagesChecked++);
            const QString expected = line.section(QLatin1Char(' '), 1);
            if (!expected.isEmpty() && shown != expected)
                fail(QStringLiteral("the message reads: ") + shown);
            return true;
        }
        if (command == QStringLiteral("trigger")) {
            if (QApplication::activeModalWidget())
                return false;
            auto *action = inActive<QAction>(name);
            if (!action)
                fail(QStringLiteral("no action"));
            later(action, [action] { action->trigger(); });
            return true;
        }
        if (command == QStringLiteral("close")) {
            QWidget *w = activeWindow();
            if (!w || w->objectName() != name)
                return false;
            later(w, [w] { w->close(); });
            return true;
        }
        if (command == QStringLiteral("answer"))
            return answerItem(name);

        QWidget *w = inActive<QWidget>(name);
        if (!w)
            return false;
        if (command == QStringLiteral("click")) {
            auto *button = qobject_cast<QAbstractButton *>(w);
            if (!button || !button->isEnabled())
                return false;
            later(button, [button] { button->click(); });
            return true;
        }
        if (command == QStringLiteral("set")) {
            auto *edit = qobject_cast<QLineEdit *>(w);
            if (!edit)
                fail(QStringLiteral("not a text field"));
            edit->setFocus();
            edit->selectAll();
            edit->insert(text);
            return true;
        }
        if (command == QStringLiteral("choose")) {
            if (auto *combo = qobject_cast<QComboBox *>(w)) {
                const int index = combo->findText(text);
                if (index < 0)
                    fail(QStringLiteral("no entry"));
                combo->setCurrentIndex(index);
                return true;
            }
            if (auto *list = qobject_cast<QListWidget *>(w)) {
                const auto items = list->findItems(text, Qt::MatchExactly);
                if (items.isEmpty())
                    fail(QStringLiteral("no entry"));
                list->setCurrentItem(items.first());
                return true;
            }
            fail(QStringLiteral("not a list"));
        }
        if (command == QStringLiteral("expect")) {
            write("VALUE " + name.toUtf8() + ' ' + escaped(shownText(w)));
            return true;
        }
        fail(QStringLiteral("unknown command"));
    }

    // One item of the questionnaire per call: rate it and go on; the press
    // that shows the results ends the step.
    bool answerItem(const QString &option)
    {
        QWidget *window = QApplication::activeModalWidget();
        if (!window || window->objectName() != QStringLiteral("QuesForm"))
            return false;
        auto *next = window->findChild<QAbstractButton *>(QStringLiteral("NextCmd"));
        auto *choice = window->findChild<QAbstractButton *>(option);
        if (!next || !choice)
            fail(QStringLiteral("no such control"));
        const bool last = next->text() == QStringLiteral("测试结果");
        if (!last)
            choice->setChecked(true);
        later(next, [next] { next->click(); });
        return last;
    }

    void tick()
    {
        if (m_pending > 0 || m_next >= m_steps.size())
            return;
        const QString line = m_steps.at(m_next);
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        const QString name = line.section(QLatin1Char(' '), 1, 1);
        const QString text = line.section(QLatin1Char(' '), 2);
        if (m_stepStarted < 0)
            m_stepStarted = m_clock.elapsed();
        if (attempt(line, command, name, text)) {
            ++m_next;
            m_stepStarted = -1;
            if (m_next == m_steps.size())
                write("DONE");
        } else if (m_clock.elapsed() - m_stepStarted > m_stepLimitMs) {
            QWidget *w = activeWindow();
            fail(QStringLiteral("timed out; active window: ") + (w ? w->objectName() : QStringLiteral("none")));
        }
    }

    int m_log = -1;
    QStringList m_steps;
    qsizetype m_next = 0;
    int m_pending = 0;
    QStringList m_messages;
    qsizetype m_messagesChecked = 0;
    int m_stepLimitMs = 20000;
    qint64 m_stepStarted = -1;
    QElapsedTimer m_clock;
    QTimer m_tick;
};

// Lives as long as the process, held here so that leak checkers see it kept.
Driver *g_driver = nullptr;

void startDriver()
{
    // Programs the application starts (the browser) run without the driver.
    qunsetenv("LD_PRELOAD");
    g_driver = new Driver;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
