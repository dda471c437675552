#include "app/NamePattern.h"

namespace {

// Iterative glob match with one back-tracking point per "*": linear for the usual patterns.
bool globMatch(QStringView glob, QStringView name) {
    qsizetype g = 0, n = 0, starG = -1, starN = 0;
    while (n < name.size()) {
        if (g < glob.size() && (glob[g] == QLatin1Char('?') || glob[g] == name[n])) {
            ++g;
            ++n;
        } else if (g < glob.size() && glob[g] == QLatin1Char('*')) {
            starG = g++;
            starN = n;
        } else if (starG >= 0) {
            g = starG + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == QLatin1Char('*'))
        ++g;
    return g == glob.size();
}

} // namespace

NamePattern::NamePattern(const QString& text) {
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString glob = part.trimmed().toCaseFolded();
        if (glob.isEmpty())
            continue;
        if (glob == QLatin1String("*.*") || glob == QLatin1String("*"))
            m_everything = true;
        m_globs.append(glob);
    }
    if (m_globs.isEmpty())
        m_everything = true;
}

bool NamePattern::matchesFolded(QStringView foldedName) const {
    if (m_everything)
        return true;
    for (const QString& glob : m_globs) {
        if (globMatch(glob, foldedName))
            return true;
    }
    return false;
}
