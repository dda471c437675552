#pragma once

#include <QString>
#include <vector>

class VolumeProvider;

// A player volume to wait for: the drive (mount point or letter) it comes under and its identity
// (VolumeProvider::identityOf), so that another card under the same drive is not taken for it.
struct AwaitedVolume {
    QString drive;
    QString identity;
};

enum class WaitOutcome { Arrived, TimedOut, Stopped };

// Looks once a second until every awaited volume is under its drive; ends after the seconds
// given (0: never) or at Ctrl+C.
WaitOutcome waitForVolumes(const VolumeProvider& volumes, const std::vector<AwaitedVolume>& awaited,
                           int seconds);
