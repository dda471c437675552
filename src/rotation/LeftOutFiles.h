#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// A music file that a fill left out or tried and could not move, for a reason of its own.
struct NotMovedFile {
    QString name;
    QString why; // e.g. "it cannot be read", "a reserved name"
    // A file the player would take under another name.
    bool renamable = false;
};

// The status line after the run's completion line that names the music files the fills left out
// of their draw: their count, the first three names with their reasons, and what to do.
QString leftOutLine(const std::vector<NotMovedFile>& files);

// The status line after the run's completion line that names the music files a fill could not
// move: their count and the first three names, each with its reason.
QString notMovedLine(const std::vector<NotMovedFile>& files);
