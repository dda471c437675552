#pragma once

#include <QByteArrayList>
#include <QString>

// The files in which the program records what a killed run must find at the next start: lines
// appended and flushed before the work they describe, read back and kept only while unsettled.

// Appends the bytes to the journal and flushes them to the disk (with the journal's folder when
// the journal is new): 0, or the errno of what failed.
int appendToJournal(const QString& journal, const QByteArray& lines);

// Every non-empty line of the journal; none when it cannot be read.
QByteArrayList journalLines(const QString& journal);

// Writes the journal anew with the lines, at most the newest `most`, or removes it when none are
// left. Silent: a journal that cannot be rewritten keeps lines that are settled already, and
// settling them again does nothing.
void keepJournalLines(const QString& journal, QByteArrayList lines, qsizetype most);
