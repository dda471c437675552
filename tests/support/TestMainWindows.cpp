#include "app/FontSubstitutes.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Shared by every test executable on Windows: headless widgets (set here, since Wine passes no
// QT_* variable on to a program), and the program's own state (the journal of temporary files)
// in a folder of the test's, never the user's.
int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir state;
    if (!state.isValid())
        return 1;
    qputenv("LOCALAPPDATA", QDir::toNativeSeparators(state.path()).toUtf8());
    QApplication app(argc, argv);
    registerFontSubstitutes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
