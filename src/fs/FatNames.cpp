#include "fs/FatNames.h"

#include <QStringList>

namespace {

bool isReservedDeviceName(const QString& name) {
    // The device names are reserved whatever follows the first dot, and trailing spaces before
    // that dot are ignored.
    QString base = name.section(QLatin1Char('.'), 0, 0);
    while (base.endsWith(QLatin1Char(' ')))
        base.chop(1);
    base = base.toUpper();
    static const QStringList plain{QStringLiteral("CON"),    QStringLiteral("PRN"),
                                   QStringLiteral("AUX"),    QStringLiteral("NUL"),
                                   QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (plain.contains(base))
        return true;
    // The ports are numbered 1 to 9, and also by the superscripts ¹, ² and ³.
    static const QString numbers = QStringLiteral("123456789\u00B9\u00B2\u00B3");
    return base.size() == 4 &&
           (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
           numbers.contains(base[3]);
}

// The first rule the name breaks, said at length or in a few words.
QString nameProblem(const QString& name, bool inShort) {
    const auto said = [inShort](const QString& atLength, const QString& shortly) {
        return inShort ? shortly : atLength;
    };
    if (name.isEmpty())
        return said(QStringLiteral("the name is empty"), QStringLiteral("no name"));
    if (name.size() > 255)
        return said(QStringLiteral("the name is longer than 255 characters"),
                    QStringLiteral("longer than 255 characters"));
    for (const QChar c : name) {
        if (!isFatRefusedCharacter(c))
            continue;
        if (c.unicode() < 0x20)
            return said(QStringLiteral("the name contains a control character"),
                        QStringLiteral("contains a control character"));
        return said(QStringLiteral("the name contains the character \"%1\"").arg(c),
                    QStringLiteral("contains \"%1\"").arg(c));
    }
    if (name.endsWith(QLatin1Char('.')))
        return said(QStringLiteral("the name ends in a dot"), QStringLiteral("ends in a dot"));
    if (name.endsWith(QLatin1Char(' ')))
        return said(QStringLiteral("the name ends in a space"), QStringLiteral("ends in a space"));
    if (isReservedDeviceName(name))
        return said(QStringLiteral("\"%1\" is a reserved device name")
                        .arg(name.section(QLatin1Char('.'), 0, 0).trimmed()),
                    QStringLiteral("a reserved name"));
    return {};
}

} // namespace

QString fatNameProblem(const QString& name) {
    return nameProblem(name, false);
}

QString fatNameProblemInShort(const QString& name) {
    return nameProblem(name, true);
}

bool isFatRefusedCharacter(QChar c) {
    static const QString refused = QStringLiteral("<>:\"/\\|?*");
    return c.unicode() < 0x20 || refused.contains(c);
}
