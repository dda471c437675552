#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

// While it lives, the program's own state (the journal of temporary files) goes to a folder of its
// own, never the user's: a test or a bench that is stopped midway must not leave lines in the
// user's journal, nor find theirs. Made before the program first asks for its state folder; where
// the folder cannot be made, isValid() says so and nothing is changed.
class OwnStateFolder {
public:
    OwnStateFolder() {
        if (!m_folder.isValid())
            return;
#ifdef Q_OS_WIN
        qputenv("LOCALAPPDATA", QDir::toNativeSeparators(m_folder.path()).toUtf8());
#else
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_folder.path()));
#endif
    }
    bool isValid() const {
        return m_folder.isValid();
    }

private:
    QTemporaryDir m_folder;
};
