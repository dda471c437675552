#include "fs/NamePattern.h"

#include <algorithm>

namespace {

// Iterative glob match with one back-tracking point per "*": linear for the usual patterns.
template <typename Text, typename Same>
bool globMatch(const Text& glob, const Text& name, Same same) {
    qsizetype g = 0, n = 0, starG = -1, starN = 0;
    const qsizetype globSize = qsizetype(glob.size()), nameSize = qsizetype(name.size());
    while (n < nameSize) {
        if (g < globSize && glob[g] != '*' && (glob[g] == '?' || same(glob[g], name[n]))) {
            ++g;
            ++n;
        } else if (g < globSize && glob[g] == '*') {
            starG = g++;
            starN = n;
        } else if (starG >= 0) {
            g = starG + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (g < globSize && glob[g] == '*')
        ++g;
    return g == globSize;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

} // namespace

NamePattern::NamePattern(const QString& text) {
    bool ascii = true;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const QString glob = part.trimmed().toCaseFolded();
        if (glob.isEmpty())
            continue;
        if (glob == QLatin1String("*.*") || glob == QLatin1String("*"))
            m_everything = true;
        m_globs.append(glob);
        const QByteArray bytes = glob.toUtf8();
        ascii = ascii && isAscii(std::string_view(bytes.constData(), size_t(bytes.size())));
        m_ascii.push_back(bytes);
    }
    if (!ascii)
        m_ascii.clear();
    if (m_globs.isEmpty())
        m_everything = true;
}

bool NamePattern::matches(const QString& name) const {
    if (m_everything)
        return true;
    const QString folded = name.toCaseFolded();
    const auto same = [](QChar a, QChar b) { return a == b; };
    return std::any_of(m_globs.begin(), m_globs.end(), [&](const QString& glob) {
        return globMatch(QStringView(glob), QStringView(folded), same);
    });
}

bool NamePattern::matchesUtf8(std::string_view name) const {
    if (m_everything)
        return true;
    if (m_ascii.empty() || !isAscii(name))
        return matches(QString::fromUtf8(name.data(), qsizetype(name.size())));
    const auto same = [](char globChar, char nameChar) { return globChar == lowerAscii(nameChar); };
    return std::any_of(m_ascii.begin(), m_ascii.end(), [&](const QByteArray& glob) {
        return globMatch(std::string_view(glob.constData(), size_t(glob.size())), name, same);
    });
}
