#include "app/OptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

OptionsDialog::OptionsDialog(const Options& options, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Options"));

    rotationMemory = new QCheckBox(
        QStringLiteral("&Rotation memory: bring out every song once before any comes again"), this);
    rotationMemory->setChecked(options.rotationMemory);

    megabytesFree = new QSpinBox(this);
    megabytesFree->setRange(0, std::numeric_limits<int>::max());
    megabytesFree->setSuffix(QStringLiteral(" MB"));
    megabytesFree->setValue(
        int(std::min<std::int64_t>(options.megabytesFree, std::numeric_limits<int>::max())));
    auto* room = new QFormLayout;
    room->addRow(QStringLiteral("Room to leave &free on each player folder's drive:"),
                 megabytesFree);

    auto* types = new QGroupBox(QStringLiteral("Music file types"), this);
    for (const QString& type : allMusicTypes()) {
        auto* box = new QCheckBox(type, types);
        box->setChecked(options.musicTypes.contains(type));
        connect(box, &QCheckBox::toggled, this, [this] { enableOk(); });
        musicTypes.push_back(box);
    }
    auto* typeGrid = new QGridLayout;
    types->setLayout(typeGrid);
    for (std::size_t i = 0; i < musicTypes.size(); ++i)
        typeGrid->addWidget(musicTypes[i], int(i / 5), int(i % 5));

    musicInSubfolders = new QCheckBox(
        QStringLiteral("Music in &subfolders: take the songs of every folder under the music "
                       "folder, each to the same folders on the player"),
        this);
    musicInSubfolders->setChecked(options.musicInSubfolders);
    wholeAlbums = new QCheckBox(
        QStringLiteral("Whole &albums: each draw takes all the songs of one folder"), this);
    wholeAlbums->setChecked(options.wholeAlbums);
    wholeAlbums->setEnabled(options.musicInSubfolders);
    connect(musicInSubfolders, &QCheckBox::toggled, wholeAlbums, &QWidget::setEnabled);
    auto* albums = new QHBoxLayout;
    albums->addSpacing(20);
    albums->addWidget(wholeAlbums);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rotationMemory);
    layout->addLayout(room);
    layout->addWidget(types);
    layout->addWidget(musicInSubfolders);
    layout->addLayout(albums);
    layout->addWidget(buttons);
    enableOk();
}

Options OptionsDialog::chosen() const {
    Options options;
    options.rotationMemory = rotationMemory->isChecked();
    options.megabytesFree = megabytesFree->value();
    options.musicTypes.clear();
    for (std::size_t i = 0; i < musicTypes.size(); ++i)
        if (musicTypes[i]->isChecked())
            options.musicTypes.append(allMusicTypes()[qsizetype(i)]);
    options.musicInSubfolders = musicInSubfolders->isChecked();
    // Kept as ticked while greyed out, so that ticking subfolders again brings it back.
    options.wholeAlbums = wholeAlbums->isChecked();
    return options;
}

// No type ticked would leave nothing to fill with.
void OptionsDialog::enableOk() {
    buttons->button(QDialogButtonBox::Ok)
        ->setEnabled(std::any_of(musicTypes.begin(), musicTypes.end(),
                                 [](const QCheckBox* box) { return box->isChecked(); }));
}
