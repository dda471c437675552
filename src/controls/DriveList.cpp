#include "controls/DriveList.h"

#include "controls/DriveText.h"
#include "fs/AppError.h"

#include <QSignalBlocker>

namespace {

constexpr int kRootRole = Qt::UserRole;

} // namespace

DriveList::DriveList(std::shared_ptr<VolumeProvider> volumes, QWidget* parent)
    : QComboBox(parent), m_volumes(std::move(volumes)) {
    setEditable(false);
    m_drive = m_volumes->homeVolumeRoot();
    reloadItems();
    connect(this, &QComboBox::activated, this, [this](int index) { userChose(index); });
}

QString DriveList::Drive() const {
    return m_drive;
}

QString DriveList::volumeText(const Volume& volume) {
    return volume.label.isEmpty() ? volume.root
                                  : QStringLiteral("%1 [%2]").arg(volume.root, volume.label);
}

void DriveList::setDrive(const QString& text) {
    const std::optional<QString> root = driveNamedBy(*m_volumes, text);
    if (!root)
        throw AppError(ErrorNumber::DeviceUnavailable, QStringLiteral("DriveList"),
                       QStringLiteral("Device unavailable: no drive \"%1\" is mounted.").arg(text));
    if (*root == m_drive)
        return;
    m_drive = *root;
    reloadItems();
    if (m_onChange)
        m_onChange();
}

void DriveList::showPopup() {
    reloadItems();
    QComboBox::showPopup();
}

void DriveList::reloadItems() {
    const QSignalBlocker quiet(this);
    clear();
    bool listed = false;
    for (const Volume& volume : m_volumes->volumes()) {
        addItem(volumeText(volume), volume.root);
        if (volume.root == m_drive) {
            listed = true;
            m_driveLabel = volume.label;
        }
    }
    if (!listed && !m_drive.isEmpty())
        addItem(volumeText({m_drive, m_driveLabel}), m_drive);
    showDrive();
}

void DriveList::showDrive() {
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(m_drive, kRootRole));
}

// A signal frame must never be crossed by an exception: a choice that cannot be applied puts the
// chooser back on the drive it had, and the window decides what to tell the user.
void DriveList::userChose(int index) {
    const QString previous = m_drive;
    try {
        setDrive(itemData(index, kRootRole).toString());
    } catch (...) {
        m_drive = previous;
        showDrive();
    }
}
