// The program Load dialog.
#include "ui/dialogs/MemoryLoad.h"

#include "core/Scheduler.h"

namespace velmar {

CMemoryLoad::CMemoryLoad(AppState& app, QWidget* parent) : SysProgramDialog(app, parent) {
    setUp(tr("Load"));
}

void CMemoryLoad::OnOK() {
    const std::optional<uint8_t> n =
        programToActOn(tr("Don't open the USB connection"), tr("Please select one group"));
    if (!n) return;
    CoreState& s = app().core;
    m_previousProgram = s.system.bytes[15];
    s.system.bytes[15] = *n;
    QueueProgramLoad(s, *n);
    waitForResult(*n, CoreEvent::LoadDone, CoreEvent::LoadFailed, tr("Loading..."));
}

void CMemoryLoad::waitEnded(uint8_t, bool ok) {
    if (ok) {
        app().showMessage(this, tr("Load successful"));
        accept();
        return;
    }
    // The processor's own program number comes with the next connection; until then the status line
    // names the program that was in use.
    app().core.system.bytes[15] = m_previousProgram;
    app().post(kMsgRefresh, 0, 255);
    app().showMessage(this, tr("Load failed"));
}

} // namespace velmar
