#include "app/SystemMenu.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <windows.h>

namespace {

// The menu's own commands use identifiers from 0xF000 up, and the low four bits of a system
// command are the system's.
UINT nextCommandId() {
    static UINT id = 0x0100;
    return id += 0x10;
}

// Runs the command when the system menu of its window sends it.
class SystemCommandFilter : public QObject, public QAbstractNativeEventFilter {
public:
    SystemCommandFilter(QWidget& window, HWND handle, UINT id, std::function<void()> command)
        : QObject(&window), m_handle(handle), m_id(id), m_command(std::move(command)) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~SystemCommandFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_SYSCOMMAND || msg->hwnd != m_handle ||
            (msg->wParam & 0xFFF0) != m_id)
            return false;
        m_command();
        return true;
    }

private:
    HWND m_handle;
    UINT m_id;
    std::function<void()> m_command;
};

} // namespace

void addSystemMenuCommand(QWidget& window, const QString& text, std::function<void()> command) {
    // Only the platform's own windows have a system menu; the offscreen one of the tests has none.
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return;
    const HWND handle = reinterpret_cast<HWND>(window.winId());
    const HMENU menu = GetSystemMenu(handle, FALSE);
    if (!menu)
        return;
    const UINT id = nextCommandId();
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, id, reinterpret_cast<const wchar_t*>(text.utf16()));
    new SystemCommandFilter(window, handle, id, std::move(command));
}
