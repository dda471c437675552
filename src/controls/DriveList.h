#pragma once

#include "fs/Volume.h"

#include <QComboBox>
#include <functional>
#include <memory>

// The drive chooser: one volume selected, shown as its label and root path, elided in the middle
// when long, the whole text as the tooltip. The list is read again from the volume provider every
// time it is opened, so a player plugged in later shows up.
class DriveList : public QComboBox {
public:
    DriveList(std::shared_ptr<VolumeProvider> volumes, QWidget* parent = nullptr);

    // The chosen volume's root path.
    QString Drive() const;
    // Selects the volume the text names (a root path, trailing "/" ignored, or a drive letter
    // text such as "C" or "C:\" for the home volume). Throws AppError before changing anything
    // when no such volume exists; runs the change handler, nested, when the drive changes.
    void setDrive(const QString& text);

    // Shows the drive the text names as chosen although it is not there, marked "not plugged in"
    // (a saved player's drive at start); its change handler does not run. Choosing any drive,
    // that one once it is there, ends it.
    void showAbsent(const QString& text);

    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }

    // How a volume is shown. On Linux its label and its root, "PLAYER  (/media/ann/PLAYER)";
    // without a label the root's last folder name stands in, and the home volume reads
    // "Home  (/)". On Windows the drive letter and the label, "e: [PLAYER]", or "e:" alone.
    static QString volumeText(const Volume& volume, bool home);

protected:
    void showPopup() override;
    // The chosen item's text elided in the middle: both ends tell two players apart.
    void paintEvent(QPaintEvent* event) override;

private:
    // Fills the items from the provider; the chosen drive stays listed even when it has gone.
    void reloadItems();
    void showDrive();
    void userChose(int index);

    std::shared_ptr<VolumeProvider> m_volumes;
    std::function<void()> m_onChange;
    QString m_drive;
    QString m_driveLabel;
    bool m_absent = false;
};
