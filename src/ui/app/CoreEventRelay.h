// CoreEventRelay: the core's result events (sync status, repairs, stores, loads, imports, names) handed
// to the windows as a Qt signal once the core has returned.
#pragma once

#include "core/CoreState.h"

#include <QObject>

namespace velmar {

// One for the run, inside the AppState. attach() points core.hooks.event here; every event is then
// emitted as coreEvent from the event loop, never inside the core, so a receiver may call the core, raise
// a box or close a dialog. UI thread only.
class CoreEventRelay : public QObject {
    Q_OBJECT

public:
    void attach(CoreState& s);
    void detach(CoreState& s);

signals:
    void coreEvent(velmar::CoreEvent event, int value);
};

} // namespace velmar
