#include "app/QSettingsBackend.h"

#include "fs/AppError.h"

#include <QSettings>

namespace {

QString valueName(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

std::optional<QString> QSettingsBackend::read(const QString& application, const QString& section,
                                              const QString& key) {
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    const QVariant value = store.value(valueName(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void QSettingsBackend::write(const QString& application, const QString& section, const QString& key,
                             const QString& value) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, application);
    store.setValue(valueName(section, key), value);
    store.sync();
    if (store.status() != QSettings::NoError)
        throw AppError(
            ErrorNumber::PathFileAccess, QStringLiteral("Settings"),
            QStringLiteral("The settings could not be written to %1.").arg(store.fileName()));
}
