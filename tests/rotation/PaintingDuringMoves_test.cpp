#include "app/Form1.h"
#include "app/WindowFace.h"
#include "support/ForwardingFileSystem.h"
#include "support/RotationWindow.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

using namespace std::chrono_literals;

// What the user-interface thread did, for a worker that waits for it: paints of one widget and
// ticks of a timer.
class UiActivity : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            bump(paints);
        return QObject::eventFilter(watched, event);
    }
    void tick() { bump(ticks); }

    struct Seen {
        int paints;
        int ticks;
    };
    Seen seen() {
        std::lock_guard lock(m_mutex);
        return {paints, ticks};
    }
    // Waits until both a paint and a tick came after `since`; false after ten seconds without.
    bool waitForBothAfter(Seen since) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s,
                                  [&] { return paints > since.paints && ticks > since.ticks; });
    }

private:
    void bump(int& counter) {
        std::lock_guard lock(m_mutex);
        ++counter;
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    int paints = 0;
    int ticks = 0;
};

// Every move lasts until the window has painted and a timer has fired while it runs, as a big
// wildcard move to a slow player lasts minutes; a move that waited in vain is counted.
class SlowMoves : public ForwardingFileSystem {
public:
    SlowMoves(QWidget* box, UiActivity& activity, int& starved)
        : m_box(box), m_activity(activity), m_starved(starved) {}

    void MoveFile(const QString& source, const QString& destination) override {
        const UiActivity::Seen since = m_activity.seen();
        // Qt owns the queued call and deletes it once it has run.
        QMetaObject::invokeMethod( // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
            m_box, [box = m_box] { box->update(); }, Qt::QueuedConnection);
        if (!m_activity.waitForBothAfter(since))
            ++m_starved; // read by the test only after the run has ended
        ForwardingFileSystem::MoveFile(source, destination);
    }

private:
    QWidget* m_box;
    UiActivity& m_activity;
    int& m_starved;
};

TEST(PaintingDuringMoves, TheWindowPaintsAndTimersRunWhileAFileOperationLasts) {
    RotationWindow w;
    UiActivity activity;
    int starved = 0;
    w.createFileSystem = [&]() -> std::unique_ptr<FileSystemObject> {
        return std::make_unique<SlowMoves>(w.form->txtStatus->viewport(), activity, starved);
    };
    w.open();
    w.form->txtStatus->viewport()->installEventFilter(&activity);
    writeFile(w.music() + QStringLiteral("/a.mp3"));
    writeFile(w.music() + QStringLiteral("/b.mp3"));
    writeFile(w.player() + QStringLiteral("/p.mp3"));
    w.choose(w.music(), w.player(), w.card(), true, false);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { activity.tick(); });
    timer.start(1);
    const FileCensus before = w.census();

    w.pressSelect();

    // The clearing, two fill moves and the restore each waited for painting and a timer.
    EXPECT_EQ(starved, 0) << "a file operation kept the window from painting";
    EXPECT_GE(activity.seen().paints, 4);
    EXPECT_EQ(w.census(), before);
    EXPECT_TRUE(w.statusText().endsWith(QStringLiteral("Program processing complete")));
}

TEST(PaintingDuringMoves, AWriterThatDoesNotYieldPaintsItsTextAtOnce) {
    RotationWindow w;
    w.open();
    UiActivity activity;
    w.form->txtStatus->viewport()->installEventFilter(&activity);
    // The box's first showing is painted by the event loop, as at the run's first yield.
    w.form->face().replaceStatus(
        QStringLiteral("Moving files from MP3 player's internal memory..."));
    QCoreApplication::processEvents();
    const int shown = activity.seen().paints;
    ASSERT_GT(shown, 0);

    w.form->face().replaceStatus(QStringLiteral("Files moved to temporary directory..."));
    w.form->face().repaint();
    EXPECT_EQ(activity.seen().paints, shown + 1);

    // With nothing changed, nothing is painted again.
    w.form->face().repaint();
    EXPECT_EQ(activity.seen().paints, shown + 1);
}

} // namespace
