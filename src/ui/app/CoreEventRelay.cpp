// The relay of the core's events to the windows.
#include "ui/app/CoreEventRelay.h"

#include <QMetaObject>

namespace velmar {

void CoreEventRelay::attach(CoreState& s) {
    // Queued: the core forbids being entered again from its hooks, and a receiver may run a box.
    s.hooks.event = [this](CoreEvent event, int value) {
        QMetaObject::invokeMethod(
            this, [this, event, value] { emit coreEvent(event, value); }, Qt::QueuedConnection);
    };
}

void CoreEventRelay::detach(CoreState& s) {
    s.hooks.event = nullptr;
}

} // namespace velmar
