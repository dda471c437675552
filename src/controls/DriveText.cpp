#include "controls/DriveText.h"

bool isDriveLetterText(const QString& text) {
    if (text.isEmpty() || text.size() > 3 || !text[0].isLetter() || text[0].unicode() > 0x7f)
        return false;
    if (text.size() >= 2 && text[1] != QLatin1Char(':'))
        return false;
    return text.size() < 3 || text[2] == QLatin1Char('\\') || text[2] == QLatin1Char('/');
}

QString withoutTrailingSlash(const QString& path) {
    QString bare = path;
    while (bare.size() > 1 && bare.endsWith(QLatin1Char('/')))
        bare.chop(1);
    return bare;
}
