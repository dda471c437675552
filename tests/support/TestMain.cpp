#include "app/FontSubstitutes.h"
#include "support/OwnStateFolder.h"
#include "support/ScratchVolume.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

// Shared by every test executable: mounts of its own, and headless widgets, also when ctest lists
// the tests at build time without a display. The program's own state (the journal of temporary
// files) goes to a folder of the test's, never the user's.
int main(int argc, char* argv[]) {
    isolateTestMounts();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const OwnStateFolder state;
    if (!state.isValid())
        return 1;
    QApplication app(argc, argv);
    registerFontSubstitutes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
