// The application under test with recording hooks.
#include "support/TestApp.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QTimer>

namespace velmar::test {

TestApp::TestApp(std::unique_ptr<HidBackend> hid, bool stopTimers) {
    UiHooks hooks;
    hooks.message = [this](QWidget*, const UiMessage& m) { messages.append(m); };
    hooks.fileDialog = [this](QWidget*, const FileDialogRequest& r) {
        fileRequests.append(r);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    };
    hooks.runModal = [this](QDialog& dialog) {
        modalsRun.append(QString::fromLatin1(dialog.metaObject()->className()));
        return onModal ? onModal(dialog) : int(QDialog::Rejected);
    };
    m_app = std::make_unique<CVelmarApp>(std::move(hid), std::move(hooks));
    m_app->InitInstance();
    if (stopTimers) {
        m_app->mainWindow()->schedulerTimer().stop();
        // The graph's own timer drives the link supervision; tests call its tick.
        if (state().graph)
            for (QTimer* timer : state().graph->findChildren<QTimer*>()) timer->stop();
    }
}

TestApp::~TestApp() {
    m_app.reset();
}

QStringList TestApp::messageTexts() const {
    QStringList texts;
    for (const UiMessage& m : messages) texts << m.text;
    return texts;
}

void TestApp::deliverPosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace velmar::test
