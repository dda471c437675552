#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

// Keeps a window at the pace of the eye while a fill moves many small files: while the object
// lives, the window is painted at most once a frame (Interval), a paint that is held back follows
// when its frame is over, also while a file operation lasts, and the panes are re-read no more
// often (less often where re-reading itself takes long). A person sees the same window; it no
// longer costs a paint and two list re-reads per file.
// Whenever someone may look closely, everything is brought up to date at once: before user input
// reaches the window, at catchUp() (before a message box) and when the object goes.
class EyePace : public QObject {
public:
    static constexpr int Interval = 50; // ms

    // rereadPanes re-reads the panes' lists and totals; it must not throw.
    EyePace(QWidget& window, std::function<void()> rereadPanes);
    ~EyePace() override;
    EyePace(const EyePace&) = delete;
    EyePace& operator=(const EyePace&) = delete;

    // The panes' folders have changed: re-read them now if their frame is over, else later.
    void panesChanged();
    // Re-reads changed panes and paints the window now.
    void catchUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintNow();
    void rereadIfStale();

    QWidget& m_window;
    std::function<void()> m_rereadPanes;
    QElapsedTimer m_sincePaint;
    QElapsedTimer m_sinceReread;
    QTimer m_heldPaint;
    QTimer m_heldReread;
    qint64 m_rereadGap = Interval; // ms
    bool m_panesStale = false;
    bool m_painting = false;
};
