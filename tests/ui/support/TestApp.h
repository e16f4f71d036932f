// TestApp: the whole application under test, with every message box, file dialog and modal dialog
// recorded instead of shown, so no test ever blocks.
#pragma once

#include "transport/HidBackend.h"
#include "ui/app/AppState.h"
#include "ui/app/VelmarApp.h"
#include "ui/app/VelmarDlg.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QDialog;

namespace velmar {
class HidBackend;
}

namespace velmar::test {

// Creates and initialises a CVelmarApp (no USB devices unless a backend is given). The scheduler timer
// and the graph's timer are stopped, so tests drive time by calling the ticks. UI thread only.
class TestApp {
public:
    explicit TestApp(std::unique_ptr<HidBackend> hid = nullptr, bool stopTimers = true);
    ~TestApp();

    CVelmarApp& app() { return *m_app; }
    AppState& state() { return m_app->state(); }
    CoreState& core() { return m_app->state().core; }
    CVelmarDlg& window() { return *m_app->mainWindow(); }

    // Every box shown so far, in order.
    QList<UiMessage> messages;
    QStringList messageTexts() const;
    // Answers for the file dialog, taken in order; an empty answer (or none left) means Cancel.
    QStringList fileAnswers;
    QList<FileDialogRequest> fileRequests;
    // Called for every modal dialog the application runs (its class name is recorded); the default
    // rejects at once.
    std::function<int(QDialog&)> onModal;
    QStringList modalsRun;

    // Delivers queued calls (posted messages, queued signals) without waiting.
    static void deliverPosted();

private:
    std::unique_ptr<CVelmarApp> m_app;
};

} // namespace velmar::test
