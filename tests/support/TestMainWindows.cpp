#include "app/FontSubstitutes.h"
#include "support/OwnStateFolder.h"
#include "support/TestRegistry.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

QString testUserSubkey() {
    return QStringLiteral("Software\\QUAVEX-tests-%1").arg(GetCurrentProcessId());
}

// HKEY_CURRENT_USER stands for the test's own key in this process until the object goes; then
// the key goes too.
class UserKeyOverride {
public:
    UserKeyOverride() {
        const std::wstring subkey = testUserSubkey().toStdWString();
        m_valid = RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &m_key, nullptr) == ERROR_SUCCESS &&
                  RegOverridePredefKey(HKEY_CURRENT_USER, m_key) == ERROR_SUCCESS;
    }
    ~UserKeyOverride() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_key) {
            RegCloseKey(m_key);
            RegDeleteTreeW(HKEY_CURRENT_USER, testUserSubkey().toStdWString().c_str());
        }
    }
    UserKeyOverride(const UserKeyOverride&) = delete;
    UserKeyOverride& operator=(const UserKeyOverride&) = delete;
    bool isValid() const { return m_valid; }

private:
    HKEY m_key = nullptr;
    bool m_valid = false;
};

} // namespace

QString testUserKey() {
    return QStringLiteral("HKCU\\") + testUserSubkey();
}

// Shared by every test executable on Windows: headless widgets (set here, since Wine passes no
// QT_* variable on to a program), the program's own state (the journal of temporary files) in a
// folder of the test's, and its settings in a registry key of the test's, never the user's.
int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const OwnStateFolder state;
    const UserKeyOverride userKey;
    if (!state.isValid() || !userKey.isValid())
        return 1;
    QApplication app(argc, argv);
    registerFontSubstitutes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
