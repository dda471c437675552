#pragma once

#include "fs/FreeSpaceQuery.h"

#include <QString>
#include <cstdint>

// Keeps a fill from leaving less than the chosen room free on the player folder's drive. The
// drive's free space is asked for only when a reckoning from the last answer cannot vouch for the
// next song: each song moved since counts as whole mebibytes, which covers the clusters it takes.
class RoomLeftFree {
public:
    // No room to keep (0 megabytes) asks nothing and lets every song through.
    RoomLeftFree(std::int64_t megabytes, QString driveRoot, FreeSpaceQuery query);

    // Whether the file at the path can go to the drive and leave the room free; once it says yes,
    // the file counts as moved.
    bool leavesRoomFor(const QString& path);

private:
    std::int64_t m_room;
    QString m_driveRoot;
    FreeSpaceQuery m_query;
    bool m_asked = false;
    std::int64_t m_free = 0;  // bytes, at the last answer
    std::int64_t m_spent = 0; // bytes counted for the songs let through since
};
