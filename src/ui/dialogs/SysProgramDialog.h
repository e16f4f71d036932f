// SysProgramDialog: what the program load and save dialogs share - the list, OK, Cancel, the choice.
#pragma once

#include "ui/app/AppState.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;

namespace velmar {

class SysProgramList;

// Modal, made afresh for every run; keeps nothing after it closes. The list shows programNames 1..12;
// selectionNumber() is the row last chosen with the mouse (1..12), 0 for none. OK calls OnOK, which
// the load and save dialogs define; Cancel and the close box reject. Enter and Escape only move the
// focus to the dialog.
//
// A load or store is a success only once the processor answered: the dialog then waits (list and
// buttons disabled, the close box ignored, a short text beside the buttons) for the core's result event
// for that program, and gives up when the link goes or after waitLimitMs. UI thread only.
class SysProgramDialog : public QDialog {
    Q_OBJECT

public:
    SysProgramDialog(AppState& app, QWidget* parent);
    ~SysProgramDialog() override;

    static constexpr int kWaitLimitMs = 30000;

    virtual void OnOK() = 0;
    void reject() override;

    // Waiting for the processor's answer to a load or store.
    bool waiting() const { return m_waitProgram != 0; }
    QString waitText() const;
    // The backstop of a wait (tests shorten it).
    void setWaitLimitMs(int ms) { m_waitLimitMs = ms; }

    int selectionNumber() const { return m_selection; }
    SysProgramList* list() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    AppState& app() const { return m_app; }

    // The name of program `number` (0..39) as the table holds it: at most 16 characters, up to the
    // first zero.
    static QString programName(const CoreState& s, int number);

protected:
    // Caption, column titles and rows in the current language; call from the derived constructor.
    void setUp(const QString& caption);
    void setSelectionNumber(int number) { m_selection = number; }
    // The program OK acts on (1..12). Without a link it shows `notConnected` and closes the dialog;
    // without a chosen row it shows `noSelection` and the dialog stays open. Either way it gives back
    // nothing. The texts are the caller's, each dialog words them in its own translation.
    std::optional<uint8_t> programToActOn(const QString& notConnected, const QString& noSelection);
    // Starts waiting for `done` or `failed` with value `program` (1..12), showing `text`.
    void waitForResult(uint8_t program, CoreEvent done, CoreEvent failed, const QString& text);
    // The wait ended: `ok` when the core reported `done`; false for `failed`, a lost link or the
    // backstop. The controls are usable again when this is called.
    virtual void waitEnded(uint8_t program, bool ok) = 0;

private:
    AppState& m_app;
    SysProgramList* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_selection = 0;

    void onCoreEvent(CoreEvent event, int value);
    void pollWait();
    void endWait(bool ok);
    void setBusy(bool busy);

    QLabel* m_waitLabel = nullptr;
    QTimer m_waitPoll;
    QElapsedTimer m_waitClock;
    int m_waitLimitMs = kWaitLimitMs;
    uint8_t m_waitProgram = 0;
    CoreEvent m_doneEvent = CoreEvent::StoreDone;
    CoreEvent m_failedEvent = CoreEvent::StoreFailed;
};

} // namespace velmar
