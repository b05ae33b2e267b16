#include "Registry.h"
#include "SystemInfo.h"

#include <QStandardPaths>
#include <QStringList>

#include <cstring>
#include <memory>

namespace platform {

namespace {

// There is no registry here. The one value worth answering is the path of the
// system information program: the first of the desktops' own tools that is
// installed.
class LinuxRegistry : public Registry {
public:
    long openKey(Root root, const QByteArray &subKey, std::uint32_t, Key *key) override
    {
        if (root != Root::LocalMachine || subKey != sysinfo::kToolKey.toLocal8Bit())
            return kFileNotFound;
        *key = kToolKeyHandle;
        return kSuccess;
    }

    long queryValue(Key key, const QByteArray &valueName, std::uint32_t *type, char *data, std::uint32_t *size) override
    {
        if (key != kToolKeyHandle || valueName != sysinfo::kToolValue.toLocal8Bit())
            return kFileNotFound;
        const QString tool = findTool();
        if (tool.isEmpty())
            return kFileNotFound;
        // Stored like a registry text: the characters and a closing zero.
        const QByteArray bytes = tool.toLocal8Bit() + '\0';
        if (static_cast<std::uint32_t>(bytes.size()) > *size) {
            *size = static_cast<std::uint32_t>(bytes.size());
            return kMoreData;
        }
        std::memcpy(data, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        *type = sysinfo::kTypeText;
        *size = static_cast<std::uint32_t>(bytes.size());
        return kSuccess;
    }

    long closeKey(Key) override { return kSuccess; }

private:
    static constexpr Key kToolKeyHandle = 1;

    static QString findTool()
    {
        static const char *const known[]
            = {"hardinfo", "gnome-system-monitor", "kinfocenter", "xfce4-taskmanager", "mate-system-monitor", "lxtask"};
        for (const char *name : known) {
            const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!path.isEmpty())
                return path;
        }
        return {};
    }
};

} // namespace

std::unique_ptr<Registry> createNativeRegistry()
{
    return std::make_unique<LinuxRegistry>();
}

} // namespace platform
