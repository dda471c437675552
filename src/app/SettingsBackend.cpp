#include "app/SettingsBackend.h"

#include "VersionRecord.h"

#include <exception>

QString settingsApplication() {
    return QString::fromUtf8(VersionRecord::ProductName);
}

std::vector<AppError> writeEach(SettingsBackend& backend, std::span<const SettingsValue> values,
                                const QString& source) {
    std::vector<AppError> failures;
    for (const SettingsValue& stored : values) {
        try {
            backend.write(settingsApplication(), stored.section, stored.key, stored.value);
        } catch (const AppError& error) {
            failures.push_back(error);
        } catch (const std::exception& error) {
            failures.emplace_back(ErrorNumber::PathFileAccess, source,
                                  QString::fromLocal8Bit(error.what()));
        }
    }
    return failures;
}
