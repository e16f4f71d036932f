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
    s.system.bytes[15] = *n;
    QueueProgramLoad(s, *n);
    app().showMessage(this, tr("Load successful"));
    accept();
}

} // namespace velmar
