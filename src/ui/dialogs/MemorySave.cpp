// The Save dialog.
#include "ui/dialogs/MemorySave.h"

namespace velmar {

CMemorySave::CMemorySave(AppState& app, QWidget* parent) : PlaceholderDialog(app, parent) {
    setBody(tr("Save"), tr("Save"));
}

} // namespace velmar
