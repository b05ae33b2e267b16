#include "TestSupport.h"

#include "ui/Messages.h"

#include <QTest>
#include <QWidget>

namespace testsupport {

namespace {
bool g_timedOut = false;
}

MessageRecorder::MessageRecorder()
{
    messages::setHook([this](const QString &text) {
        messages.append(text);
        if (onMessage)
            onMessage(text);
    });
}

MessageRecorder::~MessageRecorder()
{
    messages::setHook({});
}

ModalWatcher::ModalWatcher(std::function<bool(QWidget *)> tryHandle, int timeoutMs)
    : QObject(qApp)
    , m_tryHandle(std::move(tryHandle))
    , m_remainingMs(timeoutMs)
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::poll);
    m_timer.start();
}

void ModalWatcher::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible() && m_tryHandle(modal)) {
        m_timer.stop();
        deleteLater();
        return;
    }
    m_remainingMs -= m_timer.interval();
    if (m_remainingMs <= 0) {
        g_timedOut = true;
        m_timer.stop();
        deleteLater();
        closeModalWindows();
    }
}

void closeModalWindows()
{
    while (QWidget *w = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
        if (QApplication::activeModalWidget() == w)
            break;
    }
}

void failMissingChild(const QObject *parent, const QString &name, const char *type)
{
    const QString message
        = QStringLiteral("%1 \"%2\" is missing from %3 \"%4\"")
              .arg(QLatin1String(type), name, QLatin1String(parent->metaObject()->className()), parent->objectName());
    QTest::qFail(message.toUtf8().constData(), __FILE__, __LINE__);
    // Runs until the test (and its data row) that failed is over.
    auto *closer = new QTimer(qApp);
    const QByteArray test = QTest::currentTestFunction();
    const QByteArray row = QTest::currentDataTag();
    QObject::connect(closer, &QTimer::timeout, closer, [closer, test, row] {
        if (test != QTest::currentTestFunction() || row != QTest::currentDataTag()) {
            closer->deleteLater();
            return;
        }
        closeModalWindows();
    });
    closer->start(10);
    closeModalWindows();
}

bool typeOnFocused(QWidget *control, Qt::Key key)
{
    QWidget *window = control->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    control->setFocus(Qt::TabFocusReason);
    QWidget *focus = QApplication::focusWidget();
    if (focus != control)
        return false;
    QTest::keyClick(focus, key);
    return true;
}

bool ModalWatcher::timedOut()
{
    return g_timedOut;
}

void ModalWatcher::resetTimedOut()
{
    g_timedOut = false;
}

} // namespace testsupport
