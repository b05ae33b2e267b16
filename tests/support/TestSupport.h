#pragma once

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <type_traits>

// What the tests of the windows' shared layer (ui) and every layer above it
// share: messages recorded, modal windows answered, controls found by name.
namespace testsupport {

// Records the user messages instead of showing boxes.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    QStringList messages;
    // Called after a message is recorded (e.g. to check the window state).
    std::function<void(const QString &)> onMessage;
};

// Calls handler with the next modal dialog of type W as soon as it is shown.
// If none appears within the timeout, every modal window is closed so that the
// test cannot hang, and timedOut() turns true.
class ModalWatcher : public QObject {
public:
    template <class W> static ModalWatcher *when(std::function<void(W *)> handler, int timeoutMs = 5000)
    {
        return new ModalWatcher(
            [handler](QWidget *w) {
                if (auto *typed = qobject_cast<W *>(w)) {
                    handler(typed);
                    return true;
                }
                return false;
            },
            timeoutMs);
    }
    static bool timedOut();
    static void resetTimedOut();

private:
    ModalWatcher(std::function<bool(QWidget *)> tryHandle, int timeoutMs);
    void poll();
    std::function<bool(QWidget *)> m_tryHandle;
    QTimer m_timer;
    int m_remainingMs;
};

// Types a key as the user does: brings the control's window to the front,
// gives the control the keyboard focus and sends the key to whatever widget
// holds the focus then. Returns false if the control could not take the focus.
bool typeOnFocused(QWidget *control, Qt::Key key);

// Closes every modal window, innermost first.
void closeModalWindows();

// Fails the running test, naming the child that is missing, and from then on
// closes every modal window until that test ends, so that it cannot wait for
// a click the missing control would have given.
void failMissingChild(const QObject *parent, const QString &name, const char *type);

// Finds a child by objectName. A missing child fails the running test; the
// caller then gets a hidden, nameless stand-in of the same type, owned by the
// parent, so that the test ends with its failure instead of a crash.
template <class T> T *child(QObject *parent, const QString &name)
{
    if (T *found = parent->findChild<T *>(name))
        return found;
    failMissingChild(parent, name, T::staticMetaObject.className());
    auto *standIn = new T;
    if constexpr (std::is_base_of_v<QWidget, T>) {
        if (parent->isWidgetType())
            standIn->setParent(static_cast<QWidget *>(parent));
    } else {
        standIn->setParent(parent);
    }
    return standIn;
}

} // namespace testsupport
