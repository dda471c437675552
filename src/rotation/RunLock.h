#pragma once

#include <QLockFile>
#include <QString>

// One run per user at a time, across copies of the program: a lock file in the user's state
// folder (quavex/run.lock), where a standard account may write, held from a run's first file
// operation to its end. A lock left by a copy that died is taken over; one held by a live copy is
// never, however long its run lasts.
class RunLock {
public:
    RunLock();

    // Takes the lock without waiting. Empty when taken; otherwise the message for the user.
    QString take();

    // Where the lock file is.
    static QString path();

private:
    QLockFile m_lock;
};
