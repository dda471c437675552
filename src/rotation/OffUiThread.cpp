#include "rotation/OffUiThread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSemaphore>
#include <QThreadPool>
#include <exception>

namespace {

// Work that ends within this long is waited for without serving events: a fill hands thousands of
// short moves to the worker, and a wait in the event loop and its wake-up for each cost more than
// the move. The window misses no frame in so short a time.
constexpr int QuickWorkMs = 2;

} // namespace

void runOffUiThread(const std::function<void()>& work) {
    QSemaphore finished;
    std::exception_ptr failure;
    QAbstractEventDispatcher* const dispatcher = QAbstractEventDispatcher::instance();
    QThreadPool::globalInstance()->start([&work, &failure, &finished, dispatcher] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished.release();
        // Nothing of the caller's is touched after the release; a wake-up that comes once the
        // caller has gone on only ends one of its later waits early.
        if (dispatcher)
            dispatcher->wakeUp();
    });
    // Not a local event loop ended by quit(): on Windows quitting one leaves the thread's event
    // dispatcher interrupted, and the run's next yield then returns at once, so a Break clicked
    // during the work would not be seen until the run was over.
    const bool quick = finished.tryAcquire(1, QuickWorkMs);
    if (!quick && !dispatcher) {
        // A thread without an event dispatcher has no events to serve meanwhile.
        finished.acquire();
    } else if (!quick) {
        while (!finished.tryAcquire())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::WaitForMoreEvents);
    }
    if (failure)
        std::rethrow_exception(failure);
}
