// The screenshot tour.
#include "ui/app/ScreenshotTour.h"

#include "core/ReplyParser.h"
#include "core/Verify.h"
#include "sim/SimDevice.h"
#include "ui/app/DeviceConfig.h"
#include "ui/app/SyncIndicator.h"
#include "ui/app/VelmarApp.h"
#include "ui/app/VelmarDlg.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/dialogs/ConnectDlg.h"
#include "ui/dialogs/MemoryLoad.h"
#include "ui/dialogs/MemorySave.h"
#include "ui/dialogs/SysProgramList.h"
#include "ui/dialogs/SystemDlg.h"
#include "ui/dialogs/UnconfirmedDlg.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include <memory>

namespace velmar {

namespace {

QString languageCode(const LanguageManager::Language& language) {
    return language.locale.left(2);
}

// Lays out and renders a top-level widget that is not shown on a screen.
QImage render(QWidget& widget) {
    widget.adjustSize();
    widget.show();
    QApplication::processEvents();
    QImage image = widget.grab().toImage();
    widget.hide();
    return image;
}

} // namespace

ScreenshotTour::ScreenshotTour(CVelmarApp& app, const QString& directory)
    : m_app(app), m_directory(directory) {}

bool ScreenshotTour::save(const QImage& image, const QString& name) {
    const QString path = QDir(m_directory).filePath(name + QStringLiteral(".png"));
    if (image.isNull() || !image.save(path)) {
        m_error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    m_written << path;
    return true;
}

bool ScreenshotTour::readProcessor(SimDevice& device) {
    CoreState& s = m_app.state().core;
    const auto exchange = [&](uint8_t command, uint8_t p1, uint8_t p2) {
        SimFrame ask;
        ask.address = device.address();
        ask.command = command;
        ask.p1 = p1;
        ask.p2 = p2;
        const SimDevice::Outcome outcome = device.handle(ask);
        if (!outcome.reply) return false;
        const std::vector<uint8_t> bytes = outcome.reply->encode();
        FeedBytes(s, bytes.data(), static_cast<int16_t>(bytes.size()));
        return true;
    };
    // The handshake asks for the image next (program 0, the image as it stands); its request is taken
    // as sent, so the reply is awaited and replaces the start image as at a connection.
    if (!exchange(simcmd::kHandshake, 6, 0)) return false;
    s.scheduler.sent = 1;
    s.scheduler.onWire = 1;
    if (!exchange(simcmd::kLoadProgram, 0, 0)) return false;
    QApplication::processEvents(); // the refresh the image posted
    return s.linkConfirmed == 2;
}

bool ScreenshotTour::run() {
    if (!QDir().mkpath(m_directory)) {
        m_error = QStringLiteral("cannot make %1").arg(m_directory);
        return false;
    }
    CVelmarDlg* window = m_app.mainWindow();
    window->show();
    QApplication::processEvents();
    bool ok = true;
    for (const LanguageManager::Language& language : m_app.languages().languages()) {
        window->SetLanguage(language.flag);
        const QString code = languageCode(language);
        ok = tourWindow(code) && tourDialogs(code) && tourMenus(code) && tourVerify(code) && ok;
    }
    window->SetLanguage(LanguageManager::kEnglish);
    window->SetDeviceConfig(DeviceConfig::kDefault);
    return ok;
}

bool ScreenshotTour::tourWindow(const QString& language) {
    CVelmarDlg* window = m_app.mainWindow();
    for (int config = DeviceConfig::kFirst; config <= DeviceConfig::kLast; ++config) {
        window->SetDeviceConfig(config);
        for (int tab = 0; tab < DeviceConfig::tabCount(config); ++tab) {
            window->tabCtrl()->SetCurSel(tab);
            window->SelectTab(tab);
            QApplication::processEvents();
            const QString name = QStringLiteral("cfg%1-%2-tab%3-%4")
                                     .arg(config)
                                     .arg(language)
                                     .arg(tab, 2, 10, QLatin1Char('0'))
                                     .arg(DeviceConfig::tabSlug(config, tab));
            if (!save(window->grab().toImage(), name)) return false;
        }
    }
    window->SetDeviceConfig(DeviceConfig::kDefault);
    return true;
}

bool ScreenshotTour::tourDialogs(const QString& language) {
    AppState& state = m_app.state();
    CVelmarDlg* window = m_app.mainWindow();
    {
        CConnectDlg dialog(state, window);
        dialog.pollTimer().stop();
        if (!save(render(dialog), QStringLiteral("dialog-connect-") + language)) return false;
    }
    {
        CMemoryLoad dialog(state, window);
        if (!save(render(dialog), QStringLiteral("dialog-load-") + language)) return false;
    }
    {
        CMemorySave dialog(state, window);
        if (!save(render(dialog), QStringLiteral("dialog-save-") + language)) return false;
    }
    {
        CSystemDlg dialog(state, window);
        if (!save(render(dialog), QStringLiteral("dialog-configure-") + language)) return false;
    }
    {
        // A message box as the window raises them, to judge the boxes' look.
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                        QCoreApplication::translate("velmar::CVelmarDlg", "Exporting data completed"),
                        QMessageBox::Ok, window);
        if (!save(render(box), QStringLiteral("message-") + language + QStringLiteral("-warning")))
            return false;
    }
    return true;
}

bool ScreenshotTour::tourVerify(const QString& language) {
    AppState& state = m_app.state();
    CoreState& s = state.core;
    CVelmarDlg* window = m_app.mainWindow();
    SyncIndicator* indicator = window->syncIndicator();
    // Staged as a connected processor would leave them; everything is put back before returning.
    const uint8_t linkConnected = s.linkConnected;
    const LinkType activeLink = s.activeLink;
    const VerifyState verify = s.verify;
    const DeviceImage image = s.image;
    const CommandScheduler scheduler = s.scheduler;
    s.linkConnected = 1;
    s.activeLink = LinkType::Tcp;
    window->SelectTab(0);
    window->UpdateStatusLine();

    const auto shot = [&](const QString& what) {
        indicator->refresh();
        QApplication::processEvents();
        return save(window->grab().toImage(), QStringLiteral("verify-%1-%2").arg(language, what));
    };
    bool ok = true;
    s.verify.status = SyncStatus::Synced;
    ok = ok && shot(QStringLiteral("synced"));
    s.verify.status = SyncStatus::Checking;
    ok = ok && shot(QStringLiteral("checking"));
    s.verify.status = SyncStatus::Synced;
    indicator->onCoreEvent(CoreEvent::Repaired, 3);
    ok = ok && shot(QStringLiteral("repaired"));
    indicator->clearNotices();
    indicator->onCoreEvent(CoreEvent::ProcessorChanged, 2);
    ok = ok && shot(QStringLiteral("processor-changed"));
    indicator->clearNotices();

    // Two fields the processor has not taken: output 2's gain and input A's third band frequency.
    s.verify.device = s.image;
    s.image.outputs[1].gain = uint16_t(s.image.outputs[1].gain + 12);
    s.image.inputs[0].peq[2].freq = uint16_t(s.image.inputs[0].peq[2].freq + 40);
    s.verify.differs[UnitIndex(kKindOutput, 1, 1)] = 1;
    s.verify.differs[UnitIndex(kKindInput, 0, 4)] = 1;
    s.verify.unconfirmed = 2;
    s.verify.status = SyncStatus::Unconfirmed;
    ok = ok && shot(QStringLiteral("unconfirmed"));
    if (ok) {
        CUnconfirmedDlg dialog(state, window);
        ok = save(render(dialog), QStringLiteral("dialog-unconfirmed-") + language);
    }
    if (ok) {
        // OK on row 4 of the Save dialog, answered by nobody.
        CMemorySave dialog(state, window);
        dialog.list()->selectRow(3);
        emit dialog.list()->rowClicked(4);
        dialog.OnOK();
        ok = save(render(dialog), QStringLiteral("dialog-save-waiting-") + language);
    }
    if (ok) {
        QMessageBox box(window);
        UiHooks::setUpBox(box, UiMessage{QCoreApplication::translate("velmar::CMemorySave", "Save failed"),
                                         QStringLiteral("Warning"), QMessageBox::Warning,
                                         CUnconfirmedDlg::fieldLines(s).join(QLatin1Char('\n'))});
        ok = save(render(box), QStringLiteral("message-") + language + QStringLiteral("-save-failed"));
    }

    s.linkConnected = linkConnected;
    s.activeLink = activeLink;
    s.verify = verify;
    s.image = image;
    s.scheduler = scheduler;
    indicator->clearNotices();
    window->UpdateStatusLine();
    return ok;
}

bool ScreenshotTour::tourMenus(const QString& language) {
    CVelmarDlg* window = m_app.mainWindow();
    const QStringList names = {QStringLiteral("remote"), QStringLiteral("device"), QStringLiteral("program"),
                               QStringLiteral("system")};
    int index = 0;
    for (QAction* action : window->menuBar()->actions()) {
        QMenu* menu = action->menu();
        if (!menu || index >= names.size()) continue;
        menu->ensurePolished();
        const QImage image = render(*menu);
        if (!save(image, QStringLiteral("menu-") + language + QLatin1Char('-') + names.at(index)))
            return false;
        ++index;
    }
    return save(window->menuBar()->grab().toImage(),
                QStringLiteral("menu-") + language + QStringLiteral("-bar"));
}

} // namespace velmar
