#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are bytes on Linux; the program carries them as text without losing any. Bytes that
// are valid UTF-8 become their characters. Each byte of a sequence that is not valid UTF-8 becomes
// a lone low surrogate, U+DC80 plus the byte's value less 0x80 (bytes below 0x80 are always
// valid), which no valid UTF-8 decodes to; encoding turns those back into their bytes. So every
// name read from a folder reaches the system calls as the bytes the file system gave.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(const QString& name);

// Whether the character at `at` carries a byte that is not text (and is not half of a character).
bool isUndecodableByteAt(const QString& name, qsizetype at);

// Whether the name holds bytes that are not text; such a name has no UTF-16 form, so volumes that
// keep names as UTF-16 (FAT, exFAT) cannot store it.
bool holdsUndecodableBytes(const QString& name);

// The name as the window shows it: each byte that is not text as the replacement character.
QString displayedFileName(const QString& name);
