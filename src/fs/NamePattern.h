#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

// A file-name pattern of ";"-separated globs ("*.mp3;*.wma"), matched as on Windows: without
// regard to letter case, "*" any run of characters, "?" one character, "*.*" every name. An
// empty pattern matches every name.
class NamePattern {
public:
    explicit NamePattern(const QString& text = QStringLiteral("*.*"));

    bool matches(const QString& name) const;
    // The name as the file system gives it (UTF-8); plain ASCII names take a fast path.
    bool matchesUtf8(std::string_view name) const;

private:
    QStringList m_globs;             // case-folded
    std::vector<QByteArray> m_ascii; // the same, when every glob is ASCII; else empty
    bool m_everything = false;
};
