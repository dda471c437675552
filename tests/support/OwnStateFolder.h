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
        if (m_folder.isValid())
            qputenv(variable, valueFor(m_folder.path()));
    }
    bool isValid() const { return m_folder.isValid(); }

    // Runs the action as another user of this computer would: with the state folder at `folder`,
    // the one before it restored afterwards.
    template <typename Action> static void asUserOf(const QString& folder, Action&& action) {
        struct Restore {
            QByteArray before = qgetenv(variable);
            ~Restore() { qputenv(variable, before); }
        } restore;
        qputenv(variable, valueFor(folder));
        action();
    }

private:
#ifdef Q_OS_WIN
    static constexpr const char* variable = "LOCALAPPDATA";
    static QByteArray valueFor(const QString& folder) {
        return QDir::toNativeSeparators(folder).toUtf8();
    }
#else
    static constexpr const char* variable = "XDG_STATE_HOME";
    static QByteArray valueFor(const QString& folder) {
        return QFile::encodeName(folder);
    }
#endif
    QTemporaryDir m_folder;
};
