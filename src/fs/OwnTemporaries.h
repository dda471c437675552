#pragma once

#include <QByteArray>
#include <QString>

// A move across volumes writes into a temporary file of ours in the destination folder before it
// publishes the file under its final name. Such names are exactly ".~quavex-<process id>-<counter>
// .part", so they never count as music and folder listings and wildcard moves pass them by; a name
// that merely starts or ends the same way is a user's file like any other. Even an exact name does
// not make a file ours, though: so each temporary is recorded in a journal before it is created,
// and only recorded ones are ever removed.
bool isOwnTemporaryName(const QString& name);

// A fresh temporary name; unique within this process and unlikely to meet another process's.
QString newOwnTemporaryName();

// The journal: quavex/temporaries in the user's state folder (userStateFolder), by default
// ~/.local/state/quavex/temporaries on Linux, %LOCALAPPDATA%\quavex\temporaries on Windows.
QString ownTemporariesJournal();

// A fresh temporary name for a file to be created in the folder (its path as bytes). Before the
// first temporary of this process in a folder, the journal records the folder with the start that
// all of them share there (".~quavex-<process id>-") and is flushed to the disk; so a run flushes
// the journal once per folder, not once per file. An AppError when that fails: a temporary that
// is not recorded must not be created.
QString recordedTemporaryName(const QByteArray& folder);

// Removes what a killed process left behind: in each recorded folder, every regular file with one
// of our temporary names that starts as recorded, except the copies the journal of moves still
// names (completeInterruptedMoves comes first). The journal then keeps only the lines that could
// not be settled (a folder that is not there now, as on a card taken out, or a file that could not
// be removed), at most the newest 256, so that a later start tries them again. Anything that
// fails is skipped silently, since temporaries hold no music.
void removeRecordedTemporaries();
