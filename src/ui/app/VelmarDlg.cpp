// The main window: start-up, tabs and pages, status line, link indicators, menus and message routing.
#include "ui/app/VelmarDlg.h"

#include "core/CoreMessages.h"
#include "core/Image.h"
#include "core/Scheduler.h"
#include "core/Verify.h"
#include "dsp/CurveSets.h"
#include "transport/LinkController.h"
#include "ui/app/KeyboardFilter.h"
#include "ui/app/LanguageManager.h"
#include "ui/app/SyncIndicator.h"
#include "ui/artwork/Palette.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/controls/xSkinButton.h"
#include "ui/dialogs/ConnectDlg.h"
#include "ui/dialogs/MemoryLoad.h"
#include "ui/dialogs/MemorySave.h"
#include "ui/dialogs/SystemDlg.h"
#include "ui/dialogs/UnconfirmedDlg.h"
#include "ui/pages/DelayDlg.h"
#include "ui/pages/GEQDlg.h"
#include "ui/pages/GainDlg.h"
#include "ui/pages/HomeDlg.h"
#include "ui/pages/InputDlg.h"
#include "ui/pages/OutputDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <cerrno>
#include <cstring>

namespace velmar {

namespace {

constexpr int kMenuHeight = 24;
constexpr int kMargin = 6;
constexpr int kStatusHeight = 30;
constexpr int kGap = 4;

// Link button bitmaps: off and on faces of the connect button and the three indicators.
constexpr int kConnectOff = 316, kConnectOn = 315;
constexpr int kSerialOff = 444, kSerialOn = 445;
constexpr int kUsbOff = 446, kUsbOn = 447;
constexpr int kTcpOff = 448, kTcpOn = 449;

// The verify read while idle, in ticks, when System > Periodic verify is on.
constexpr uint16_t kVerifyPeriodTicks = 300;

int buttonSlot(CVelmarDlg::LinkButton b) {
    switch (b) {
    case CVelmarDlg::LinkButton::Connect:
        return 0;
    case CVelmarDlg::LinkButton::Serial:
        return 1;
    case CVelmarDlg::LinkButton::Usb:
        return 2;
    case CVelmarDlg::LinkButton::Tcp:
        return 3;
    }
    return 0;
}

// The texts the core raises, so every translation carries them. The core itself already writes them
// in Chinese for languageFlag 1; further languages get the English text translated here.
const char* const kCoreTexts[] = {
    QT_TRANSLATE_NOOP("velmar::CoreMessage", "COM connect error"),
    QT_TRANSLATE_NOOP("velmar::CoreMessage", "USB connect error"),
    QT_TRANSLATE_NOOP("velmar::CoreMessage", "WIFI connect error"),
    QT_TRANSLATE_NOOP("velmar::CoreMessage", "Input Channel Copy successful"),
    QT_TRANSLATE_NOOP("velmar::CoreMessage", "Output Channel Copy successful"),
};

// A program name: at most the entry's bytes, up to the first zero.
QString entryText(const char* bytes, size_t size) {
    size_t n = 0;
    while (n < size && bytes[n] != 0) ++n;
    return QString::fromLatin1(bytes, qsizetype(n));
}

} // namespace

CVelmarDlg::CVelmarDlg(AppState& app, LanguageManager& languages, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_languages(languages), m_programFile(QDir::currentPath()) {
    (void)kCoreTexts;
    setWindowTitle(QStringLiteral("TQ Speaker Processor"));

    // Every posted message of the core, the graph and the pages comes here.
    installCoreHooks();
    connect(&m_app.events, &CoreEventRelay::coreEvent, this, &CVelmarDlg::OnCoreEvent);

    buildMenus();
    move(0, 0);
    setFixedSize(kWidth, kHeight);

    // The image from its templates, every channel its own link group, the curve sets.
    ResetImage(m_app.core);
    ResetLinkGroups(m_app.core);
    BuildCurveSets(m_app.core);
    InstallCurveSetHooks(m_app.core);
    // Parameters replaced from elsewhere (the processor, a file, a copy or a link join) leave no gain put
    // aside by a bypass that could be restored over them.
    {
        CoreHooks& hooks = m_app.core.hooks;
        hooks.imageReplaced = [curves = hooks.imageReplaced, this] {
            curves();
            m_app.eqBypass.ForgetAll();
        };
        hooks.channelCurvesChanged = [curves = hooks.channelCurvesChanged, this](uint8_t kind, int channel) {
            curves(kind, channel);
            m_app.eqBypass.Forget(kind, channel);
        };
    }

    createControls();
    // The controls take their places first, so the graph lays its plot out for its real size.
    placeControls();

    // The graph: owner, plot and timer, the curves of input A and then output 1.
    m_app.graph = m_graph;
    m_graph->SetOwner(this);
    m_graph->InstallPendingEditHook();
    m_graph->InitPlot();
    m_graph->ShowInputCurves(0);
    m_graph->ShowOutputCurves(0);
    connect(m_graph, &ResponseGraph::pointChanged, this, &CVelmarDlg::OnGraphPointChanged,
            Qt::QueuedConnection);

    // Link buttons: off face normally, on face under the mouse and while pressed.
    setLinkBitmaps(LinkButton::Connect, kConnectOff, kConnectOff, kConnectOff);
    setLinkBitmaps(LinkButton::Serial, kSerialOff, kSerialOn, kSerialOn);
    setLinkBitmaps(LinkButton::Usb, kUsbOff, kUsbOn, kUsbOn);
    setLinkBitmaps(LinkButton::Tcp, kTcpOff, kTcpOn, kTcpOn);

    // Only the Home page is shown, on tab 0.
    hideAllPages();
    m_home->show();
    m_app.currentTab = 0;
    m_tab->SetCurSel(0);

    // The Output page once, which also gives the graph the curves of output 1.
    m_output->Refresh();

    ApplyDeviceConfig();

    m_schedulerTimer.setInterval(kSchedulerTimerMs);
    connect(&m_schedulerTimer, &QTimer::timeout, this, &CVelmarDlg::OnTimer);
    m_schedulerTimer.start();

    UpdateStatusLine();

    new KeyboardFilter(this);

    LinkController* links = m_app.links;
    connect(links, &LinkController::serialOpenFailed, this, &CVelmarDlg::onSerialOpenFailed);
    connect(links, &LinkController::tcpOpenFailed, this, &CVelmarDlg::onTcpOpenFailed);
    connect(links, &LinkController::usbDeviceDisconnect, this, &CVelmarDlg::onUsbDeviceDisconnect);
    connect(links, &LinkController::usbDeviceRemoved, this, &CVelmarDlg::onUsbDeviceRemoved);
}

CVelmarDlg::~CVelmarDlg() {
    m_schedulerTimer.stop();
    removeCoreHooks();
    m_app.graph = nullptr;
}

void CVelmarDlg::installCoreHooks() {
    CoreHooks& hooks = m_app.core.hooks;
    hooks.postMessage = [this](uint32_t message, uint32_t wParam, uint32_t lParam) {
        QMetaObject::invokeMethod(
            this,
            [this, message, wParam, lParam] {
                if (message == kMsgRefresh)
                    OnRefreshMessage(wParam, lParam);
                else if (message == kMsgSelectTab)
                    OnSelectTabMessage(lParam);
            },
            Qt::QueuedConnection);
    };
    // Boxes are shown after the core has returned: a box runs its own event loop, and the core must
    // never be entered again from inside one of its hooks.
    hooks.showMessage = [this](const char* text, const char* caption) {
        const QString t = QCoreApplication::translate("velmar::CoreMessage", text);
        const QString c = QString::fromUtf8(caption ? caption : "");
        QMetaObject::invokeMethod(
            this, [this, t, c] { m_app.showMessage(messageParent(), t, c); }, Qt::QueuedConnection);
    };
    m_app.events.attach(m_app.core);
}

void CVelmarDlg::removeCoreHooks() {
    CoreHooks& hooks = m_app.core.hooks;
    hooks.postMessage = nullptr;
    hooks.showMessage = nullptr;
    m_app.events.detach(m_app.core);
}

void CVelmarDlg::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->clear();
    bar->setFixedHeight(kMenuHeight);
    m_languageActions.clear();
    auto add = [this](QMenu* menu, Command command, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        connect(a, &QAction::triggered, this, slot);
        m_actions[size_t(command)] = a;
    };
    auto config = [this](int n) { return [this, n] { SetDeviceConfig(n); }; };

    QMenu* remote = bar->addMenu(tr("Remote"));
    add(remote, Command::Connect, tr("Connect"), &CVelmarDlg::OnConnect);

    QMenu* device = bar->addMenu(tr("Device"));
    add(device, Command::Config3, tr("2 In 4 Out"), config(3));
    add(device, Command::Config4, tr("2 In 6 Out"), config(4));
    add(device, Command::Config5, tr("3 In 6 Out"), config(5));
    add(device, Command::Config6, tr("4 In 6 Out"), config(6));
    add(device, Command::Config7, tr("4 In 8 Out"), config(7));

    QMenu* program = bar->addMenu(tr("Program"));
    add(program, Command::Load, tr("Load", "Program menu"), &CVelmarDlg::OnLoad);
    add(program, Command::Save, tr("Save", "Program menu"), &CVelmarDlg::OnSave);
    add(program, Command::Import, tr("Import"), &CVelmarDlg::OnImport);
    add(program, Command::Export, tr("Export"), &CVelmarDlg::OnExport);

    QMenu* system = bar->addMenu(tr("System"));
    add(system, Command::Configure, tr("Configure", "System menu"), &CVelmarDlg::OnConfigure);
    {
        // Checked from the core's setting, so a rebuild for another language keeps the choice.
        QAction* a = system->addAction(tr("Periodic verify"));
        a->setCheckable(true);
        a->setChecked(m_app.core.verify.settings.periodTicks != 0);
        connect(a, &QAction::toggled, this, &CVelmarDlg::SetPeriodicVerify);
        m_actions[size_t(Command::PeriodicVerify)] = a;
    }
    // Every other language, each under its own name.
    for (const LanguageManager::Language& language : m_languages.languages()) {
        if (language.flag == m_app.core.languageFlag) continue;
        QAction* a = system->addAction(language.nativeName);
        a->setData(language.flag);
        const uint8_t flag = language.flag;
        connect(a, &QAction::triggered, this, [this, flag] { SetLanguage(flag); });
        m_languageActions.append(a);
    }

    bar->addAction(tr("Help"));
}

QAction* CVelmarDlg::languageAction(uint8_t flag) const {
    for (QAction* a : m_languageActions)
        if (a->data().toInt() == flag) return a;
    return nullptr;
}

void CVelmarDlg::createControls() {
    m_central = new QWidget(this);
    setCentralWidget(m_central);

    m_tab = new EnTabCtrl(m_central);
    m_tab->setFont(palette::uiFont(13));
    // The tab strip's colour rules need a light base: the strip gets its own light palette.
    QPalette tabPalette = m_tab->palette();
    tabPalette.setColor(QPalette::Button, palette::kTabButtonFace);
    tabPalette.setColor(QPalette::WindowText, palette::kTabWindowText);
    m_tab->setPalette(tabPalette);
    m_tab->SetBackgroundColor(palette::kTabBackground);
    m_tab->SetDrawMode(2);
    EnTabCtrl::SetCustomLook(true, 0x1F);
    connect(m_tab, &BaseTabCtrl::selectionChanged, this, &CVelmarDlg::SelectTab);

    m_graph = new ResponseGraph(m_app.core, m_central);

    m_input = new CInputDlg(m_app, m_tab);
    m_output = new COutputDlg(m_app, m_tab);
    m_home = new CHomeDlg(m_app, m_tab);
    m_gain = new CGainDlg(m_app, m_tab);
    m_delay = new CDelayDlg(m_app, m_tab);
    m_geq = new CGEQDlg(m_app, m_tab);
    m_pages = {m_home, m_gain, m_delay, m_geq, m_input, m_output};

    m_statusBar = new QWidget(m_central);
    m_statusBar->setObjectName(QStringLiteral("statusLine"));
    m_statusBar->setAttribute(Qt::WA_StyledBackground);
    m_statusBar->setStyleSheet(QStringLiteral("#statusLine { background: %1; border: 1px solid %2; "
                                              "border-radius: 3px; }")
                                   .arg(palette::kPanel.name(), palette::kBorder.name()));
    auto* row = new QHBoxLayout(m_statusBar);
    row->setContentsMargins(10, 0, 4, 0);
    row->setSpacing(0);
    const int widths[4] = {200, 250, 120, 130};
    for (size_t i = 0; i < m_status.size(); ++i) {
        auto* label = new QLabel(m_statusBar);
        label->setFont(palette::uiFont(12));
        label->setFixedWidth(widths[i]);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, i == 0 ? palette::kText : palette::kTextDim);
        label->setPalette(p);
        row->addWidget(label);
        m_status[i] = label;
    }
    m_sync = new SyncIndicator(m_app, m_statusBar);
    m_sync->setMinimumWidth(150);
    connect(m_sync, &SyncIndicator::unconfirmedClicked, this, &CVelmarDlg::OnUnconfirmedList);
    row->addWidget(m_sync, 1);
    for (size_t i = 0; i < m_linkButtons.size(); ++i) {
        auto* b = new xSkinButton(m_statusBar);
        b->setFixedSize(66, 22);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QAbstractButton::clicked, this, &CVelmarDlg::ToggleConnection);
        row->addWidget(b);
        if (i > 0) row->addSpacing(4);
        m_linkButtons[i] = b;
    }
    // The connect button is kept hidden: the indicators toggle the connection themselves.
    m_linkButtons[0]->hide();
    m_linkButtons[1]->setToolTip(tr("RS232"));
    m_linkButtons[2]->setToolTip(tr("USB"));
    m_linkButtons[3]->setToolTip(tr("WIFI"));
}

