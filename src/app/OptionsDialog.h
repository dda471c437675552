#pragma once

#include "rotation/Options.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QSpinBox;

// The Options dialog: the rotation memory, the room to leave free on the player, the music file
// types, music in subfolders and whole albums. OK stays disabled while no file type is ticked.
class OptionsDialog : public QDialog {
public:
    OptionsDialog(const Options& options, QWidget* parent);

    Options chosen() const;

    QCheckBox* rotationMemory = nullptr;
    QSpinBox* megabytesFree = nullptr;
    // One per entry of allMusicTypes(), in its order.
    std::vector<QCheckBox*> musicTypes;
    QCheckBox* musicInSubfolders = nullptr;
    // Offered only while music in subfolders is ticked.
    QCheckBox* wholeAlbums = nullptr;
    QDialogButtonBox* buttons = nullptr;

private:
    void enableOk();
};
