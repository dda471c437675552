#pragma once

#include <QString>
#include <QStringList>

// The status line after the run's completion line that names the music files the fills left out
// of their draw: their count and the first three names.
QString leftOutLine(const QStringList& names);
