#pragma once

#include "rotation/Prompter.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <cstdint>

class QObject;

// What a run shows and asks, and where it finds its folders: the window's controls, or a
// console's lines and arguments. Players are numbered as the run numbers them (which): 1 the
// player's internal memory, 2 its external card. The run's texts break lines with "\r\n".
class RunFace : public Prompter {
public:
    // The status: a text the run replaces or adds lines to, and the colour it is shown in.
    virtual void replaceStatus(const QString& text) = 0;
    // The old text, "\r\n", then the message.
    virtual void appendStatus(const QString& message) = 0;
    // Shows the status again without changing its text.
    virtual void showStatus() = 0;
    // Adds the lines that close a run after its last line so far, the completion line or the
    // line that says why nothing was done, so that the user sees that line first.
    virtual void appendRunEnd(const QStringList& lines) = 0;
    virtual QString statusText() const = 0;
    virtual void setStatusColour(const QColor& colour) = 0;
    // Shows now what has changed, where the run goes on without yielding.
    virtual void repaint() = 0;
    // The window a fill paints at the eye's pace (EyePace); none where nothing is painted.
    virtual QObject* paintedWindow() = 0;

    // The folders: read each time the run needs them, since the user may change them at a yield.
    virtual QString musicFolder() const = 0;
    virtual QString playerFolder(std::uint8_t which) const = 0;
    // Whether the player folder takes part in the run.
    virtual bool playerTicked(std::uint8_t which) const = 0;
    // The drive the player folder was chosen on: its root.
    virtual QString playerDrive(std::uint8_t which) const = 0;
    // Chooses the player's drive as the user would, which opens its current folder; an AppError
    // when the drive cannot be opened, and then nothing has changed.
    virtual void openPlayerDrive(std::uint8_t which, const QString& drive) = 0;
    // Whether the user asked to run without the warning that music will be moved.
    virtual bool doNotWarn() const = 0;
    // The music folder's or a player folder's files have changed: a pane that shows them reads
    // them again, with its total. An AppError when they cannot be read.
    virtual void refreshMusicPane() = 0;
    virtual void refreshPlayerPane(std::uint8_t which) = 0;
    // A run began or ended, or a fill ended: the window applies its Select rule again.
    virtual void runStateChanged() = 0;

    // Lets the user act once: the window handles pending events, a console its interruption. A
    // stop asked here (Break, Ctrl+C) sets the run's stop flag, MusicRotation::StopRequested,
    // which the run reads right after.
    virtual void yieldEvents() = 0;

    // How many songs the fill under way has moved so far, each time the count grows; for a face
    // that shows the count apart from the status text.
    virtual void songsMoved(std::int64_t /*count*/) {}
};
