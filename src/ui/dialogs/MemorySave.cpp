// The program Save dialog and its renaming.
#include "ui/dialogs/MemorySave.h"

#include "core/Encoder.h"
#include "core/Scheduler.h"
#include "ui/dialogs/SaveDlg.h"
#include "ui/dialogs/SysProgramList.h"

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
    CoreState& s = app().core;
    QueueProgramStore(s, *n);
    s.system.bytes[15] = *n;
    app().post(kMsgRefresh, 0, 255);
    app().showMessage(this, tr("Save successful"));
    accept();
}

void CMemorySave::OnListDoubleClicked() {
    CoreState& s = app().core;
    for (int r : list()->selectedRowNumbers()) {
        CSaveDlg rename(app(), this, list()->rowName(r));
        const int result = app().ui.runModal ? app().ui.runModal(rename) : int(QDialog::Rejected);
        if (result != QDialog::Accepted) continue;
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
    }
}

} // namespace velmar
