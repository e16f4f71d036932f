// The application-wide state every window works on: the protocol core's state, the main window's
// selection, the shared EQ-bypass state and the hooks through which windows reach the user.
#pragma once

#include "core/CoreState.h"
#include "ui/app/CoreEventRelay.h"
#include "ui/app/ResponseGraph.h"
#include "ui/app/UiHooks.h"
#include "ui/pages/EqBypassState.h"

#include <QStringList>

#include <cstdint>

namespace velmar {

class LinkController;

// One AppState for the whole run, owned by CVelmarApp and handed by reference to the main window,
// every page and every dialog. UI thread only, like the core inside it.
//
// Where things live:
// - core.languageFlag (0 English, 1 Chinese, 2.. further translations), core.deviceConfig (3..7),
//   core.linkConnected, core.activeLink, core.deviceAddress: in the CoreState, because the core reads
//   them too;
// - currentTab, currentChannel, channelPageKind: here, set only by the main window;
// - graph: the response graph, created and owned by the main window (null before it exists);
// - links: the LinkController, owned by CVelmarApp;
// - events: the core's result events as a signal, attached to the core by the main window.
struct AppState {
    CoreState core;

    int currentTab = 0;
    uint8_t currentChannel = 0;
    int channelPageKind = 0; // 1 input page, 4 output page, 0 none chosen yet

    EqBypassState eqBypass;
    UiHooks ui;
    ResponseGraph* graph = nullptr;
    LinkController* links = nullptr;
    CoreEventRelay events;

    // Serial ports the connection dialog lists before the enumerated ones (the demo's simulator).
    QStringList extraSerialPorts;

    bool chinese() const { return core.languageFlag == 1; }

    // A message box through the ui hook; caption "Warning" unless given.
    void showMessage(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("Warning"),
                     QMessageBox::Icon icon = QMessageBox::Warning, const QString& detail = QString()) const {
        if (ui.message) ui.message(parent, UiMessage{text, caption, icon, detail});
    }
    // Posts a main-window message (0x464 / 0x465); it is handled after the caller returns.
    void post(uint32_t message, uint32_t wParam, uint32_t lParam) const {
        if (core.hooks.postMessage) core.hooks.postMessage(message, wParam, lParam);
    }
};

} // namespace velmar