void CVelmarDlg::placeControls() {
    const int width = kWidth - 2 * kMargin;
    const int centralHeight = kHeight - kMenuHeight;
    const int statusTop = centralHeight - kStatusHeight - kGap;
    const int graphHeight = ResponseGraph::kPreferredHeight;
    const int graphTop = statusTop - kGap - graphHeight;
    m_tallTab = QRect(kMargin, kGap, width, statusTop - 2 * kGap);
    m_shortTab = QRect(kMargin, kGap, width, graphTop - 2 * kGap);
    m_graph->setGeometry(kMargin, graphTop, width, graphHeight);
    m_statusBar->setGeometry(kMargin, statusTop, width, kStatusHeight);

    // The pages cover the tab control's display area inside its border.
    m_tab->setGeometry(m_tallTab);
    const int top = m_tab->displayRect().top();
    m_tallPage = QRect(2, top, width - 4, m_tallTab.height() - top - 2);
    m_shortPage = QRect(2, top, width - 4, m_shortTab.height() - top - 2);
    for (PageBase* p :
         {static_cast<PageBase*>(m_geq), static_cast<PageBase*>(m_input), static_cast<PageBase*>(m_output)})
        p->setGeometry(m_shortPage);
    for (PageBase* p :
         {static_cast<PageBase*>(m_home), static_cast<PageBase*>(m_gain), static_cast<PageBase*>(m_delay)})
        p->setGeometry(m_tallPage);
    m_tabTall = true;
}

