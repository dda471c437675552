#include "controls/DriveList.h"

QString DriveList::volumeText(const Volume& volume, bool home) {
    QString name = home ? QStringLiteral("Home") : volume.label;
    if (name.isEmpty())
        name = volume.root.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    return name.isEmpty() ? volume.root : QStringLiteral("%1  (%2)").arg(name, volume.root);
}
