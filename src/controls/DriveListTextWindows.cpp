#include "controls/DriveList.h"

QString DriveList::volumeText(const Volume& volume, bool) {
    const QString letter = volume.root.left(2).toLower();
    return volume.label.isEmpty() ? letter : QStringLiteral("%1 [%2]").arg(letter, volume.label);
}