void CVelmarDlg::setLinkBitmaps(LinkButton button, int normal, int pressed, int hover) {
    const int slot = buttonSlot(button);
    m_linkButtons[size_t(slot)]->SetSkin(normal, pressed, hover);
    m_linkBitmaps[size_t(slot)] = normal;
}

xSkinButton* CVelmarDlg::linkButton(LinkButton button) const {
    return m_linkButtons[size_t(buttonSlot(button))];
}

int CVelmarDlg::linkButtonBitmap(LinkButton button) const {
    return m_linkBitmaps[size_t(buttonSlot(button))];
}

PageBase* CVelmarDlg::page(DeviceConfig::Page page) const {
    return m_pages[size_t(page)];
}

PageBase* CVelmarDlg::visiblePage() const {
    for (PageBase* p : m_pages)
        if (p->isVisibleTo(m_tab)) return p;
    return nullptr;
}

QString CVelmarDlg::statusText(int field) const {
    return field >= 0 && field < int(m_status.size()) ? m_status[size_t(field)]->text() : QString();
}

int CVelmarDlg::sysTabCount() const {
    return DeviceConfig::sysTabCount(m_app.core.deviceConfig);
}

QWidget* CVelmarDlg::messageParent() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : this;
}

void CVelmarDlg::hideAllPages() {
    for (PageBase* p : m_pages) p->hide();
}

