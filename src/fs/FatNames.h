#pragma once

#include <QString>

// Why a FAT-like file system would refuse the file name, in plain words, or an empty text when it
// takes the name. Refused: < > : " / \ | ? *, control characters, a trailing dot or space, the
// reserved device names (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, also with an extension) and
// names longer than 255 characters.
QString fatNameProblem(const QString& name);
// The same in a few words, for a list of names ("a reserved name", "contains \":\"").
QString fatNameProblemInShort(const QString& name);

// A character FAT-like file systems refuse anywhere in a name: < > : " / \ | ? * and control
// characters.
bool isFatRefusedCharacter(QChar c);
