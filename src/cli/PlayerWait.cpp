#include "cli/PlayerWait.h"

#include "cli/BreakKeys.h"
#include "fs/Volume.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>

WaitOutcome waitForVolumes(const VolumeProvider& volumes, const std::vector<AwaitedVolume>& awaited,
                           int seconds) {
    const QDeadlineTimer deadline = seconds > 0 ? QDeadlineTimer(std::chrono::seconds(seconds))
                                                : QDeadlineTimer(QDeadlineTimer::Forever);
    const auto arrived = [&] {
        return std::all_of(awaited.begin(), awaited.end(), [&](const AwaitedVolume& volume) {
            return volumes.identityOf(volume.drive) == volume.identity;
        });
    };
    while (!arrived()) {
        if (breakKeyPressed())
            return WaitOutcome::Stopped;
        if (deadline.hasExpired())
            return WaitOutcome::TimedOut;
        // A card takes seconds to be mounted; a second's delay is not felt.
        const qint64 left = deadline.isForever() ? 1000 : deadline.remainingTime();
        QThread::msleep(std::clamp<qint64>(left, 0, 1000));
    }
    return WaitOutcome::Arrived;
}
