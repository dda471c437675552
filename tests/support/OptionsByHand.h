#pragma once

#include "app/Form1.h"
#include "app/OptionsDialog.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Opens the Options dialog through the window's "Options..." command, as the user does, lets
// `choose` set it once it shows, then presses OK (or Cancel).
inline void chooseOptions(Form1& form, const std::function<void(OptionsDialog&)>& choose,
                          bool pressOk = true) {
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = dynamic_cast<OptionsDialog*>(window);
            if (!dialog || !dialog->isVisible())
                continue;
            choose(*dialog);
            dialog->buttons->button(pressOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                ->click();
        }
    });
    form.actions().front()->trigger();
}
