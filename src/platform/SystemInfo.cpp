#include "SystemInfo.h"

#include <QByteArray>
#include <QFileInfo>
#include <QProcess>

namespace sysinfo {

namespace {
ProgramStarter &starter()
{
    static ProgramStarter s;
    return s;
}
} // namespace

bool GetKeyValue(platform::Registry &registry, platform::Registry::Root root, const QString &keyName,
    const QString &valueName, QString &keyVal)
{
    platform::Registry::Key key = 0;
    if (registry.openKey(root, keyName.toLocal8Bit(), kKeyAccess, &key) != platform::Registry::kSuccess) {
        keyVal.clear();
        return false;
    }

    QByteArray buffer(static_cast<qsizetype>(kBufferSize), '\0');
    std::uint32_t type = 0;
    std::uint32_t size = kBufferSize;
    if (registry.queryValue(key, valueName.toLocal8Bit(), &type, buffer.data(), &size) != platform::Registry::kSuccess
        || size > kBufferSize) {
        keyVal.clear();
        registry.closeKey(key);
        return false;
    }

    QByteArray data = buffer.left(static_cast<qsizetype>(size));
    if (!data.isEmpty() && data.back() == '\0')
        data.chop(1);

    if (type == kTypeText) {
        keyVal = QString::fromLocal8Bit(data);
    } else if (type == kTypeNumber) {
        QString text = QStringLiteral("&h");
        for (qsizetype i = data.size() - 1; i >= 0; --i)
            text += QStringLiteral("%1").arg(static_cast<unsigned char>(data.at(i)), 2, 16, QLatin1Char('0')).toUpper();
        keyVal = text;
    }

    registry.closeKey(key);
    return true;
}

QString toolPath(platform::Registry &registry)
{
    QString value;
    if (GetKeyValue(registry, platform::Registry::Root::LocalMachine, kToolKey, kToolValue, value))
        return value;
    if (GetKeyValue(registry, platform::Registry::Root::LocalMachine, kLocationKey, kLocationValue, value)) {
        const QString path = value + kToolFile;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool startProgram(const QString &program, const QStringList &arguments)
{
    if (starter())
        return starter()(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void setProgramStarter(ProgramStarter s)
{
    starter() = std::move(s);
}

bool StartSysInfo(platform::Registry &registry)
{
    const QString path = toolPath(registry);
    if (path.isEmpty())
        return false;
    return startProgram(path, {});
}

} // namespace sysinfo
