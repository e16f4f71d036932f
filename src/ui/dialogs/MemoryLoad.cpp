// The program Load dialog.
#include "ui/dialogs/MemoryLoad.h"

#include "core/Scheduler.h"
#include "ui/dialogs/SysProgramList.h"

namespace velmar {

CMemoryLoad::CMemoryLoad(AppState& app, QWidget* parent) : SysProgramDialog(app, parent) {
    setUp(tr("Load"));
}

void CMemoryLoad::OnOK() {
    CoreState& s = app().core;
    if (!s.linkConnected) {
        app().showMessage(this, tr("Don't open the USB connection"));
        accept();
        return;
    }
    const int n = selectionNumber();
    if (n < 1 || n > SysProgramList::kRows) {
        app().showMessage(this, tr("Please select one group"));
        return;
    }
    s.system.bytes[15] = uint8_t(n);
    QueueProgramLoad(s, uint8_t(n));
    app().showMessage(this, tr("Load successful"));
    accept();
}

} // namespace velmar
