#pragma once

#include "support/WindowTestServices.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Plain folders under one temporary folder standing in for three drives: the home disk, a player
// and its card, labelled DISK, PLAYER and CARD, each holding a Music folder.
class FolderDrives {
public:
    FolderDrives() {
        for (const char* name : {"disk", "player", "card"}) {
            QDir().mkpath(music(name));
            env.volumes->add(root(name), QString::fromLatin1(name).toUpper());
        }
    }

    QString root(const char* name) const {
        return tmp.path() + QLatin1Char('/') + QString::fromUtf8(name);
    }
    QString music(const char* name) const { return root(name) + QStringLiteral("/Music"); }

    QTemporaryDir tmp;
    WindowTestServices env;
};
