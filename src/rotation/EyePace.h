#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

// Keeps a window at the pace of the eye while a fill moves many small files: while the object
// lives, the window is painted at most once a frame (Interval), a paint that is held back follows
// when its frame is over, also while a file operation lasts, and the panes are re-read no more
// often (less often where re-reading itself takes long), and the status box takes the newest
// attempt's text no more often either. A person sees the same window; it no longer costs a paint,
// a new status text and two list re-reads per file.
// Whenever someone may look closely, everything is brought up to date at once: before user input
// reaches the window, at catchUp() (before a message box or another text in the status box) and
// when the object goes, the status text then excepted.
class EyePace : public QObject {
public:
    static constexpr int Interval = 50; // ms

    // window is painted at the pace, none where nothing is painted; rereadPanes re-reads the
    // panes' lists and totals, showStatus puts a text in the status box; neither may throw.
    EyePace(QObject* window, std::function<void()> rereadPanes,
            std::function<void(const QString&)> showStatus);
    ~EyePace() override;
    EyePace(const EyePace&) = delete;
    EyePace& operator=(const EyePace&) = delete;

    // The panes' folders have changed: re-read them now if their frame is over, else later.
    void panesChanged();
    // The status box's text for what happens now: shown now if its frame is over, else when it is.
    void statusChanged(QString text);
    // Re-reads changed panes and paints the window now.
    void catchUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintNow();
    void rereadIfStale();
    void showHeldStatus();

    QObject* m_window;
    std::function<void()> m_rereadPanes;
    std::function<void(const QString&)> m_showStatus;
    QElapsedTimer m_sincePaint;
    QElapsedTimer m_sinceReread;
    QElapsedTimer m_sinceStatus;
    QTimer m_heldPaint;
    QTimer m_heldReread;
    QTimer m_heldStatus;
    // The newest text while it waits for its frame.
    std::optional<QString> m_waitingStatus;
    qint64 m_rereadGap = Interval; // ms
    bool m_panesStale = false;
    bool m_painting = false;
};