void CVelmarDlg::showTabPage(PageBase* page, bool withGraph) {
    // The tab control is short while the graph shows below it and tall when the page covers it.
    m_graph->setVisible(withGraph);
    m_tabTall = !withGraph;
    m_tab->setGeometry(withGraph ? m_shortTab : m_tallTab);
    for (PageBase* p : m_pages)
        if (p != page) p->hide();
    page->show();
    page->Refresh();
}

void CVelmarDlg::SelectTab(int index) {
    if (index == m_app.currentTab) return;
    m_app.currentTab = index;
    // Callers other than the tab control itself (the Home page's requests) leave its selection behind.
    if (m_tab->GetCurSel() != index) m_tab->SetCurSel(index);
    const int config = m_app.core.deviceConfig;
    if (index < sysTabCount()) {
        showSysTab(index, index - 3); // the graphic EQ tabs address inputs A..D
        return;
    }
    m_app.channelPageKind = DeviceConfig::channelTabKind(config, index);
    m_graph->SetChannelPageKind(m_app.channelPageKind);
    ShowChannelPage(DeviceConfig::channelTabChannel(config, index));
}

void CVelmarDlg::ShowChannelPage(int channel) {
    const int tab = m_app.currentTab;
    if (tab < sysTabCount()) {
        showSysTab(tab, channel);
        return;
    }
    if (m_app.channelPageKind == kKindInput) {
        m_app.currentChannel = uint8_t(channel);
        if (channel < 0 || channel >= kInputCount) return;
        showTabPage(m_input, true);
    } else if (m_app.channelPageKind == kKindOutput) {
        m_app.currentChannel = uint8_t(channel);
        if (channel < 0 || channel >= kOutputCount) return;
        m_app.core.selectedOutputChannel = uint8_t(channel);
        showTabPage(m_output, true);
    }
}

