#include "cli/ProgressLine.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

void ProgressLine::statusShown(const QString& text) {
    static const QRegularExpression status(
        QStringLiteral("^Space remaining: *(-?\\d+)MB\\r\\n(.*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = status.match(text);
    if (!match.hasMatch())
        return;
    m_free = match.captured(1).toLongLong();
    m_moving = match.captured(2);
    if (!m_freeAtStart) {
        m_freeAtStart = m_free;
        m_clock.start();
    }
}

QString ProgressLine::text() const {
    // Moves within one volume free nothing; the free space of a busy drive may rise meanwhile.
    const std::int64_t megabytes =
        m_freeAtStart ? std::max<std::int64_t>(*m_freeAtStart - m_free, 0) : 0;
    const double seconds = m_clock.isValid() ? double(m_clock.elapsed()) / 1000 : 0;
    QString line = QStringLiteral("%1 %2, %3 MB")
                       .arg(m_songs)
                       .arg(m_songs == 1 ? QStringLiteral("song") : QStringLiteral("songs"))
                       .arg(megabytes);
    if (seconds >= 1 && megabytes > 0) {
        const double rate = double(megabytes) / seconds;
        const auto left = std::int64_t(double(m_free) / rate);
        line += QStringLiteral(", %1 MB/s, %2 MB left on the player, about %3 left")
                    .arg(QLocale::c().toString(rate, 'f', 1))
                    .arg(m_free)
                    .arg(left >= 120 ? QStringLiteral("%1 min").arg(left / 60)
                                     : QStringLiteral("%1 s").arg(left));
    } else {
        line += QStringLiteral(", %1 MB left on the player").arg(m_free);
    }
    return line + QStringLiteral(" | ") + m_moving;
}

bool ProgressLine::due() {
    if (m_drawn.isValid() && m_drawn.elapsed() < 200)
        return false;
    m_drawn.start();
    return true;
}

void ProgressLine::restart() {
    *this = ProgressLine();
}
