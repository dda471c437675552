#include "rotation/EyePace.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

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

EyePace::EyePace(QWidget& window, std::function<void()> rereadPanes)
    : m_window(window), m_rereadPanes(std::move(rereadPanes)) {
    m_sincePaint.start();
    m_sinceReread.start();
    m_heldPaint.setSingleShot(true);
    connect(&m_heldPaint, &QTimer::timeout, this, [this] {
        rereadIfStale();
        paintNow();
    });
    // The window's paints arrive as update requests; user input anywhere in the program.
    m_window.installEventFilter(this);
    qApp->installEventFilter(this);
}

EyePace::~EyePace() {
    qApp->removeEventFilter(this);
    m_window.removeEventFilter(this);
    catchUp();
}

void EyePace::panesChanged() {
    m_panesStale = true;
    if (m_sinceReread.hasExpired(Interval))
        rereadIfStale();
    else if (!m_heldPaint.isActive())
        m_heldPaint.start(Interval);
}

void EyePace::catchUp() {
    m_heldPaint.stop();
    rereadIfStale();
    paintNow();
}

void EyePace::rereadIfStale() {
    if (!m_panesStale)
        return;
    m_panesStale = false;
    m_sinceReread.restart();
    m_rereadPanes();
}

void EyePace::paintNow() {
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&m_window, &request);
    m_painting = false;
    m_sincePaint.restart();
}

bool EyePace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::UpdateRequest && !m_painting) {
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
        (m_panesStale || m_heldPaint.isActive()))
        catchUp();
    return false;
}