void CVelmarDlg::showSysTab(int tab, int channel) {
    switch (tab) {
    case 0:
        showTabPage(m_home, false);
        break;
    case 1:
        showTabPage(m_gain, false);
        break;
    case 2:
        showTabPage(m_delay, false);
        break;
    default:
        m_app.currentChannel = uint8_t(channel);
        showTabPage(m_geq, true);
        break;
    }
}

void CVelmarDlg::refreshCurrentTab() {
    const int tab = m_app.currentTab;
    const int config = m_app.core.deviceConfig;
    if (tab < sysTabCount()) {
        const DeviceConfig::TabTarget t = DeviceConfig::target(config, tab);
        page(t.page)->Refresh();
        return;
    }
    m_app.channelPageKind = DeviceConfig::channelTabKind(config, tab);
    m_graph->SetChannelPageKind(m_app.channelPageKind);
    ShowChannelPage(DeviceConfig::channelTabChannel(config, tab));
}

void CVelmarDlg::RefreshAfterRead() {
    UpdateStatusLine();
    if (m_app.core.deviceConfigPending == 1) {
        m_app.core.deviceConfigPending = 0;
        m_app.core.deviceConfig = uint8_t(
            DeviceConfig::fromModelDigits(m_app.core.system.inputDigit(), m_app.core.system.outputDigit()));
        ApplyDeviceConfig();
    }
    refreshCurrentTab();
}

void CVelmarDlg::OnRefreshMessage(uint32_t wParam, uint32_t lParam) {
    if (lParam == 2 || lParam == 3 || lParam == 4)
        OnGraphPointChanged(int(wParam), int(lParam), m_app.currentChannel);
    if (wParam == 0 && lParam == 255) RefreshAfterRead();
    if (wParam == 0xAA && lParam == 0xBB) UpdateLinkIndicators();
}

void CVelmarDlg::OnGraphPointChanged(int index, int kind, int channel) {
    // A page that reloaded or edited the set meanwhile took the change already.
    if (!m_graph->NoticeArrived(index, kind, channel)) return;
    if (index < 0) return;
    // Routed by the channel the edit was made on: a notice that arrives after the pages moved to
    // another channel still lands on the channel whose curve was dragged.
    switch (kind) {
    case 2:
        if (channel >= 0 && channel < kInputCount && index < kGeqBandCount)
            m_geq->TakeBandFromGraph(index, channel);
        break;
    case 3:
        if (channel >= 0 && channel < kInputCount) m_input->ApplyGraphChange(index, channel);
        break;
    case 4:
        if (channel >= 0 && channel < kOutputCount) m_output->ApplyGraphChange(index, channel);
        break;
    default:
        break;
    }
}

