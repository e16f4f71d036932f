// SysProgramDialog: what the program load and save dialogs share - the list, OK, Cancel, the choice.
#pragma once

#include "ui/app/AppState.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QPushButton;

namespace velmar {

class SysProgramList;

// Modal, made afresh for every run; keeps nothing after it closes. The list shows programNames 1..12;
// selectionNumber() is the row last chosen with the mouse (1..12), 0 for none. OK calls OnOK, which
// the load and save dialogs define; Cancel and the close box reject. Enter and Escape only move the
// focus to the dialog. UI thread only.
class SysProgramDialog : public QDialog {
    Q_OBJECT

public:
    SysProgramDialog(AppState& app, QWidget* parent);
    ~SysProgramDialog() override;

    virtual void OnOK() = 0;

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

private:
    AppState& m_app;
    SysProgramList* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_selection = 0;
};

} // namespace velmar
