#include "rotation/EyePace.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <utility>

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

} // namespace

EyePace::EyePace(QObject* window, std::function<void()> rereadPanes,
                 std::function<void(const QString&)> showStatus)
    : m_window(window), m_rereadPanes(std::move(rereadPanes)), m_showStatus(std::move(showStatus)) {
    m_sincePaint.start();
    m_sinceReread.start();
    m_heldPaint.setSingleShot(true);
    connect(&m_heldPaint, &QTimer::timeout, this, [this] { paintNow(); });
    m_heldReread.setSingleShot(true);
    connect(&m_heldReread, &QTimer::timeout, this, [this] { rereadIfStale(); });
    m_heldStatus.setSingleShot(true);
    connect(&m_heldStatus, &QTimer::timeout, this, [this] { showHeldStatus(); });
    // The window's paints arrive as update requests; user input anywhere in the program.
    if (m_window)
        m_window->installEventFilter(this);
    QCoreApplication::instance()->installEventFilter(this);
}

EyePace::~EyePace() {
    QCoreApplication::instance()->removeEventFilter(this);
    if (m_window)
        m_window->removeEventFilter(this);
    // Whoever ends the pace writes the status box's next text.
    m_waitingStatus.reset();
    catchUp();
}

void EyePace::panesChanged() {
    m_panesStale = true;
    if (m_sinceReread.hasExpired(m_rereadGap))
        rereadIfStale();
    else if (!m_heldReread.isActive())
        m_heldReread.start(int(m_rereadGap - m_sinceReread.elapsed()));
}

void EyePace::statusChanged(QString text) {
    m_waitingStatus = std::move(text);
    if (!m_sinceStatus.isValid() || m_sinceStatus.hasExpired(Interval))
        showHeldStatus();
    else if (!m_heldStatus.isActive())
        m_heldStatus.start(Interval - int(m_sinceStatus.elapsed()));
}

void EyePace::showHeldStatus() {
    m_heldStatus.stop();
    if (!m_waitingStatus)
        return;
    const QString text = *std::exchange(m_waitingStatus, std::nullopt);
    m_showStatus(text);
    m_sinceStatus.start();
}

void EyePace::catchUp() {
    m_heldPaint.stop();
    showHeldStatus();
    rereadIfStale();
    paintNow();
}

void EyePace::rereadIfStale() {
    m_heldReread.stop();
    if (!m_panesStale)
        return;
    m_panesStale = false;
    QElapsedTimer took;
    took.start();
    m_rereadPanes();
    // A player folder of thousands of files on a FUSE card takes long to list, and its driver
    // serves the moves and the listing one at a time: re-reading then waits long enough to take
    // no more than about a fiftieth of the fill's time.
    m_rereadGap = std::max<qint64>(Interval, took.elapsed() * 50);
    m_sinceReread.restart();
}

void EyePace::paintNow() {
    if (!m_window)
        return;
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_painting = false;
    m_sincePaint.restart();
}

bool EyePace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::UpdateRequest && !m_painting) {
        if (m_sincePaint.hasExpired(Interval)) {
            m_sincePaint.restart();
            return false;
        }
        // Held back: the window keeps what is still to paint, and the timer asks for it.
        if (!m_heldPaint.isActive())
            m_heldPaint.start(Interval - int(m_sincePaint.elapsed()));
        return true;
    }
    if (isUserInput(event->type()) && watched->isWidgetType() &&
        (m_panesStale || m_waitingStatus || m_heldPaint.isActive()))
        catchUp();
    return false;
}
