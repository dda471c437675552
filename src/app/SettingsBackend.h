#pragma once

#include <QString>
#include <optional>

// The per-user settings store: text values by application name, section and key.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;
    // Empty when the application, section or key is missing.
    virtual std::optional<QString> read(const QString& application, const QString& section,
                                        const QString& key) = 0;
    // Creates whatever is missing; an AppError when the value cannot be written.
    virtual void write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
};
