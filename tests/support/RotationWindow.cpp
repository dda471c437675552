#include "support/RotationWindow.h"

#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/SongOriginsName.h"
#include "fs/SystemFileSystem.h"
#include "fs/VolumeLookup.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <stdexcept>

RotationWindow::RotationWindow() : createFileSystem(createSystemFileSystem) {
    if (!m_tmp.isValid())
        throw std::runtime_error("no temporary folder");
    m_root = m_tmp.path();
    m_holding = m_root + QStringLiteral("/QUAVEXTemp");
    for (const QString& folder : {music(), player(), card()})
        QDir().mkpath(folder);
    env.volumes->add(m_root, QStringLiteral("DISK"));
}

RotationWindow::~RotationWindow() {
    form.reset();
    removeTree(m_root);
}

void RotationWindow::addDrive(const QString& root) {
    env.volumes->add(root);
}

Form1& RotationWindow::open() {
    Form1Services services = env.services();
    services.volumes = volumes;
    services.createFileSystem = createFileSystem;
    services.random = random;
    services.holdingFolder = holding();
    services.yieldEvents = [this] {
        ++yields;
        if (form->cmdGo->isEnabled())
            selectEnabledAtAYield = true;
        if (onYield)
            onYield(yields);
        QCoreApplication::processEvents();
    };
    form = std::make_unique<Form1>(std::move(services));
    form->show();
    return *form;
}

void RotationWindow::choose(const QString& musicFolder, const QString& player1,
                            const QString& player2, bool tick1, bool tick2, bool noWarning) {
    if (!form)
        open();
    // As the user does: the drive first, then the folder on it.
    form->Drive1->setDrive(volumeRootOf(*volumes, musicFolder));
    form->Dir1->setPath(musicFolder);
    form->drvOp1->setDrive(volumeRootOf(*volumes, player1));
    form->dirOp1->setPath(player1);
    form->drvOp2->setDrive(volumeRootOf(*volumes, player2));
    form->dirOp2->setPath(player2);
    form->chk1->setValue(tick1 ? 1 : 0);
    form->chk2->setValue(tick2 ? 1 : 0);
    form->chkWarn->setValue(noWarning ? 1 : 0);
    form->SetGoButton();
}

void RotationWindow::pressSelect() {
    if (!form->cmdGo->isEnabled())
        throw std::logic_error("Select is disabled");
    form->cmdGo->click();
}

FileCensus RotationWindow::census() const {
    return censusOf({form->Dir1->Path(), form->dirOp1->Path(), form->dirOp2->Path(), holding()});
}

QStringList RotationWindow::ownTemporaries() const {
    return ownTemporariesIn(
        {form->Dir1->Path(), form->dirOp1->Path(), form->dirOp2->Path(), holding()});
}

QStringList RotationWindow::namesIn(const QString& folder) const {
    QStringList names = namesInFolder(folder, true);
    names.removeIf(isSongOriginsName);
    return names;
}

QString RotationWindow::statusText() const {
    return form->face().statusText();
}
