#pragma once

#include "app/Form1.h"
#include "app/QSettingsBackend.h"
#include "fs/SystemFileSystem.h"
#include "support/FolderDrives.h"
#include "support/QtPrinting.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <memory>

// A window on the folder drives with a real settings file in the same temporary folder. EXIT's
// end of the program is counted instead of quitting the test.
class StartupWindow : public FolderDrives {
public:
    StartupWindow() {
        QDir().mkpath(configFolder());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configFolder());
    }

    Form1Services services() {
        Form1Services s = env.services();
        s.settings = backend;
        s.holdingFolder = tmp.path() + QStringLiteral("/QUAVEXTemp");
        s.createFileSystem = createSystemFileSystem;
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

    std::shared_ptr<SettingsBackend> backend = std::make_shared<QSettingsBackend>();
    int quitCalls = 0;
};
