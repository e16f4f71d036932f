// The pages with the response graph and the processor simulator: a drag on the graph reaches the page
// within two graph ticks (200 ms), the page sends it, and velmar-sim ends up holding the value the page
// shows; an entry changes the curve at once.
#include "pages/PageTestSupport.h"

#include "sim/SimDevice.h"
#include "sim/SimSession.h"
#include "ui/graph/CFStatic.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/GEQDlg.h"
#include "ui/pages/InputDlg.h"
#include "ui/pages/OutputDlg.h"

#include <QLabel>

#include <algorithm>

using namespace velmar;
using namespace velmar::test;

namespace {

// The application's state connected over "TCP" to an in-process processor: every frame goes through a
// simulator session, and its replies come back through the reply parser after the tick that sent it.
struct SimRig {
    std::unique_ptr<AppState> app = std::make_unique<AppState>();
    SimDevice device;
    SimFaultInjector faults;
    SimSession session{device, faults, nullptr, "page-test"};
    std::vector<std::vector<uint8_t>> replies;
    QWidget host;
    QObject owner;
    CFStatic* graph = nullptr;

    SimRig() {
        CoreState& s = app->core;
        InitCoreState(s);
        BuildCurveSets(s);
        InstallCurveSetHooks(s);
        s.hooks.writeFrame = [this](const uint8_t* data, size_t size) {
            const SimOutput out = session.receive(data, size);
            for (const SimTransmission& t : out.transmissions) replies.push_back(t.bytes);
        };
        host.resize(1100, 700);
        // The graph below the page, as the main window places it; its time is driven by the test.
        graph = new CFStatic(s, &host);
        graph->setGeometry(6, 357, 1088, 330);
        graph->SetOwner(&owner);
        graph->InstallPendingEditHook();
        graph->InitPlot();
        if (auto* timer = graph->findChild<QTimer*>(QStringLiteral("graphTimer"))) timer->stop();
        host.show();

        // Connect as the connection dialog does, and read the processor's image back.
        s.activeLink = LinkType::Tcp;
        s.deviceAddress = device.address();
        s.linkConnected = 1;
        QueueHandshake(s);
        for (int i = 0; i < 50 && s.linkConfirmed != 2; ++i) Tick();
        QCOMPARE(int(s.linkConfirmed), 2);
    }
    ~SimRig() { app->core.hooks = CoreHooks{}; }

    void Tick() {
        SchedulerTick(app->core);
        std::vector<std::vector<uint8_t>> now;
        now.swap(replies);
        for (const std::vector<uint8_t>& r : now)
            for (size_t at = 0; at < r.size(); at += 1280)
                FeedBytes(app->core, r.data() + at, int16_t(std::min<size_t>(1280, r.size() - at)));
    }
    // Ticks until the scheduler is back at the heartbeat with nothing dirty.
    void Settle() {
        for (int i = 0; i < 60; ++i) {
            Tick();
            if (app->core.scheduler.state == SchedState::Idle && !AnyDirty(app->core)) return;
        }
        QFAIL("the scheduler did not settle");
    }

    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), graph->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(graph, &e);
    }
    // Hover, press and move: a drag with the button still held.
    void Grab(QPoint from, QPoint to) {
        Mouse(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    }
    void Release(QPoint at) { Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
};

QPoint Centre(const Rect& r) {
    const Point c = r.Centre();
    return {c.x, c.y};
}

int XOf(double hz) {
    return GraphXFromFreq(hz, 1088 - 55) + kPlotLeftMargin;
}

int YOf(double db) {
    return GraphYFromDb(db, 330 - 30) + kPlotTopMargin;
}

} // namespace

class PageGraphSimTest : public QObject {
    Q_OBJECT

private slots:
    void aBandDraggedOnTheGraphReachesThePageAndTheProcessor() {
        SimRig rig;
        auto* page = new CInputDlg(*rig.app, &rig.host);
        page->setGeometry(2, 2, 1084, 351);
        page->show();
        int notices = 0;
        QObject::connect(rig.graph, &CFStatic::pointChanged, page, [&](int index, int kind, int channel) {
            ++notices;
            if (kind != CFStatic::kModeInputEq) return;
            page->GraphPointChanged(index, channel); // the main window's route of 0x464 (index, 3)
            page->ClearEqBypass(channel);
        });
        rig.app->currentChannel = 0;
        page->Refresh();
        rig.graph->ShowInputCurves(0);
        Click(page->EqBypassButton()); // a drag on the graph ends a bypass
        rig.Settle();
        QVERIFY(page->EqBypassButton()->isChecked());

        const CFilter& band = inputEqCurves[0].Filter(4); // 500 Hz, 0 dB
        const QPoint to(XOf(1000), YOf(6));
        rig.Grab(Centre(band.markerRect), to);
        // The curve follows the mouse at once; the page and the image wait for the notification.
        QVERIFY(inputEqCurves[0].Records().bands[4].freq != 500);
        QCOMPARE(int(rig.app->core.image.inputs[0].peq[4].freq), 500);
        rig.graph->TimerTick();
        QCOMPARE(notices, 0);
        rig.graph->TimerTick(); // 200 ms
        QCOMPARE(notices, 1);

        const PeqBand& shown = rig.app->core.image.inputs[0].peq[4];
        const EqBandTable::Row& row = page->BandTable()->row(4);
        QVERIFY(std::abs(shown.freq - 1000) < 30);
        QVERIFY(shown.gain > 250 && shown.gain < 280);
        QCOMPARE(row.freq->text(), QString::number(shown.freq));
        QCOMPARE(row.gain->text(), QString::fromStdString(BandGainText(shown.gain)));
        QVERIFY(!page->EqBypassButton()->isChecked());

        rig.Settle();
        const PeqBand held = rig.device.image().inputs[0].peq[4];
        QCOMPARE(QString::number(held.freq), row.freq->text());
        QCOMPARE(QString::fromStdString(BandGainText(held.gain)), row.gain->text());
        QCOMPARE(held.q, shown.q);
        rig.Release(to);
    }

