#include "app/ApplicationIdentity.h"
#include "app/Form1.h"
#include "app/GuardedStep.h"
#include "app/OptionsCommand.h"
#include "app/OptionsStore.h"
#include "app/SettingsStore.h"

void Form1::Form_Load() {
    m_run.StopRequested = false;
    setWindowTitle(windowCaption(ApplicationIdentity::current()));
    // From here on the window always comes up: each step that fails is skipped without a word.
    if (m_services.settings) {
        applyOptions(*this, loadOptions(*m_services.settings));
        SettingsStore(*m_services.settings).restoreAll(*this);
    }
    runGuarded([this] { ShowTotal(flIp, txtIpTot); });
    runGuarded([this] { ShowTotal(flOp1, txtOp1Tot); });
    runGuarded([this] { ShowTotal(flOP2, txtOp2Tot); });
    runGuarded([this] { SetGoButton(); });
}
