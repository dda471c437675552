#pragma once

#include "support/FolderDrives.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>

// A drive or folder list on the folder drives whose change handler counts its calls and keeps
// what the list said from inside the handler, which shows whether the handler ran nested in the
// setter with the new value already in place.
template <typename List, QString (List::*Value)() const>
class WatchedList : public testing::Test, public FolderDrives {
protected:
    WatchedList() : list(std::make_unique<List>(env.volumes)) {
        list->setChangeHandler([this] {
            ++changes;
            seenInHandler = (list.get()->*Value)();
        });
    }

    std::unique_ptr<List> list;
    int changes = 0;
    QString seenInHandler;
};
