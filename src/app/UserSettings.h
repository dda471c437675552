#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The user's own settings store of the application in the platform's native format, never a
// system-wide one: the configuration file on Linux, HKEY_CURRENT_USER\Software\<application> on
// Windows.
std::unique_ptr<QSettings> openUserSettings(const QString& application);
