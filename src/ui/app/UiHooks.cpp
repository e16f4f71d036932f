// The interactive message boxes, file dialogs and modal runs.
#include "ui/app/UiHooks.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>

namespace velmar {

UiHooks UiHooks::interactive() {
    UiHooks hooks;
    hooks.message = [](QWidget* parent, const UiMessage& m) {
        QMessageBox box(parent);
        setUpBox(box, m);
        box.exec();
    };
    hooks.fileDialog = [](QWidget* parent, const FileDialogRequest& r) {
        return r.save ? QFileDialog::getSaveFileName(parent, QString(), r.startName, r.filter)
                      : QFileDialog::getOpenFileName(parent, QString(), r.startName, r.filter);
    };
    hooks.runModal = [](QDialog& dialog) { return dialog.exec(); };
    return hooks;
}

void UiHooks::setUpBox(QMessageBox& box, const UiMessage& m) {
    // A box without a caption carries the application's name, as the system's own boxes do.
    box.setWindowTitle(m.caption.isEmpty() ? QCoreApplication::applicationName() : m.caption);
    box.setIcon(m.icon);
    box.setText(m.text);
    box.setStandardButtons(QMessageBox::Ok);
    if (!m.detail.isEmpty()) {
        // Line for line as written, so a command in it is never wrapped, and selectable to be copied.
        box.setInformativeText(
            QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(m.detail.toHtmlEscaped()));
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
}

} // namespace velmar
