// The main window: start-up state, tabs and their pages for every configuration, the 0x464 and 0x465
// routes, automatic configuration, language switching, link indicators and the USB notices.
#include "support/FakeHid.h"
#include "support/TestApp.h"

#include "core/ReplyParser.h"
#include "core/Scheduler.h"
#include "core/ValueScales.h"
#include "dsp/CurveSets.h"
#include "transport/LinkController.h"
#include "ui/app/DeviceConfig.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/DelayDlg.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/GEQDlg.h"
#include "ui/pages/GainDlg.h"
#include "ui/pages/HomeDlg.h"
#include "ui/pages/InputDlg.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/OutputDlg.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using namespace velmar;
using velmar::test::TestApp;
using Page = DeviceConfig::Page;
using Button = CVelmarDlg::LinkButton;

namespace {

// What each tab of a configuration shows, written out from the configuration tables: H Home, G Gain,
// D Delay, Qn graphic EQ of input n, In input n, On output n.
QStringList tabPlan(int config) {
    QStringList plan = {"H", "G", "D", "Q0", "Q1"};
    if (config >= 5)
        plan << "Q2"
             << "Q3";
    const int inputs = config <= 4 ? 2 : config == 5 ? 3 : 4;
    const int outputs = config == 3 ? 4 : config == 7 ? 8 : 6;
    for (int i = 0; i < inputs; ++i) plan << QStringLiteral("I%1").arg(i);
    for (int i = 0; i < outputs; ++i) plan << QStringLiteral("O%1").arg(i);
    return plan;
}

PageBase* pageFor(CVelmarDlg& w, QChar code) {
    switch (code.toLatin1()) {
    case 'H':
        return w.homePage();
    case 'G':
        return w.gainPage();
    case 'D':
        return w.delayPage();
    case 'Q':
        return w.geqPage();
    case 'I':
        return w.inputPage();
    default:
        return w.outputPage();
    }
}

void setModel(CoreState& s, char inputs, char outputs) {
    s.system.bytes[67] = uint8_t(inputs);
    s.system.bytes[69] = uint8_t(outputs);
    s.deviceConfigPending = 1;
}

// The user points at a band of the shown curves and steps it with the arrow key.
void stepBandOnTheGraph(CVelmarDlg& w, const CKTVEQ& curves, int band) {
    const Point c = curves.Filter(band).markerRect.Centre();
    const QPointF at(c.x, c.y);
    QMouseEvent hover(QEvent::MouseMove, at, w.graph()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w.graph(), &hover);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QCoreApplication::sendEvent(w.graph(), &up);
}

QStringList menuTitles(CVelmarDlg& w) {
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    return titles;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CVelmarApp::ApplyLook(*qApp); }

