#pragma once

#include <QLockFile>
#include <QString>

// One run per user at a time, across copies of the program: a lock file beside the holding folder
// ("<holding folder>.lock"), held from a run's first file operation to its end. A lock left by a
// copy that died is taken over; one held by a live copy is never, however long its run lasts.
class RunLock {
public:
    explicit RunLock(const QString& holdingFolder);

    // Takes the lock without waiting. Empty when taken; otherwise the message for the user.
    QString take();

private:
    QLockFile m_lock;
};
