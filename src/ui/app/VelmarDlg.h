// CVelmarDlg: the main window - tab control with the six pages, response graph, status line, link
// indicators, menus, the scheduler's 100 ms timer and the routing of the core's messages.
#pragma once

#include "ui/app/AppState.h"
#include "ui/app/DeviceConfig.h"
#include "ui/app/ProgramFile.h"

#include <QMainWindow>
#include <QRect>
#include <QTimer>

#include <array>
#include <cstdint>

class QAction;
class QLabel;

namespace velmar {

class CDelayDlg;
class CGainDlg;
class CGEQDlg;
class CHomeDlg;
class CInputDlg;
class COutputDlg;
class EnTabCtrl;
class LanguageManager;
class PageBase;
class SyncIndicator;
class xSkinButton;

// Lives from start to exit; closing it ends the application. Creating it performs the window's
// initialisation in order: message target, menus, 1100 x 781 at the screen origin, working paths, image
// and curves, graph, link buttons, pages, tab look, page rectangles, Home tab, the Output page's first
// refresh, the device configuration, timer 1 and the status line.
//
// The core's postMessage and showMessage hooks point here while the window exists (both queued, so
// nothing runs inside the core); the destructor removes them. UI thread only. app.links must be set.
class CVelmarDlg : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 1100;
    static constexpr int kHeight = 781;
    static constexpr int kSchedulerTimerMs = 100;

    // The link buttons by their control numbers.
    enum class LinkButton { Connect = 1031, Serial = 1033, Usb = 1034, Tcp = 1035 };
    // Menu commands (both menus carry the same set).
    enum class Command {
        Connect,
        Config3,
        Config4,
        Config5,
        Config6,
        Config7,
        Load,
        Save,
        Import,
        Export,
        Configure,
        PeriodicVerify
    };

    CVelmarDlg(AppState& app, LanguageManager& languages, QWidget* parent = nullptr);
    ~CVelmarDlg() override;

    // The operations of the window, also called by the dialogs.
    void SelectTab(int index);
    void ShowChannelPage(int channel);
    void RefreshAfterRead();
    void UpdateStatusLine();
    void UpdateLinkIndicators();
    void RefreshLanguage();
    void ToggleConnection();
    // The Device menu: set configuration n (3..7) and rebuild the tabs on the Home tab.
    void SetDeviceConfig(int config);
    void ApplyDeviceConfig();
    // Replaces the tab labels for deviceConfig in the current language, keeping the selection index.
    void BuildTabs();
    // Switches the user interface to language `flag` (0 English, 1 Chinese, ...); false if unknown.
    bool SetLanguage(uint8_t flag);

    // Menu entry points.
    void OnConnect();
    void OnImport();
    void OnExport();
    void OnLoad();
    void OnSave();
    void OnConfigure();
    // System > Periodic verify: the verify read while idle on (every 30 s) or off.
    void SetPeriodicVerify(bool on);
    // The list of fields the processor has not confirmed (a click on the sync indicator).
    void OnUnconfirmedList();

    // Message routes, as the core and the pages post them (queued) and as tests call them.
    // 0x464: (0, 255) refresh after the image changed; (index, 2/3/4) a graph edit; (0xAA, 0xBB) link lost.
    void OnRefreshMessage(uint32_t wParam, uint32_t lParam);
    // 0x465: select tab `tab` (from the Home page).
    void OnSelectTabMessage(uint32_t tab);
    // The graph's edit of filter `index` of the set of kind 2/3/4 and channel `channel`.
    void OnGraphPointChanged(int index, int kind, int channel);
    // The core's result events, delivered by app.events after the core returned.
    void OnCoreEvent(CoreEvent event, int value);

    // Geometry of the page areas inside the tab control (for the pages' own layout).
    QRect shortPageRect() const { return m_shortPage; }
    QRect tallPageRect() const { return m_tallPage; }

    // Parts, for tests and the screenshot tour.
    EnTabCtrl* tabCtrl() const { return m_tab; }
    ResponseGraph* graph() const { return m_graph; }
    CHomeDlg* homePage() const { return m_home; }
    CGainDlg* gainPage() const { return m_gain; }
    CDelayDlg* delayPage() const { return m_delay; }
    CGEQDlg* geqPage() const { return m_geq; }
    CInputDlg* inputPage() const { return m_input; }
    COutputDlg* outputPage() const { return m_output; }
    PageBase* page(DeviceConfig::Page page) const;
    // The page shown now (exactly one page is visible at a time).
    PageBase* visiblePage() const;
    QString statusText(int field) const; // 0..3 = controls 1724..1727
    SyncIndicator* syncIndicator() const { return m_sync; }
    xSkinButton* linkButton(LinkButton button) const;
    int linkButtonBitmap(LinkButton button) const; // the bitmap number of its normal face
    QAction* action(Command command) const { return m_actions[size_t(command)]; }
    // The System menu's item that switches to language `flag` (null for the language in use).
    QAction* languageAction(uint8_t flag) const;
    QTimer& schedulerTimer() { return m_schedulerTimer; }
    ProgramFile& programFile() { return m_programFile; }

public slots:
    // Timer 1: one scheduler step.
    void OnTimer();

private:
    void buildMenus();
    void createControls();
    void placeControls();
    void setLinkBitmaps(LinkButton button, int normal, int pressed, int hover);
    void showTabPage(PageBase* page, bool withGraph);
    // Shows system tab `tab` (Home, Gain, Delay or a graphic EQ); a graphic EQ tab shows input `channel`.
    void showSysTab(int tab, int channel);
    void hideAllPages();
    void refreshCurrentTab();
    void installCoreHooks();
    void removeCoreHooks();
    void onSerialOpenFailed(const QString& port, int error);
    void onTcpOpenFailed();
    void onUsbDeviceDisconnect();
    void onUsbDeviceRemoved();
    QWidget* messageParent();
    int sysTabCount() const;

    AppState& m_app;
    LanguageManager& m_languages;
    ProgramFile m_programFile;
    QTimer m_schedulerTimer;

    QWidget* m_central = nullptr;
    EnTabCtrl* m_tab = nullptr;
    ResponseGraph* m_graph = nullptr;
    CInputDlg* m_input = nullptr;
    COutputDlg* m_output = nullptr;
    CHomeDlg* m_home = nullptr;
    CGainDlg* m_gain = nullptr;
    CDelayDlg* m_delay = nullptr;
    CGEQDlg* m_geq = nullptr;
    std::array<PageBase*, 6> m_pages{};
    QWidget* m_statusBar = nullptr;
    std::array<QLabel*, 4> m_status{};
    SyncIndicator* m_sync = nullptr;
    std::array<xSkinButton*, 4> m_linkButtons{}; // connect, serial, USB, TCP
    std::array<int, 4> m_linkBitmaps{};
    std::array<QAction*, 12> m_actions{};
    QList<QAction*> m_languageActions;

    QRect m_shortTab, m_tallTab;   // the tab control with and without the graph below it
    QRect m_shortPage, m_tallPage; // the page area inside it
    bool m_tabTall = true;
};

} // namespace velmar
