#include "app/QtPrompter.h"

#include "fs/FileNameCodec.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageAnswer QtPrompter::ask(const MessageRequest& request) {
    // File names in the text show their bytes that are not text as U+FFFD.
    QMessageBox box(toQt(request.icon), request.title, displayedFileName(request.text),
                    QMessageBox::NoButton, m_parent);
    if (request.buttons == MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(request.defaultButton == MessageAnswer::No ? no : yes);
        box.exec();
        return box.clickedButton() == static_cast<QAbstractButton*>(yes) ? MessageAnswer::Yes
                                                                         : MessageAnswer::No;
    }
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
    box.exec();
    return MessageAnswer::Ok;
}