void CVelmarDlg::OnSelectTabMessage(uint32_t tab) {
    // Only tabs that exist in this configuration.
    if (tab >= uint32_t(m_tab->GetItemCount())) return;
    m_tab->SetCurSel(int(tab));
    SelectTab(int(tab));
}

void CVelmarDlg::UpdateStatusLine() {
    const CoreState& s = m_app.core;
    QString state = tr("UnConnect");
    if (s.linkConnected) {
        switch (s.activeLink) {
        case LinkType::Serial:
            state = tr("RS232 Connect");
            break;
        case LinkType::Usb:
            state = tr("USB Connect");
            break;
        case LinkType::Tcp:
            state = tr("WIFI Connect");
            break;
        }
    }
    m_status[0]->setText(tr("Connect State:") + state);
    // The current program's number comes from the processor: a number beyond the table names nothing.
    const uint8_t program = s.system.currentProgram();
    const QString name =
        program < kProgramNameCount ? entryText(s.programNames[program], kProgramNameSize) : QString();
    m_status[1]->setText(tr("Program Name:") + name);
    m_status[2]->setText(tr("Device Addr:") + QString::number(s.system.deviceAddress()));
    m_status[3]->setText(tr("Version:") + entryText(reinterpret_cast<const char*>(s.system.bytes) + 72, 7));
    m_sync->refresh();
}

void CVelmarDlg::UpdateLinkIndicators() {
    const bool connected = m_app.core.linkConnected != 0;
    const LinkType link = m_app.core.activeLink;
    auto face = [this](LinkButton b, int bitmap) { setLinkBitmaps(b, bitmap, bitmap, bitmap); };
    face(LinkButton::Serial, connected && link == LinkType::Serial ? kSerialOn : kSerialOff);
    face(LinkButton::Usb, connected && link == LinkType::Usb ? kUsbOn : kUsbOff);
    face(LinkButton::Tcp, connected && link == LinkType::Tcp ? kTcpOn : kTcpOff);
    face(LinkButton::Connect, connected ? kConnectOn : kConnectOff);
    // The connection state in the status line follows the indicators, so it never shows a link that
    // is gone.
    UpdateStatusLine();
}

void CVelmarDlg::ToggleConnection() {
    if (m_app.core.linkConnected) {
        m_app.links->closeLink();
        UpdateLinkIndicators();
        return;
    }
    OnConnect();
}

void CVelmarDlg::SetDeviceConfig(int config) {
    if (config < DeviceConfig::kFirst || config > DeviceConfig::kLast) return;
    m_app.core.deviceConfig = uint8_t(config);
    ApplyDeviceConfig();
}

void CVelmarDlg::ApplyDeviceConfig() {
    BuildTabs();
    m_graph->hide();
    m_tab->setGeometry(m_tallTab);
    m_tabTall = true;
    hideAllPages();
    m_app.currentTab = 0;
    m_tab->SetCurSel(0);
    showTabPage(m_home, false);
    UpdateLinkIndicators();
}

void CVelmarDlg::BuildTabs() {
    m_tab->DeleteAllItems();
    const QStringList labels = DeviceConfig::tabLabels(m_app.core.deviceConfig);
    for (int i = 0; i < labels.size(); ++i) m_tab->InsertItem(i, labels.at(i));
    m_tab->SetCurSel(m_app.currentTab);
}

bool CVelmarDlg::SetLanguage(uint8_t flag) {
    if (!m_languages.apply(flag)) return false;
    m_app.core.languageFlag = flag;
    buildMenus();
    RefreshLanguage();
    return true;
}

void CVelmarDlg::RefreshLanguage() {
    m_sync->retranslate();
    UpdateStatusLine();
    BuildTabs();
    update();
    ShowChannelPage(m_app.currentChannel);
}

void CVelmarDlg::OnTimer() {
    SchedulerTick(m_app.core);
    // The link can go without a word from the core: the indicator never shows a status of a lost link.
    m_sync->refresh();
}

void CVelmarDlg::OnCoreEvent(CoreEvent event, int value) {
    m_sync->onCoreEvent(event, value);
    switch (event) {
    case CoreEvent::ImportFailed:
        // The core has asked for the processor's image, which replaces the imported one on the screen.
        m_app.showMessage(messageParent(), tr("Import failed, the processor's settings are shown"));
        break;
    case CoreEvent::NameUnconfirmed:
        m_app.showMessage(messageParent(), tr("Program name not confirmed"));
        break;
    default:
        break;
    }
}

