#include "controls/DriveList.h"

#include "controls/DriveText.h"
#include "fs/AppError.h"
#include "fs/DriveRoot.h"
#include "fs/PathText.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace {

constexpr int kRootRole = Qt::UserRole;

} // namespace

DriveList::DriveList(std::shared_ptr<VolumeProvider> volumes, QWidget* parent)
    : QComboBox(parent), m_volumes(std::move(volumes)) {
    setEditable(false);
    view()->setTextElideMode(Qt::ElideMiddle);
    m_drive = m_volumes->homeVolumeRoot();
    reloadItems();
    connect(this, &QComboBox::activated, this, [this](int index) { userChose(index); });
}

QString DriveList::Drive() const {
    return m_drive;
}

void DriveList::setDrive(const QString& text) {
    const std::optional<QString> root = driveNamedBy(*m_volumes, text);
    if (!root)
        throw AppError(ErrorNumber::DeviceUnavailable, QStringLiteral("Drive chooser:"),
                       QStringLiteral("Device unavailable: no drive \"%1\" is %2.")
                           .arg(shownPath(text), driveThereWord()));
    if (*root == m_drive && !m_absent)
        return;
    m_drive = *root;
    m_absent = false;
    reloadItems();
    if (m_onChange)
        m_onChange();
}

void DriveList::showAbsent(const QString& text) {
    const QString root = rootOfAbsentDrive(*m_volumes, text);
    if (root.isEmpty())
        return;
    m_drive = root;
    m_driveLabel.clear();
    m_absent = true;
    reloadItems();
}

// The open list is as wide as its longest item, as far as the screen allows; beyond that its
// items are elided in the middle too.
void DriveList::showPopup() {
    reloadItems();
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    // The frame, the item's text margins and room for a scroll bar.
    const int margins = 2 * view()->frameWidth() +
                        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view()->setMinimumWidth(std::min(widest + margins, screen()->availableGeometry().width()));
    QComboBox::showPopup();
}

void DriveList::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The room the style gives the text: a pixel each side, and the icon with 4 pixels beside it.
    int room = field.width() - 2;
    if (!option.currentIcon.isNull())
        room -= option.iconSize.width() + 4;
    option.currentText = option.fontMetrics.elidedText(option.currentText, Qt::ElideMiddle, room);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void DriveList::reloadItems() {
    const QSignalBlocker quiet(this);
    clear();
    const QString home = m_volumes->homeVolumeRoot();
    const auto add = [&](const Volume& volume, const QString& note) {
        const QString text = volumeText(volume, volume.root == home) + note;
        addItem(text, volume.root);
        setItemData(count() - 1, text, Qt::ToolTipRole);
    };
    bool listed = false;
    for (const Volume& volume : m_volumes->volumes()) {
        add(volume, {});
        if (volume.root == m_drive) {
            listed = true;
            m_driveLabel = volume.label;
        }
    }
    if (!listed && !m_drive.isEmpty())
        add({m_drive, m_driveLabel}, m_absent ? QStringLiteral(" - not plugged in") : QString());
    showDrive();
}

void DriveList::showDrive() {
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(m_drive, kRootRole));
    setToolTip(currentText());
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
