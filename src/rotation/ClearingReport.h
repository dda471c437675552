#pragma once

#include <QString>

// The texts for a clearing of a player folder that ended early: how many of its files are now in
// the holding folder and how many are still on the player. The line goes into the status box, the
// message into a warning box with the reason in plain words.
QString unclearedLine(const QString& playerFolder, qsizetype held, qsizetype left);
// The same after the run, the reason with it: where the held files are once the run has returned
// them to the music folder.
QString unclearedClosingLine(const QString& playerFolder, qsizetype held, qsizetype left,
                             const QString& reason, bool heldReturned);
QString unclearedMessage(const QString& playerFolder, const QString& reason, qsizetype held,
                         qsizetype left, const QString& holdingFolder);
