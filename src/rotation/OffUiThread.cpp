#include "rotation/OffUiThread.h"

#include <QEventLoop>
#include <QSemaphore>
#include <QThreadPool>
#include <atomic>
#include <exception>
#include <optional>

namespace {

// Work that ends within this long is waited for without an event loop: a fill hands thousands of
// short moves to the worker, and an event loop and its wake-up for each cost more than the move.
// The window misses no frame in so short a time.
constexpr int QuickWorkMs = 2;

enum class Waiting { Quickly, InLoop, Done };

} // namespace

void runOffUiThread(const std::function<void()>& work) {
    std::optional<QEventLoop> loop;
    QSemaphore finished;
    std::atomic<Waiting> waiting{Waiting::Quickly};
    std::exception_ptr failure;
    QThreadPool::globalInstance()->start([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Only a loop already waiting is told; a queued call is delivered once it runs.
        if (waiting.exchange(Waiting::Done) == Waiting::InLoop)
            QMetaObject::invokeMethod(&*loop, "quit", Qt::QueuedConnection);
        finished.release();
    });
    if (!finished.tryAcquire(1, QuickWorkMs)) {
        loop.emplace();
        if (waiting.exchange(Waiting::InLoop) != Waiting::Done)
            loop->exec(QEventLoop::ExcludeUserInputEvents);
        // The loop may also have been ended by the application quitting; the work must still be
        // over before its results are read.
        finished.acquire();
    }
    if (failure)
        std::rethrow_exception(failure);
}
