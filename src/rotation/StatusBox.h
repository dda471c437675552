#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class MusicRotation;

// The run's status, as its face shows it (RunFace): the run's texts break lines with "\r\n".

// Replaces the whole text and shows it.
void replaceStatus(MusicRotation& run, const QString& text);
// Shows the status again without changing its text.
void showStatus(MusicRotation& run);
// The old text, "\r\n", then the message.
void appendStatus(MusicRotation& run, const QString& message);
// Appends the lines that close a run after its last line so far (the completion line, or the
// line that says why nothing was done), so that the user sees that line first.
void appendRunEnd(MusicRotation& run, const QStringList& lines);
QString statusText(const MusicRotation& run);
void setStatusColour(MusicRotation& run, const QColor& colour);
// Shows the status now, where the run goes on without yielding.
void repaintWindow(MusicRotation& run);
