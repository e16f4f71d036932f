// The Load dialog.
#include "ui/dialogs/MemoryLoad.h"

namespace velmar {

CMemoryLoad::CMemoryLoad(AppState& app, QWidget* parent) : PlaceholderDialog(app, parent) {
    setBody(tr("Load"), tr("Load"));
}

} // namespace velmar
