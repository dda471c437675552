#include "app/FontSubstitutes.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

// Windows has "MS Sans Serif" only as a bitmap face that some systems (Wine among them) lack, and
// then Qt falls back to a serif face. The installer puts the stand-ins that Linux uses beside the
// program (Liberation Sans, of the same widths as Arial, and Comic Neue) and DejaVu Sans, which
// has the most letters, so a sans-serif face is always there. The lists and choosers take the
// system's own face, which such a system names but may lack just as well.
void registerFontSubstitutes() {
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    const QStringList faces{QStringLiteral("*.ttf"), QStringLiteral("*.otf")};
    for (const QString& file : fonts.entryList(faces, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));
    const QStringList sansSerif{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               QStringList{QStringLiteral("Microsoft Sans Serif")} + sansSerif);
    QFont::insertSubstitutions(
        QStringLiteral("Comic Sans MS"),
        QStringList{QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QApplication::font().family(), sansSerif);
}
