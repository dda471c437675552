#include "app/QSettingsBackend.h"

#include "fs/AppError.h"

#include <QSettings>
#include <memory>

namespace {

QString valueName(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

// QSettings given only an organisation would use "OrganizationDefaults" beneath it on Windows,
// so there the key is named in full. Only the user's own store is read, never a system-wide one.
std::unique_ptr<QSettings> openStore(const QString& application) {
#ifdef Q_OS_WIN
    auto store = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application, QSettings::NativeFormat);
#else
    auto store =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application);
#endif
    store->setFallbacksEnabled(false);
    return store;
}

} // namespace

std::optional<QString> QSettingsBackend::read(const QString& application, const QString& section,
                                              const QString& key) {
    const QVariant value = openStore(application)->value(valueName(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void QSettingsBackend::write(const QString& application, const QString& section, const QString& key,
                             const QString& value) {
    const std::unique_ptr<QSettings> store = openStore(application);
    store->setValue(valueName(section, key), value);
    store->sync();
    // A damaged file is written anew, whole, by sync, which still reports the format error it met
    // while reading it: what counts is whether the value now reads back.
    if (store->status() == QSettings::NoError ||
        (store->status() == QSettings::FormatError &&
         openStore(application)->value(valueName(section, key)) == value))
        return;
    throw AppError(
        ErrorNumber::PathFileAccess, QStringLiteral("Settings"),
        QStringLiteral("The settings could not be written to %1.").arg(store->fileName()));
}
