#pragma once

#include "app/SettingsBackend.h"

#include <QStringList>
#include <functional>
#include <memory>

// Passes every read and write through to another store, keeps the keys in the order written and
// runs a hook before each write, so a test can look at the window at that moment.
class RecordingBackend : public SettingsBackend {
public:
    explicit RecordingBackend(std::shared_ptr<SettingsBackend> inner) : m_inner(std::move(inner)) {}

    std::optional<QString> read(const QString& app, const QString& section,
                                const QString& key) override {
        return m_inner->read(app, section, key);
    }
    void write(const QString& app, const QString& section, const QString& key,
               const QString& value) override {
        written.append(key);
        if (onWrite)
            onWrite();
        m_inner->write(app, section, key, value);
    }

    QStringList written;
    std::function<void()> onWrite;

private:
    std::shared_ptr<SettingsBackend> m_inner;
};
