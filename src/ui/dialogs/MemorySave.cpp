// The program Save dialog and its renaming.
#include "ui/dialogs/MemorySave.h"

#include "core/Encoder.h"
#include "core/Scheduler.h"
#include "ui/dialogs/SaveDlg.h"
#include "ui/dialogs/SysProgramList.h"
#include "ui/dialogs/UnconfirmedDlg.h"

#include <cstring>

namespace velmar {

CMemorySave::CMemorySave(AppState& app, QWidget* parent) : SysProgramDialog(app, parent) {
    setUp(tr("Save"));
    connect(list(), &SysProgramList::rowDoubleClicked, this, &CMemorySave::OnListDoubleClicked);
}

void CMemorySave::OnOK() {
    const std::optional<uint8_t> n =
        programToActOn(tr("Don't open the USB connection"), tr("Please select one group"));
    if (!n) return;
    QueueProgramStore(app().core, *n);
    waitForResult(*n, CoreEvent::StoreDone, CoreEvent::StoreFailed, tr("Saving..."));
}

void CMemorySave::waitEnded(uint8_t program, bool ok) {
    CoreState& s = app().core;
    if (ok) {
        s.system.bytes[15] = program;
        app().post(kMsgRefresh, 0, 255);
        app().showMessage(this, tr("Save successful"));
        accept();
        return;
    }
    // A store still waiting for agreement is withdrawn, so it cannot be made later behind a "Save
    // failed" (the backstop or a lost link ended the wait, not the core). One on the wire stays.
    if (s.scheduler.storeProgram == program) CancelProgramStore(s);
    // A store refused for fields the processor never took says which ones.
    const QString detail = s.verify.status == SyncStatus::Unconfirmed
                               ? CUnconfirmedDlg::fieldLines(s).join(QLatin1Char('\n'))
                               : QString();
    app().showMessage(this, tr("Save failed"), QStringLiteral("Warning"), QMessageBox::Warning, detail);
}

void CMemorySave::OnListDoubleClicked() {
    CoreState& s = app().core;
    for (int r : list()->selectedRowNumbers()) {
        CSaveDlg rename(app(), this, list()->rowName(r));
        const int result = app().ui.runModal ? app().ui.runModal(rename) : int(QDialog::Rejected);
        // OK on a name left as it was rewrites nothing: the processor's own bytes stay.
        if (result != QDialog::Accepted || !rename.changed()) continue;
        app().post(kMsgRefresh, 0, 255);
        const QByteArray name = CSaveDlg::nameBytes(rename.name());
        list()->setRowName(r, QString::fromLatin1(name));
        s.system.bytes[15] = uint8_t(r + 1);
        // The whole 16-byte field travels: the name, its zero and zeros after it.
        char* entry = s.programNames[r + 1];
        std::memset(entry, 0, kProgramNameSize);
        std::memcpy(entry, name.constData(), size_t(name.size()));
        entry[kProgramNameChars - 1] = 0;
        SendProgramName(s, uint8_t(r + 1), reinterpret_cast<const uint8_t*>(entry));
        // Without a link nothing went out, so there is nothing to confirm.
        if (s.linkConnected) QueueNameCheck(s, uint8_t(r + 1));
    }
}

} // namespace velmar
