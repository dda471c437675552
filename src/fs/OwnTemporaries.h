#pragma once

#include <QByteArray>
#include <QString>

// A move across volumes writes into a temporary file of ours in the destination folder before it
// publishes the file under its final name. Such names start ".~quavex-" and end ".part", so they
// never count as music and folder listings and wildcard moves pass them by. A name alone does not
// make a file ours, though: a user may have one that looks the same. So each temporary is recorded
// in a journal before it is created, and only recorded ones are ever removed.
bool isOwnTemporaryName(const QString& name);

// A fresh temporary name; unique within this process and unlikely to meet another process's.
QString newOwnTemporaryName();

// The journal: $XDG_STATE_HOME/quavex/temporaries, by default ~/.local/state/quavex/temporaries.
QString ownTemporariesJournal();

// Adds the full path of a temporary about to be created to the journal and flushes it to the
// disk. An AppError when that fails: a temporary that is not recorded must not be created.
void recordOwnTemporary(const QByteArray& path);

// Removes what a killed process left behind: every recorded path that is still a file with one of
// our temporary names. The journal then keeps only the paths that could not be settled (a folder
// that is not there now, as on a card taken out, or a file that could not be removed), so that a
// later start tries them again. Anything that fails is skipped silently, since temporaries hold
// no music.
void removeRecordedTemporaries();
