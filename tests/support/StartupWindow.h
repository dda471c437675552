#pragma once

#include "app/Form1.h"
#include "app/QSettingsBackend.h"
#include "support/WindowTestServices.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

// A window with a real settings file in a temporary folder and three "drives" (plain folders):
// the home disk, a player and its card, each holding a Music folder. EXIT's end of the program
// is counted instead of quitting the test.
class StartupWindow {
public:
    StartupWindow() {
        QDir().mkpath(configFolder());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configFolder());
        for (const char* name : {"disk", "player", "card"}) {
            QDir().mkpath(music(name));
            env.volumes->add(root(name), QString::fromLatin1(name).toUpper());
        }
    }

    Form1Services services() {
        Form1Services s = env.services();
        s.settings = backend;
        s.holdingFolder = tmp.path() + QStringLiteral("/QUAVEXTemp");
        s.quit = [this] { ++quitCalls; };
        return s;
    }

    // A window built and loaded as at start-up.
    std::unique_ptr<Form1> start() {
        auto form = std::make_unique<Form1>(services());
        form->Form_Load();
        form->show();
        return form;
    }

    void store(const QString& key, const QString& value) {
        backend->write(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), key, value);
    }
    std::optional<QString> stored(const QString& key) {
        return backend->read(QStringLiteral("QUAVEX"), QStringLiteral("Settings"), key);
    }

    QString configFolder() const { return tmp.path() + QStringLiteral("/config"); }
    QString settingsFile() const { return configFolder() + QStringLiteral("/QUAVEX.conf"); }
    QByteArray settingsBytes() const {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString root(const char* name) const { return tmp.path() + QLatin1Char('/') + name; }
    QString music(const char* name) const { return root(name) + QStringLiteral("/Music"); }

    QTemporaryDir tmp;
    WindowTestServices env;
    std::shared_ptr<SettingsBackend> backend = std::make_shared<QSettingsBackend>();
    int quitCalls = 0;
};

inline void createFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

// Failures show paths as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
