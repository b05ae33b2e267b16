#include "TestSupport.h"

#include "platform/AddressOpener.h"
#include "ui/Messages.h"

#include <QFile>
#include <QTest>
#include <QWidget>

namespace testsupport {

namespace {
bool g_timedOut = false;
}

TempDatabase::TempDatabase()
    : TempDatabase(true)
{
}

TempDatabase::TempDatabase(bool empty)
{
    m_path = m_dir.filePath(assessmentdb::kFileName);
    if (empty)
        m_handle = assessmentdb::create(m_path);
    assessmentdb::setPathForTesting(m_path);
}

std::unique_ptr<TempDatabase> TempDatabase::copyOfInstalled()
{
    std::unique_ptr<TempDatabase> db(new TempDatabase(false));
    QFile::copy(QStringLiteral(CG_BINARY_DIR "/bin/0-3.mdb"), db->m_path);
    QFile::setPermissions(db->m_path, QFile::ReadOwner | QFile::WriteOwner);
    db->m_handle = db->open();
    return db;
}

void TempDatabase::release()
{
    m_handle = dao::Database();
}

TempDatabase::~TempDatabase()
{
    assessmentdb::setPathForTesting(QString());
}

dao::Database TempDatabase::open() const
{
    if (m_handle.isOpen())
        return m_handle;
    return dao::DBEngine::OpenDatabase(m_path, true, false, assessmentdb::kConnect);
}

void TempDatabase::addRow(const QString &table, const QVariantMap &values) const
{
    dao::Database db = open();
    dao::Recordset rs = db.OpenRecordset(table);
    rs.AddNew();
    for (auto it = values.begin(); it != values.end(); ++it)
        rs.Fields(it.key()).setValue(it.value());
    rs.Update();
}

QList<QVariantMap> TempDatabase::rows(const QString &table) const
{
    dao::Database db = open();
    dao::Recordset rs = db.OpenRecordset(table);
    QList<QVariantMap> result;
    for (; !rs.AtEOF(); rs.MoveNext()) {
        QVariantMap row;
        for (int c = 0; c < rs.FieldCount(); ++c)
            row.insert(rs.columnNames().at(c), rs.Fields(c).Value());
        result.append(row);
    }
    return result;
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

AddressRecorder::AddressRecorder()
{
    platform::setAddressHook([this](const QString &address) { addresses.append(address); });
}

AddressRecorder::~AddressRecorder()
{
    platform::setAddressHook({});
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
