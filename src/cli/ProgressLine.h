#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <optional>

// The fill's progress on a terminal, as one line drawn over itself: songs moved, megabytes moved,
// the rate, the space left on the player and the time left at that rate, then the song being
// moved. Megabytes come from the fall of the player's free space, which the fill's status gives.
class ProgressLine {
public:
    // The fill's status text: "Space remaining: <n>MB", then "Moving <song>...".
    void statusShown(const QString& text);
    void songsMoved(std::int64_t count) { m_songs = count; }
    // The line as it reads now.
    QString text() const;
    // Whether the line is due for drawing again: a few times a second at most.
    bool due();
    void restart();

private:
    QElapsedTimer m_clock;
    QElapsedTimer m_drawn;
    std::optional<std::int64_t> m_freeAtStart;
    std::int64_t m_free = 0;
    std::int64_t m_songs = 0;
    QString m_moving;
};
