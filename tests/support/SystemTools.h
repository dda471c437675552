#pragma once

#include <QString>

// The full path of a system program such as mkfs.vfat or losetup: searched on PATH, then where
// Debian keeps administration tools (/usr/sbin, /sbin), which a normal user's PATH lacks. The bare
// name when found nowhere, so that starting it fails with a message naming it.
QString systemTool(const QString& name);
