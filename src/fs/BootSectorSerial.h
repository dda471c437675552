#pragma once

#include <QByteArray>
#include <QString>

// The volume serial number that a FAT or exFAT boot sector carries, written as Windows and
// Linux's /dev/disk/by-uuid write it ("1A2B-3C4D"); empty for any other first sector. It is set
// when the volume is formatted, so it tells one card from another under the same drive letter.
QString bootSectorSerial(const QByteArray& firstSector);
