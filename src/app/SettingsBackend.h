#pragma once

#include "fs/AppError.h"

#include <QString>
#include <optional>
#include <span>
#include <vector>

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

// The application name the program's values are stored under.
QString settingsApplication();

// One value to store: its section, key and text.
struct SettingsValue {
    QString section;
    QString key;
    QString value;
};

// Writes each value on its own, so one that cannot be written keeps none of the others out of the
// store; the failures come back in order, a failure without a number of ours under the source.
std::vector<AppError> writeEach(SettingsBackend& backend, std::span<const SettingsValue> values,
                                const QString& source);