    void aCrossoverPointDraggedOnTheGraphReachesTheProcessor() {
        SimRig rig;
        auto* page = new COutputDlg(*rig.app, &rig.host);
        page->setGeometry(2, 2, 1084, 351);
        page->show();
        QObject::connect(rig.graph, &CFStatic::pointChanged, page, [&](int index, int kind, int channel) {
            if (kind == CFStatic::kModeOutput) page->GraphPointChanged(index, channel);
        });
        rig.app->currentChannel = 3;
        rig.app->channelPageKind = 4;
        rig.graph->SetChannelPageKind(4);
        page->Refresh();
        rig.graph->ShowOutputCurves(3);

        const QPoint to(XOf(150), YOf(-10));
        rig.Grab(Centre(outputEqCurves[3].HighPass().markerRect), to);
        rig.graph->TimerTick();
        rig.graph->TimerTick();
        const int hpf = rig.app->core.image.outputs[3].hpfFreq;
        QVERIFY(std::abs(hpf - 150) < 10);
        QCOMPARE(page->CrossoverEntry(0)->text(), QString::number(hpf));
        rig.Settle();
        QCOMPARE(QString::number(rig.device.image().outputs[3].hpfFreq), page->CrossoverEntry(0)->text());
        rig.Release(to);
    }

    void aGraphicEqualiserBandDraggedOnTheGraphReachesTheProcessor() {
        SimRig rig;
        auto* page = new CGEQDlg(*rig.app, &rig.host);
        page->setGeometry(2, 2, 1084, 351);
        page->show();
        QObject::connect(rig.graph, &CFStatic::pointChanged, page, [&](int index, int kind, int channel) {
            if (kind == CFStatic::kModeGeq) page->TakeBandFromGraph(index, channel);
        });
        rig.app->currentChannel = 2;
        page->Refresh();
        rig.graph->ShowGeqCurves(2);

        const CFilter& band = inputGeqCurves[2].Filter(20); // 2 kHz
        const QPoint from = Centre(band.markerRect);
        const QPoint to(from.x() + 40, YOf(-9)); // sideways does nothing: a graphic band's frequency is fixed
        rig.Grab(from, to);
        rig.graph->TimerTick();
        rig.graph->TimerTick();
        const int word = rig.app->core.image.inputs[2].geq[20];
        QVERIFY(word < 120 && word > 95);
        QCOMPARE(page->ValueLabel(20)->text(), QString::fromStdString(BandGainText(word)));
        QCOMPARE(page->Fader(20)->GetRangeMax() - page->Fader(20)->GetPos(), word);
        rig.Settle();
        QCOMPARE(QString::fromStdString(BandGainText(rig.device.image().inputs[2].geq[20])),
                 page->ValueLabel(20)->text());
        rig.Release(to);
    }

    void anEntryChangesTheCurveAtOnce() {
        SimRig rig;
        rig.host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.host));
        auto* page = new COutputDlg(*rig.app, &rig.host);
        page->setGeometry(2, 2, 1084, 351);
        page->show();
        rig.app->currentChannel = 0;
        page->Refresh();
        rig.graph->ShowOutputCurves(0);
        CKTVEQ& set = outputEqCurves[0];
        set.ComputeSum();
        const int before = set.SumPoints()[136].y;           // 1 kHz
        NumericEntry* gain = page->BandTable()->row(5).gain; // the 1 kHz band
        gain->setFocus(Qt::MouseFocusReason);
        gain->selectAll();
        QTest::keyClicks(gain, QStringLiteral("12"));
        QTest::keyClick(gain, Qt::Key_Return);
        // No tick has run: the curve the graph draws already has the band.
        set.ComputeSum();
        QVERIFY(set.SumPoints()[136].y < before - 50);
        QVERIFY(std::abs(set.Filter(5).Response()[136] - 12.0) < 0.3);
        rig.Settle();
        QCOMPARE(int(rig.device.image().outputs[0].peq[5].gain), 320);
    }
};

QTEST_MAIN(PageGraphSimTest)
#include "PageGraphSimTest.moc"