    void startsEnglishUnconnectedOnHomeWithConfigurationSeven() {
        TestApp t(nullptr, /*stopTimers=*/false);
        CVelmarDlg& w = t.window();
        QCOMPARE(t.core().languageFlag, 0);
        QCOMPARE(t.core().deviceConfig, 7);
        QCOMPARE(w.size(), QSize(1100, 781));
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:UnConnect"));
        QCOMPARE(w.statusText(1), QStringLiteral("Program Name: SYSTEM DEFAULT "));
        QCOMPARE(w.statusText(2), QStringLiteral("Device Addr:0"));
        QCOMPARE(w.statusText(3), QStringLiteral("Version:"));
        QCOMPARE(t.state().currentTab, 0);
        QCOMPARE(w.tabCtrl()->GetCurSel(), 0);
        QCOMPARE(w.visiblePage(), w.homePage());
        QVERIFY(!w.graph()->isVisibleTo(&w));
        QCOMPARE(w.tabCtrl()->GetItemCount(), 19);
        QCOMPARE(w.tabCtrl()->GetItemText(0), QStringLiteral(" Home "));
        QCOMPARE(w.tabCtrl()->GetItemText(18), QStringLiteral(" OUT 8"));
        QVERIFY(w.schedulerTimer().isActive());
        QCOMPARE(w.schedulerTimer().interval(), 100);
        QVERIFY(w.graph()->TimerRunning());
        QCOMPARE(menuTitles(w), (QStringList{"Remote", "Device", "Program", "System", "Help"}));
        QCOMPARE(w.action(CVelmarDlg::Command::Connect)->text(), QStringLiteral("Connect"));
        // The Output page was refreshed once at start; the Home page by the configuration.
        QVERIFY(w.outputPage()->refreshCount() >= 1);
        QVERIFY(w.homePage()->refreshCount() >= 1);
        QCOMPARE(w.linkButtonBitmap(Button::Serial), 444);
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 446);
        QCOMPARE(w.linkButtonBitmap(Button::Tcp), 448);
        QCOMPARE(w.linkButtonBitmap(Button::Connect), 316);
        QCOMPARE(t.core().linkConnected, 0);
        QVERIFY(t.messages.isEmpty());
    }

    void schedulerTimerSendsThePendingCommand() {
        TestApp t;
        QList<QByteArray> frames;
        t.core().hooks.writeFrame = [&frames](const uint8_t* data, size_t size) {
            frames << QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
        };
        t.core().linkConnected = 1;
        t.core().activeLink = LinkType::Tcp;
        QueueHandshake(t.core());
        QVERIFY(frames.isEmpty());
        t.window().OnTimer();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(uint8_t(frames.first().at(5)), uint8_t(0xA2));
    }

    void everyTabShowsItsPageAndChannel_data() {
        QTest::addColumn<int>("config");
        for (int c = 3; c <= 7; ++c) QTest::addRow("configuration %d", c) << c;
    }
    void everyTabShowsItsPageAndChannel() {
        QFETCH(int, config);
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SetDeviceConfig(config);
        const QStringList plan = tabPlan(config);
        QCOMPARE(w.tabCtrl()->GetItemCount(), plan.size());
        // Visit every tab, then come back to Home, through the tab control's own selection signal.
        QList<int> order;
        for (int i = 1; i < plan.size(); ++i) order << i;
        order << 0;
        for (int tab : order) {
            const QString code = plan.at(tab);
            QTest::mouseClick(w.tabCtrl(), Qt::LeftButton, {}, w.tabCtrl()->GetItemRect(tab).center());
            QCOMPARE(t.state().currentTab, tab);
            QCOMPARE(w.visiblePage(), pageFor(w, code.at(0)));
            const bool channelPage = code.size() > 1;
            QCOMPARE(w.graph()->isVisibleTo(&w), channelPage);
            if (channelPage) QCOMPARE(int(t.state().currentChannel), code.mid(1).toInt());
            if (code.startsWith('I')) QCOMPARE(t.state().channelPageKind, 1);
            if (code.startsWith('O')) QCOMPARE(t.state().channelPageKind, 4);
        }
    }

    void channelTabsOfTheSmallConfigurations() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SetDeviceConfig(3);
        w.SelectTab(6);
        QCOMPARE(w.visiblePage(), w.inputPage());
        QCOMPARE(t.state().currentChannel, 1); // input B
        w.SelectTab(7);
        QCOMPARE(w.visiblePage(), w.outputPage());
        QCOMPARE(t.state().currentChannel, 0); // output 1
        w.SetDeviceConfig(5);
        w.SelectTab(9);
        QCOMPARE(w.visiblePage(), w.inputPage());
        QCOMPARE(t.state().currentChannel, 2); // input C
        w.SelectTab(10);
        QCOMPARE(w.visiblePage(), w.outputPage());
        QCOMPARE(t.state().currentChannel, 0);
        w.SelectTab(6);
        QCOMPARE(w.visiblePage(), w.geqPage());
        QCOMPARE(t.state().currentChannel, 3); // the graphic EQ tabs still run A to D
    }

    void selectingATabInCodeAlsoSelectsItInTheStrip() {
        TestApp t;
        t.window().SelectTab(14);
        QCOMPARE(t.window().tabCtrl()->GetCurSel(), 14);
    }

    void selectingTheSelectedTabDoesNothing() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(12);
        const int refreshes = w.outputPage()->refreshCount();
        w.SelectTab(12);
        QCOMPARE(w.outputPage()->refreshCount(), refreshes);
    }

    void tabMessageSelectsTheTab() {
        TestApp t;
        CVelmarDlg& w = t.window();
        t.state().post(kMsgSelectTab, 0, 11);
        QCOMPARE(t.state().currentTab, 0); // posted: handled after the caller returns
        TestApp::deliverPosted();
        QCOMPARE(t.state().currentTab, 11);
        QCOMPARE(w.tabCtrl()->GetCurSel(), 11);
        QCOMPARE(w.visiblePage(), w.outputPage());

        // The current tab again only re-selects it; a tab the configuration does not have is ignored.
        const int refreshes = w.outputPage()->refreshCount();
        w.OnSelectTabMessage(11);
        QCOMPARE(w.outputPage()->refreshCount(), refreshes);
        w.SetDeviceConfig(3);
        w.OnSelectTabMessage(11);
        QCOMPARE(t.state().currentTab, 0);
        QCOMPARE(w.tabCtrl()->GetCurSel(), 0);
    }

    void graphEditsReachTheirPage_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<uint>("index");
        QTest::addColumn<uint>("kind");
        QTest::addColumn<QString>("reaches"); // "G", "I", "O" or "" (ignored)
        QTest::addColumn<bool>("clearsBypass");
        QTest::newRow("geq band on GEQ B") << 4 << 30u << 2u << "G" << false;
        QTest::newRow("geq band 31 does not exist") << 4 << 31u << 2u << "" << false;
        QTest::newRow("input point on IN C") << 9 << 3u << 3u << "I" << true;
        QTest::newRow("input point while OUT 2 is shown") << 12 << 3u << 3u << "I" << true;
        QTest::newRow("input point while OUT 5 is shown") << 15 << 3u << 3u << "" << false;
        QTest::newRow("output band on OUT 8") << 18 << 9u << 4u << "O" << true;
        QTest::newRow("output crossover on OUT 8") << 18 << 10u << 4u << "O" << false;
        QTest::newRow("unknown kind") << 12 << 1u << 5u << "" << false;
    }
    void graphEditsReachTheirPage() {
        QFETCH(int, tab);
        QFETCH(uint, index);
        QFETCH(uint, kind);
        QFETCH(QString, reaches);
        QFETCH(bool, clearsBypass);
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(tab);
        const int channel = t.state().currentChannel;
        for (auto& b : t.state().eqBypass.inputEqBypassed) b = 1;
        for (auto& b : t.state().eqBypass.outputEqBypassed) b = 1;
        t.state().post(kMsgRefresh, index, kind);
        TestApp::deliverPosted();

        const GraphNotice geq = w.geqPage()->lastGraphNotice();
        const GraphNotice in = w.inputPage()->lastGraphNotice();
        const GraphNotice out = w.outputPage()->lastGraphNotice();
        QCOMPARE(geq.count, reaches == "G" ? 1 : 0);
        QCOMPARE(in.count, reaches == "I" ? 1 : 0);
        QCOMPARE(out.count, reaches == "O" ? 1 : 0);
        const GraphNotice reached = reaches == "G" ? geq : reaches == "I" ? in : out;
        if (!reaches.isEmpty()) {
            QCOMPARE(reached.index, int(index));
            QCOMPARE(reached.channel, channel);
        }
        const uint8_t* bypass =
            kind == 3 ? t.state().eqBypass.inputEqBypassed : t.state().eqBypass.outputEqBypassed;
        if (kind == 3 || kind == 4) QCOMPARE(bypass[channel] == 0, clearsBypass);
    }

    void aGraphEditArrivingLateLandsOnTheChannelItWasMadeOn() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(7); // IN A
        t.state().eqBypass.inputEqBypassed[0] = 1;
        t.state().eqBypass.inputEqBypassed[1] = 1;
        // The graph's notice for input A is still queued when the user moves to IN B.
        QMetaObject::invokeMethod(
            w.graph(), [&w] { emit w.graph()->pointChanged(4, 3, 0); }, Qt::DirectConnection);
        w.SelectTab(8);
        TestApp::deliverPosted();
        QCOMPARE(w.inputPage()->lastGraphNotice().channel, 0);
        QCOMPARE(t.state().eqBypass.inputEqBypassed[0], 0);
        QCOMPARE(t.state().eqBypass.inputEqBypassed[1], 1);
    }

    void aStepOnTheGraphReachesTheInputPageWithin200ms() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(9); // IN C
        t.state().eqBypass.inputEqBypassed[2] = 1;
        stepBandOnTheGraph(w, inputEqCurves[2], 5);
        w.graph()->TimerTick();
        w.graph()->TimerTick();
        TestApp::deliverPosted();
        const GraphNotice n = w.inputPage()->lastGraphNotice();
        QCOMPARE(n.count, 1);
        QCOMPARE(n.index, 5);
        QCOMPARE(n.channel, 2);
        QCOMPARE(t.state().eqBypass.inputEqBypassed[2], 0);
    }

    void aGraphStepPendingWhenTheTabChangesLandsOnItsOwnChannel() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(11); // OUT 1
        stepBandOnTheGraph(w, outputEqCurves[0], 3);
        w.graph()->TimerTick();
        w.SelectTab(12); // OUT 2: the graph gives up output 1's step as it changes sets
        TestApp::deliverPosted();
        const GraphNotice n = w.outputPage()->lastGraphNotice();
        QCOMPARE(n.count, 1);
        QCOMPARE(n.index, 3);
        QCOMPARE(n.channel, 0);
        QCOMPARE(t.state().currentChannel, 1);
    }

    void aGraphStepNotYetTakenSurvivesARefreshOfItsChannel_data() {
        QTest::addColumn<bool>("noticeSent");
        QTest::addColumn<bool>("byBypass");
        QTest::newRow("pending, page refreshed") << false << false;
        QTest::newRow("notice queued, page refreshed") << true << false;
        QTest::newRow("pending, EQ BYPASS") << false << true;
        QTest::newRow("notice queued, EQ BYPASS") << true << true;
    }
    void aGraphStepNotYetTakenSurvivesARefreshOfItsChannel() {
        QFETCH(bool, noticeSent);
        QFETCH(bool, byBypass);
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(7); // IN A
        TestApp::deliverPosted();
        const int before = t.core().image.inputs[0].peq[4].gain;
        stepBandOnTheGraph(w, inputEqCurves[0], 4);
        const int dragged = inputEqCurves[0].Records().bands[4].gain;
        QVERIFY(dragged != before);
        if (noticeSent) {
            w.graph()->TimerTick();
            w.graph()->TimerTick(); // the notice is on its way, not yet delivered
            QVERIFY(!w.graph()->HasPendingChange());
        }
        if (byBypass)
            w.inputPage()->EqBypassButton()->click();
        else
            w.inputPage()->Refresh(); // as after a reply: the curves reloaded from the image
        TestApp::deliverPosted();
        w.graph()->TimerTick();
        w.graph()->TimerTick();
        TestApp::deliverPosted();

        const int16_t* saved = t.state().eqBypass.SavedGains(kKindInput, 0);
        if (byBypass) {
            // The step is among the gains put aside, and the bypass just pressed stays in force.
            QCOMPARE(int(t.core().image.inputs[0].peq[4].gain), kBandGainRawZero);
            QCOMPARE(int(saved[4]), dragged);
            QCOMPARE(t.state().eqBypass.inputEqBypassed[0], 1);
            w.inputPage()->EqBypassButton()->click();
        }
        QCOMPARE(int(t.core().image.inputs[0].peq[4].gain), dragged);
        QCOMPARE(int(inputEqCurves[0].Records().bands[4].gain), dragged);
        QCOMPARE(w.inputPage()->BandTable()->row(4).gain->text(),
                 QString::fromStdString(BandGainText(dragged)));
    }

    // A bypass in force when the image is replaced (a load, the read at connection, an import) or when
    // a channel's parameters are replaced (a copy, a link join, values taken from the processor) never
    // brings gains of the earlier image back.
    void aBypassNeverRestoresGainsOfAnImageThatWasReplaced() {
        TestApp t;
        CVelmarDlg& w = t.window();
        CoreState& s = t.core();
        s.image.inputs[0].peq[2].gain = kBandGainRawZero + 60;
        s.image.outputs[1].peq[3].gain = kBandGainRawZero - 40;
        w.inputPage()->Refresh();
        w.inputPage()->EqBypassButton()->click(); // input A: every band to 0 dB, its gains put aside
        QVERIFY(t.state().eqBypass.ToggleBandBypass(s, kKindOutput, 1, 3, true));
        QCOMPARE(int(s.image.inputs[0].peq[2].gain), kBandGainRawZero);

        DeviceImage program = s.image;
        program.inputs[0].peq[2].gain = kBandGainRawZero; // the new program holds 0 dB there
        program.inputs[0].peq[5].gain = kBandGainRawZero + 10;
        s.image = program;
        s.hooks.imageReplaced(); // as the reply to a load does
        QCOMPARE(t.state().eqBypass.inputEqBypassed[0], 0);
        w.inputPage()->Refresh();
        QVERIFY(!w.inputPage()->EqBypassButton()->isChecked());
        w.inputPage()->EqBypassButton()->click(); // a new bypass of the new program ...
        w.inputPage()->EqBypassButton()->click(); // ... released gives the new program back
        QCOMPARE(int(s.image.inputs[0].peq[2].gain), kBandGainRawZero);
        QCOMPARE(int(s.image.inputs[0].peq[5].gain), kBandGainRawZero + 10);
        QVERIFY(!t.state().eqBypass.ToggleBandBypass(s, kKindOutput, 1, 3, false));
        QCOMPARE(int(s.image.outputs[1].peq[3].gain), kBandGainRawZero);

        // One channel replaced: only its state goes.
        QVERIFY(t.state().eqBypass.ToggleBandBypass(s, kKindOutput, 2, 0, true) ||
                s.image.outputs[2].peq[0].gain == kBandGainRawZero);
        w.inputPage()->EqBypassButton()->click();
        s.hooks.channelCurvesChanged(kKindOutput, 2);
        QCOMPARE(t.state().eqBypass.inputEqBypassed[0], 1);
        QCOMPARE(t.state().eqBypass.bandSaved[kInputCount + 2][0], 0);
    }

    void readBackRefreshesStatusLineAndPage() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(13); // OUT 3
        CoreState& s = t.core();
        s.system.bytes[10] = 5;
        s.system.bytes[15] = 2;
        std::memcpy(s.system.bytes + 72, "V2.07AB", 7);
        std::strcpy(s.programNames[2], "Stage left");
        const int refreshes = w.outputPage()->refreshCount();
        t.state().post(kMsgRefresh, 0, 255);
        TestApp::deliverPosted();
        QCOMPARE(w.statusText(1), QStringLiteral("Program Name:Stage left"));
        QCOMPARE(w.statusText(2), QStringLiteral("Device Addr:5"));
        QCOMPARE(w.statusText(3), QStringLiteral("Version:V2.07AB"));
        // No configuration pending: the tab and channel stay and the page is drawn again.
        QCOMPARE(t.state().currentTab, 13);
        QCOMPARE(t.state().currentChannel, 2);
        QCOMPARE(w.outputPage()->refreshCount(), refreshes + 1);
    }

    void programNumberBeyondTheNameTableNamesNothing() {
        TestApp t;
        t.core().system.bytes[15] = 200;
        t.window().RefreshAfterRead();
        QCOMPARE(t.window().statusText(1), QStringLiteral("Program Name:"));
    }

    void modelDigitsChooseTheConfiguration_data() {
        QTest::addColumn<char>("inputs");
        QTest::addColumn<char>("outputs");
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("tabs");
        QTest::newRow("2 in 4 out") << '2' << '4' << 3 << 11;
        QTest::newRow("2 in 6 out") << '2' << '6' << 4 << 13;
        QTest::newRow("3 in 6 out") << '3' << '6' << 5 << 16;
        QTest::newRow("4 in 6 out") << '4' << '6' << 6 << 17;
        QTest::newRow("4 in 8 out") << '4' << '8' << 7 << 19;
        QTest::newRow("1 in 2 out is unknown") << '1' << '2' << 7 << 19;
        QTest::newRow("zero bytes") << '\0' << '\0' << 7 << 19;
    }
    void modelDigitsChooseTheConfiguration() {
        QFETCH(char, inputs);
        QFETCH(char, outputs);
        QFETCH(int, config);
        QFETCH(int, tabs);
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SetDeviceConfig(config == 7 ? 3 : 7);
        w.SelectTab(9);
        setModel(t.core(), inputs, outputs);
        t.state().post(kMsgRefresh, 0, 255);
        TestApp::deliverPosted();
        QCOMPARE(int(t.core().deviceConfig), config);
        QCOMPARE(t.core().deviceConfigPending, 0);
        QCOMPARE(w.tabCtrl()->GetItemCount(), tabs);
        // Every connection returns the display to the Home tab.
        QCOMPARE(t.state().currentTab, 0);
        QCOMPARE(w.visiblePage(), w.homePage());
    }

    void deviceMenuRebuildsTabsEvenForTheActiveConfiguration() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.action(CVelmarDlg::Command::Config3)->trigger();
        QCOMPARE(t.core().deviceConfig, 3);
        QCOMPARE(w.tabCtrl()->GetItemText(0), QStringLiteral("      Home      "));
        w.action(CVelmarDlg::Command::Config5)->trigger();
        QCOMPARE(t.core().deviceConfig, 5);
        QCOMPARE(w.tabCtrl()->GetItemCount(), 16);
        w.SelectTab(12);
        w.action(CVelmarDlg::Command::Config5)->trigger();
        QCOMPARE(t.state().currentTab, 0);
        QCOMPARE(w.tabCtrl()->GetCurSel(), 0);
        QCOMPARE(w.visiblePage(), w.homePage());
        QVERIFY(!w.graph()->isVisibleTo(&w));
    }

    void languageSwitchKeepsTabAndChannel() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.SelectTab(13); // OUT 3
        QAction* chinese = w.languageAction(1);
        QVERIFY(chinese);
        QCOMPARE(chinese->text(), QStringLiteral("中文"));
        const int refreshes = w.outputPage()->refreshCount();
        chinese->trigger();
        QCOMPARE(t.core().languageFlag, 1);
        QCOMPARE(t.state().currentTab, 13);
        QCOMPARE(w.tabCtrl()->GetCurSel(), 13);
        QCOMPARE(t.state().currentChannel, 2);
        QCOMPARE(w.visiblePage(), w.outputPage());
        QCOMPARE(w.outputPage()->refreshCount(), refreshes + 1);
        QCOMPARE(w.tabCtrl()->GetItemText(13), QStringLiteral("输出3"));
        QCOMPARE(w.tabCtrl()->GetItemText(0), QStringLiteral("主页 "));
        QCOMPARE(w.statusText(0), QStringLiteral("联机状态:未联机"));
        QCOMPARE(w.statusText(2), QStringLiteral("设备地址:0"));
        QCOMPARE(w.statusText(3), QStringLiteral("软件版本:"));
        QVERIFY(w.statusText(1).startsWith(QStringLiteral("程序名称:")));
        QCOMPARE(menuTitles(w), (QStringList{" Remote 连接 ", " Device 设备 ", " Program 程序 ",
                                             "System 系统 ", "Help 帮助 "}));
        QCOMPARE(w.action(CVelmarDlg::Command::Connect)->text(), QStringLiteral("Connect 连 接"));
        QCOMPARE(w.action(CVelmarDlg::Command::Config3)->text(), QStringLiteral("2 进 4 出"));
        QCOMPARE(w.action(CVelmarDlg::Command::Config7)->text(), QStringLiteral("4 进 8 出"));
        QCOMPARE(w.action(CVelmarDlg::Command::Load)->text(), QStringLiteral("调 用"));
        QCOMPARE(w.action(CVelmarDlg::Command::Save)->text(), QStringLiteral("保 存"));
        QCOMPARE(w.action(CVelmarDlg::Command::Import)->text(), QStringLiteral("导 入"));
        QCOMPARE(w.action(CVelmarDlg::Command::Export)->text(), QStringLiteral("导 出"));
        QCOMPARE(w.action(CVelmarDlg::Command::Configure)->text(), QStringLiteral(" Configure 配置 "));
        QVERIFY(!w.languageAction(1));

        QAction* english = w.languageAction(0);
        QVERIFY(english);
        QCOMPARE(english->text(), QStringLiteral("English"));
        english->trigger();
        QCOMPARE(t.core().languageFlag, 0);
        QCOMPARE(w.tabCtrl()->GetItemText(13), QStringLiteral(" OUT 3"));
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:UnConnect"));
        QCOMPARE(t.state().currentTab, 13);
    }

    void linkIndicatorsFollowTheActiveLink_data() {
        QTest::addColumn<int>("link");
        QTest::addColumn<int>("serial");
        QTest::addColumn<int>("usb");
        QTest::addColumn<int>("tcp");
        QTest::addColumn<QString>("state");
        QTest::newRow("serial") << 0 << 445 << 446 << 448 << "Connect State:RS232 Connect";
        QTest::newRow("usb") << 1 << 444 << 447 << 448 << "Connect State:USB Connect";
        QTest::newRow("tcp") << 2 << 444 << 446 << 449 << "Connect State:WIFI Connect";
    }
    void linkIndicatorsFollowTheActiveLink() {
        QFETCH(int, link);
        QFETCH(int, serial);
        QFETCH(int, usb);
        QFETCH(int, tcp);
        QFETCH(QString, state);
        TestApp t;
        CVelmarDlg& w = t.window();
        t.core().linkConnected = 1;
        t.core().activeLink = LinkType(link);
        w.UpdateLinkIndicators();
        QCOMPARE(w.linkButtonBitmap(Button::Serial), serial);
        QCOMPARE(w.linkButtonBitmap(Button::Usb), usb);
        QCOMPARE(w.linkButtonBitmap(Button::Tcp), tcp);
        QCOMPARE(w.linkButtonBitmap(Button::Connect), 315);
        QCOMPARE(w.statusText(0), state);
    }

    void silenceTurnsTheIndicatorsOffWithOneMessage() {
        TestApp t;
        CVelmarDlg& w = t.window();
        t.core().linkConnected = 1;
        t.core().activeLink = LinkType::Usb;
        w.UpdateLinkIndicators();
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 447);
        for (int i = 0; i < 80; ++i) w.graph()->TimerTick();
        TestApp::deliverPosted();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 446);
        QCOMPARE(w.linkButtonBitmap(Button::Connect), 316);
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:UnConnect"));
        QCOMPARE(t.messageTexts(), QStringList{QStringLiteral("USB connect error")});
    }

    void toggleConnectionClosesALinkOrOpensTheDialog() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.linkButton(Button::Serial)->click();
        QCOMPARE(t.modalsRun, QStringList{QStringLiteral("velmar::CConnectDlg")});

        t.core().linkConnected = 1;
        t.core().activeLink = LinkType::Serial;
        w.UpdateLinkIndicators();
        w.linkButton(Button::Usb)->click();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(w.linkButtonBitmap(Button::Serial), 444);
        QCOMPARE(t.modalsRun.size(), 1);
    }

    void menusRunTheirDialogs() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.action(CVelmarDlg::Command::Connect)->trigger();
        w.action(CVelmarDlg::Command::Load)->trigger();
        w.action(CVelmarDlg::Command::Save)->trigger();
        w.action(CVelmarDlg::Command::Configure)->trigger();
        QCOMPARE(t.modalsRun, (QStringList{"velmar::CConnectDlg", "velmar::CMemoryLoad",
                                           "velmar::CMemorySave", "velmar::CSystemDlg"}));
    }

    void usbWithoutDeviceShowsDeviceDisconnectOnce() {
        TestApp t(std::make_unique<test::FakeHid>());
        CVelmarDlg& w = t.window();
        QVERIFY(!t.app().links().openUsb());
        QCOMPARE(t.core().linkConnected, 1);
        w.OnTimer(); // the handshake meets the closed link
        w.OnTimer();
        TestApp::deliverPosted();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(t.messageTexts(), QStringList{QStringLiteral("Device disconnect")});
        QCOMPARE(t.messages.first().caption, QStringLiteral("Warning"));
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 446);
        QCOMPARE(w.linkButtonBitmap(Button::Connect), 316);
    }

    void unpluggingTheDeviceClearsTheConnection() {
        auto hid = std::make_unique<test::FakeHid>();
        test::FakeHid* device = hid.get();
        device->plug();
        TestApp t(std::move(hid));
        CVelmarDlg& w = t.window();
        QVERIFY(t.app().links().openUsb());
        w.UpdateLinkIndicators();
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 447);
        device->unplug();
        TestApp::deliverPosted();
        QCOMPARE(t.core().linkConnected, 0);
        QCOMPARE(t.messageTexts(), QStringList{QStringLiteral("Can't find the device, please check it")});
        QCOMPARE(t.messages.first().caption, QStringLiteral("Warning"));
        QCOMPARE(w.linkButtonBitmap(Button::Usb), 446);
        QCOMPARE(w.statusText(0), QStringLiteral("Connect State:UnConnect"));
    }

    void usbNoticesAreChineseInChinese() {
        auto hid = std::make_unique<test::FakeHid>();
        test::FakeHid* device = hid.get();
        device->plug();
        TestApp t(std::move(hid));
        t.window().SetLanguage(1);
        QVERIFY(t.app().links().openUsb());
        device->unplug();
        TestApp::deliverPosted();
        QCOMPARE(t.messageTexts(), QStringList{QStringLiteral("没找到设备,请检查是否连接好")});
    }

    void enterAndEscapeNeverCloseAnything() {
        TestApp t;
        CVelmarDlg& w = t.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* entry = new QLineEdit(w.homePage());
        auto* other = new QLineEdit(w.homePage());
        entry->show();
        other->show();
        QApplication::setActiveWindow(&w);
        entry->setFocus();
        QTRY_VERIFY(entry->hasFocus());
        QSignalSpy returns(entry, &QLineEdit::returnPressed);
        QTest::keyClick(entry, Qt::Key_Return);
        QVERIFY(!entry->hasFocus()); // the entry gave its value up on losing the focus
        QCOMPARE(returns.count(), 0);
        QVERIFY(w.isVisible());
        entry->setFocus();
        QTest::keyClick(entry, Qt::Key_Escape);
        QVERIFY(!entry->hasFocus());
        QVERIFY(w.isVisible());
        entry->setFocus();
        QTest::keyClick(entry, Qt::Key_Tab);
        QVERIFY(entry->hasFocus());
        QVERIFY(!other->hasFocus());
        // Other keys go on as usual.
        QTest::keyClicks(entry, "12.5");
        QCOMPARE(entry->text(), QStringLiteral("12.5"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
