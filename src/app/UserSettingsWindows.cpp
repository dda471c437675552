#include "app/UserSettings.h"

// QSettings given only an organisation would use "OrganizationDefaults" beneath it, so the key is
// named in full.
std::unique_ptr<QSettings> openUserSettings(const QString& application) {
    auto store = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\") + application, QSettings::NativeFormat);
    store->setFallbacksEnabled(false);
    return store;
}
