#include "fs/AcceptedName.h"

#include "fs/FatNames.h"

QString fatAcceptedName(const QString& name) {
    if (fatNameProblem(name).isEmpty())
        return name;
    static const QString refused = QStringLiteral("<>:\"/\\|?*");
    QString accepted = name;
    for (QChar& c : accepted) {
        if (c.unicode() < 0x20 || refused.contains(c))
            c = QLatin1Char('_');
    }
    if (accepted.endsWith(QLatin1Char('.')) || accepted.endsWith(QLatin1Char(' ')))
        accepted.back() = QLatin1Char('_');
    if (!fatNameProblem(accepted).isEmpty()) {
        // Only a reserved device name is left: it stops being one with a character after it.
        const qsizetype dot = accepted.indexOf(QLatin1Char('.'));
        accepted.insert(dot < 0 ? accepted.size() : dot, QLatin1Char('_'));
    }
    return accepted;
}
