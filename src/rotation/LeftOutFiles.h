#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The status line after the run's completion line that names the music files the fills left out
// of their draw: their count and the first three names.
QString leftOutLine(const QStringList& names);

// A music file that a fill tried and could not move for a reason of its own.
struct NotMovedFile {
    QString name;
    QString why; // e.g. "it cannot be read"
};

// The status line after the run's completion line that names the music files a fill could not
// move: their count and the first three names, each with its reason.
QString notMovedLine(const std::vector<NotMovedFile>& files);
