#pragma once

#include "app/Form1.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"

#include <QLabel>
#include <cstdint>
#include <initializer_list>

// Whether all five controls that depend on a player pane's drive are shown, or all hidden: its
// folder list, label, tick box, file list and total.
inline bool paneShown(const Form1& form, std::uint8_t which, bool shown = true) {
    const PlayerPane pane = form.playerPane(which);
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             pane.dir, pane.label, pane.tick, pane.files, pane.total})
        if (control->isVisible() != shown)
            return false;
    return true;
}

inline bool paneHidden(const Form1& form, std::uint8_t which) {
    return paneShown(form, which, false);
}
