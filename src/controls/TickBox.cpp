#include "controls/TickBox.h"

#include "fs/AppError.h"

TickBox::TickBox(QWidget* parent) : QCheckBox(parent) {}

int TickBox::Value() const {
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void TickBox::setValue(int value) {
    switch (value) {
    case 0:
        setCheckState(Qt::Unchecked);
        return;
    case 1:
        setCheckState(Qt::Checked);
        return;
    case 2:
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
        return;
    default:
        throw AppError(ErrorNumber::InvalidArgument, QStringLiteral("TickBox"),
                       QStringLiteral("A tick box takes the value 0, 1 or 2, not %1.").arg(value));
    }
}

void TickBox::nextCheckState() {
    setTristate(false);
    QCheckBox::nextCheckState();
}