void CVelmarDlg::SetPeriodicVerify(bool on) {
    m_app.core.verify.settings.periodTicks = on ? kVerifyPeriodTicks : 0;
    if (QAction* a = action(Command::PeriodicVerify); a && a->isChecked() != on) a->setChecked(on);
}

void CVelmarDlg::OnUnconfirmedList() {
    CUnconfirmedDlg dialog(m_app, this);
    if (m_app.ui.runModal) m_app.ui.runModal(dialog);
}

void CVelmarDlg::OnConnect() {
    CConnectDlg dialog(m_app, this);
    connect(&dialog, &CConnectDlg::linkConfirmed, this, &CVelmarDlg::UpdateLinkIndicators);
    if (m_app.ui.runModal) m_app.ui.runModal(dialog);
}

void CVelmarDlg::OnLoad() {
    CMemoryLoad dialog(m_app, this);
    if (m_app.ui.runModal) m_app.ui.runModal(dialog);
}

void CVelmarDlg::OnSave() {
    CMemorySave dialog(m_app, this);
    if (m_app.ui.runModal) m_app.ui.runModal(dialog);
}

void CVelmarDlg::OnConfigure() {
    CSystemDlg dialog(m_app, this);
    if (m_app.ui.runModal) m_app.ui.runModal(dialog);
}

void CVelmarDlg::OnExport() {
    m_programFile.ensureFolder();
    if (!m_app.ui.fileDialog) return;
    const QString chosen =
        m_app.ui.fileDialog(this, FileDialogRequest{true, m_programFile.exportStartName(),
                                                    QString::fromLatin1(ProgramFile::kFilter)});
    if (chosen.isEmpty()) return;
    const QString path = ProgramFile::withExtension(chosen);
    if (m_programFile.exportImage(m_app.core, path) != ProgramFile::Result::Ok) {
        m_app.showMessage(this, tr("MusicFile Write Error"));
        return;
    }
    m_app.showMessage(this, tr("Exporting data completed"));
}

void CVelmarDlg::OnImport() {
    m_programFile.ensureFolder();
    if (!m_app.ui.fileDialog) return;
    const QString chosen =
        m_app.ui.fileDialog(this, FileDialogRequest{false, m_programFile.importStartName(),
                                                    QString::fromLatin1(ProgramFile::kFilter)});
    if (chosen.isEmpty()) return;
    if (m_programFile.importImage(m_app.core, chosen) != ProgramFile::Result::Ok) {
        m_app.showMessage(this, tr("MusicFile read Error"));
        return;
    }
    RefreshAfterRead();
    m_app.showMessage(this, tr("Importing data completed"));
}

void CVelmarDlg::onSerialOpenFailed(const QString& port, int error) {
    // The box's text stays as it is; a port the user may not open also says why and what to do. Serial
    // ports belong to a group (dialout on Debian); pseudo-terminals and root-only nodes name none.
    QString detail;
    if (error == EACCES || error == EPERM) {
        const QString path = SerialPort::DevicePath(port);
        QString group = QFileInfo(path).group();
        if (group.isEmpty() || group == QLatin1String("root") || group == QLatin1String("tty"))
            group = QStringLiteral("dialout");
        detail = tr("Permission denied: only members of the group \"%2\" may open %1.\nJoin it with\n"
                    "    sudo usermod -aG %2 $USER\nthen log out and in again.")
                     .arg(path, group);
    }
    m_app.showMessage(messageParent(), tr("Unable to open COM-port"), QString(), QMessageBox::Critical,
                      detail);
}

void CVelmarDlg::onTcpOpenFailed() {
    m_app.showMessage(messageParent(), tr("Can't open the wifi"), QString());
}

void CVelmarDlg::onUsbDeviceDisconnect() {
    UpdateLinkIndicators();
    m_app.showMessage(messageParent(), tr("Device disconnect"));
}

void CVelmarDlg::onUsbDeviceRemoved() {
    UpdateLinkIndicators();
    m_app.showMessage(messageParent(), tr("Can't find the device, please check it"));
}

} // namespace velmar
