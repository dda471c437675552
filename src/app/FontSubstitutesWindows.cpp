#include "app/FontSubstitutes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

// Windows has "MS Sans Serif" only as a bitmap face that some systems (Wine among them) lack, and
// then Qt falls back to a serif face; the installer puts DejaVu Sans beside the program, so a
// sans-serif face is always there.
void registerFontSubstitutes() {
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Comic Sans MS"),
        QStringList{QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")});
}
