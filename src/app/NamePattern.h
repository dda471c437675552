#pragma once

#include <QString>
#include <QStringList>

// A file-name pattern of ";"-separated globs ("*.mp3;*.wma"), matched as on Windows: without
// regard to letter case, "*" any run of characters, "?" one character, "*.*" every name. An
// empty pattern matches every name.
class NamePattern {
public:
    explicit NamePattern(const QString& text = QStringLiteral("*.*"));

    // The name must be case-folded already (QString::toCaseFolded).
    bool matchesFolded(QStringView foldedName) const;
    bool matches(const QString& name) const { return matchesFolded(name.toCaseFolded()); }

private:
    QStringList m_globs; // case-folded
    bool m_everything = false;
};
