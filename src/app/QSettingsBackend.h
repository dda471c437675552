#pragma once

#include "app/SettingsBackend.h"

// The platform's per-user store through QSettings in its native format: on Linux the values live
// in $XDG_CONFIG_HOME/QUAVEX.conf (by default ~/.config/QUAVEX.conf) with one group per section,
// and on Windows under HKEY_CURRENT_USER\Software\QUAVEX, one subkey per section.
class QSettingsBackend : public SettingsBackend {
public:
    // A store that cannot be read answers as an empty one.
    std::optional<QString> read(const QString& application, const QString& section,
                                const QString& key) override;
    // Each value reaches the disk before write returns, so a failure names the value concerned.
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};
