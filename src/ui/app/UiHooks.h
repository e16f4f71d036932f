// The replaceable ways windows reach the user: message boxes, file dialogs and modal dialogs.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace velmar {

// One message box: the text already in the current language, its caption and icon, and an optional
// detail shown below the text (why it happened, what to do).
struct UiMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QString detail;
};

// One file-dialog question: open (an existing file) or save (asks before overwriting).
struct FileDialogRequest {
    bool save = false;
    QString startName; // path the dialog starts from, with the proposed file name
    QString filter;    // e.g. "*.vq"
};

// Every window raises boxes and dialogs only through these, so tests replace them and never block.
// Each hook is called on the user-interface thread; an empty hook does nothing (a file dialog then
// counts as cancelled, a modal dialog as rejected).
struct UiHooks {
    // Shows the box modally and returns when the user closed it.
    std::function<void(QWidget* parent, const UiMessage& message)> message;
    // Returns the chosen path, or an empty text when the user cancelled.
    std::function<QString(QWidget* parent, const FileDialogRequest& request)> fileDialog;
    // Runs a dialog modally and returns its result (QDialog::Accepted or QDialog::Rejected).
    std::function<int(QDialog& dialog)> runModal;

    // The real QMessageBox, QFileDialog and QDialog::exec.
    static UiHooks interactive();
    // Gives a box the caption, text and detail of `message` as interactive() shows them (also for
    // pictures of the boxes).
    static void setUpBox(QMessageBox& box, const UiMessage& message);
};

} // namespace velmar
