#include "app/QSettingsBackend.h"

#include "app/UserSettings.h"
#include "fs/AppError.h"
#include "fs/PathText.h"

#include <QSettings>
#include <memory>

namespace {

QString valueName(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

std::optional<QString> QSettingsBackend::read(const QString& application, const QString& section,
                                              const QString& key) {
    const QVariant value = openUserSettings(application)->value(valueName(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void QSettingsBackend::write(const QString& application, const QString& section, const QString& key,
                             const QString& value) {
    const std::unique_ptr<QSettings> store = openUserSettings(application);
    store->setValue(valueName(section, key), value);
    store->sync();
    // A damaged file is written anew, whole, by sync, which still reports the format error it met
    // while reading it: what counts is whether the value now reads back.
    if (store->status() == QSettings::NoError ||
        (store->status() == QSettings::FormatError &&
         openUserSettings(application)->value(valueName(section, key)) == value))
        return;
    throw AppError(ErrorNumber::PathFileAccess, QStringLiteral("Saved settings:"),
                   QStringLiteral("The settings could not be written to %1.")
                       .arg(shownPath(store->fileName())));
}
