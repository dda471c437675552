#include "rotation/OffUiThread.h"

#include <QEventLoop>
#include <QSemaphore>
#include <QThreadPool>
#include <exception>

void runOffUiThread(const std::function<void()>& work) {
    QEventLoop loop;
    QSemaphore finished;
    std::exception_ptr failure;
    QThreadPool::globalInstance()->start([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued: delivered once the loop below runs, even when the work ends before it starts.
        // Qt owns the queued call object; the analyzer cannot see that.
        QMetaObject::invokeMethod( // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
            &loop, &QEventLoop::quit, Qt::QueuedConnection);
        finished.release();
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop may also have been ended by the application quitting; the work must still be over
    // before its results are read.
    finished.acquire();
    if (failure)
        std::rethrow_exception(failure);
}
