#pragma once

#include "platform/Registry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>

#include <cstring>

// A registry held in memory: keys with (type, bytes) values, or keys that
// refuse to be opened. Records what was asked of it.
class FakeRegistry : public platform::Registry {
public:
    struct Value {
        std::uint32_t type;
        QByteArray data;
    };

    void setValue(const QByteArray &key, const QByteArray &name, std::uint32_t type, const QByteArray &data)
    {
        m_keys[key][name] = {type, data};
    }
    void setText(const QByteArray &key, const QByteArray &name, const QByteArray &text)
    {
        setValue(key, name, 1, text + '\0');
    }
    void refuse(const QByteArray &key) { m_refused.insert(key); }
    void refuseEverything() { m_refuseAll = true; }

    long openKey(Root root, const QByteArray &subKey, std::uint32_t access, Key *key) override
    {
        accessRequested << access;
        if (root != Root::LocalMachine)
            return kFileNotFound;
        if (m_refuseAll || m_refused.contains(subKey))
            return kAccessDenied;
        if (!m_keys.contains(subKey))
            return kFileNotFound;
        m_handles.append(subKey);
        *key = static_cast<Key>(m_handles.size());
        open.insert(*key);
        return kSuccess;
    }

    long queryValue(Key key, const QByteArray &valueName, std::uint32_t *type, char *data, std::uint32_t *size) override
    {
        if (!open.contains(key))
            return 6; // invalid handle
        const auto &values = m_keys[m_handles.at(static_cast<int>(key) - 1)];
        if (!values.contains(valueName))
            return kFileNotFound;
        const Value &v = values[valueName];
        *type = v.type;
        if (static_cast<std::uint32_t>(v.data.size()) > *size) {
            *size = static_cast<std::uint32_t>(v.data.size());
            return kMoreData;
        }
        std::memcpy(data, v.data.constData(), static_cast<std::size_t>(v.data.size()));
        *size = static_cast<std::uint32_t>(v.data.size());
        return kSuccess;
    }

    long closeKey(Key key) override { return open.remove(key) ? kSuccess : 6; }

    QList<std::uint32_t> accessRequested;
    QSet<Key> open; // keys opened and not yet closed

private:
    QHash<QByteArray, QHash<QByteArray, Value>> m_keys;
    QSet<QByteArray> m_refused;
    bool m_refuseAll = false;
    QList<QByteArray> m_handles;
};
