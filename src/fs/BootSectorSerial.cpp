#include "fs/BootSectorSerial.h"

#include <QtEndian>

namespace {

QString serialAt(const QByteArray& sector, qsizetype offset) {
    const quint32 serial = qFromLittleEndian<quint32>(sector.constData() + offset);
    return QStringLiteral("%1-%2")
        .arg(serial >> 16, 4, 16, QLatin1Char('0'))
        .arg(serial & 0xffff, 4, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

// An exFAT boot sector keeps its volume serial number at byte 100; FAT's extended boot record
// (signature 0x29) keeps it at byte 67 on FAT32 and 39 on FAT12 and FAT16.
QString bootSectorSerial(const QByteArray& firstSector) {
    if (firstSector.size() < 512)
        return {};
    if (firstSector.mid(3, 8) == "EXFAT   ")
        return serialAt(firstSector, 100);
    if (firstSector.mid(82, 5) == "FAT32" && firstSector[66] == 0x29)
        return serialAt(firstSector, 67);
    if (firstSector.mid(54, 3) == "FAT" && firstSector[38] == 0x29)
        return serialAt(firstSector, 39);
    return {};
}
