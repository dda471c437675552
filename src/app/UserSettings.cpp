#include "app/UserSettings.h"

std::unique_ptr<QSettings> openUserSettings(const QString& application) {
    auto store =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application);
    store->setFallbacksEnabled(false);
    return store;
}
