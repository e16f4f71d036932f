// The response graph's change notification and its timer: the 200 ms pace, no lost last step when the
// scheduler sends a write meanwhile, no notification for the wrong set, channel or filter, and the link
// supervision driven by the graph's tick.
#include "graph/GraphTestSupport.h"

#include "core/Scheduler.h"

#include <QSignalSpy>
#include <QtTest>

#include <vector>

using namespace velmar;
using namespace velmar::test;

namespace {

struct Notice {
    int index, kind, channel;
    bool operator==(const Notice&) const = default;
};

// Records every notification with the tick it came in.
struct NoticeLog {
    std::vector<Notice> notices;
    std::vector<int> ticks;
    int tick = 0;
    explicit NoticeLog(CFStatic& g) {
        QObject::connect(&g, &CFStatic::pointChanged, &g, [this](int index, int kind, int channel) {
            notices.push_back({index, kind, channel});
            ticks.push_back(tick);
        });
    }
    void Ticks(GraphRig& rig, int n) {
        for (int i = 0; i < n; ++i) {
            ++tick;
            rig.graph->TimerTick();
        }
    }
};

char* ToString(const Notice& n) {
    return QTest::toString(QStringLiteral("(%1, %2, %3)").arg(n.index).arg(n.kind).arg(n.channel));
}

} // namespace

namespace QTest {
template <> char* toString(const Notice& n) {
    return ToString(n);
}
} // namespace QTest

class CFStaticNotifyTest : public QObject {
    Q_OBJECT

private slots:
    void aKeyStepIsNotifiedOnceOnTheSecondTick() {
        GraphRig rig;
        rig.graph->ShowInputCurves(2);
        rig.Hover(Centre(inputEqCurves[2].Filter(5).markerRect));
        NoticeLog log(*rig.graph);
        rig.Key(Qt::Key_Up);
        log.Ticks(rig, 1);
        QVERIFY(log.notices.empty());
        log.Ticks(rig, 1);
        QCOMPARE(log.notices.size(), size_t(1));
        QCOMPARE(log.notices[0], (Notice{5, CFStatic::kModeInputEq, 2}));
        log.Ticks(rig, 5);
        QCOMPARE(log.notices.size(), size_t(1));
        QVERIFY(!rig.graph->HasPendingChange());
    }

    void aContinuousDragIsNotifiedEveryTwoTicks() {
        GraphRig rig;
        rig.graph->ShowGeqCurves(3);
        CFilter& band = inputGeqCurves[3].Filter(20);
        QPoint p = Centre(band.markerRect);
        rig.Hover(p);
        rig.Press(p);
        NoticeLog log(*rig.graph);
        for (int t = 0; t < 12; ++t) {
            for (int step = 0; step < 3; ++step) rig.DragTo(p += QPoint(0, (t % 4 < 2) ? -2 : 2));
            log.Ticks(rig, 1);
        }
        QCOMPARE(log.ticks, (std::vector<int>{2, 4, 6, 8, 10, 12}));
        for (const Notice& n : log.notices) QCOMPARE(n, (Notice{20, CFStatic::kModeGeq, 3}));
    }

    void changesWaitUntilAnOwnerIsSet() {
        GraphRig rig(false);
        rig.graph->ShowOutputCurves(5);
        rig.Hover(Centre(outputEqCurves[5].Filter(2).markerRect));
        NoticeLog log(*rig.graph);
        rig.Key(Qt::Key_Down);
        log.Ticks(rig, 5);
        QVERIFY(log.notices.empty());
        QVERIFY(rig.graph->HasPendingChange());
        rig.graph->SetOwner(&rig.owner);
        log.Ticks(rig, 2);
        QCOMPARE(log.notices, (std::vector<Notice>{{2, CFStatic::kModeOutput, 5}}));
    }

    // The scheduler clears the graph's flag on every parameter-write step. The step the user made last is
    // only in the curve set; it must still reach the page, or the image and the processor never get it.
    void theLastStepIsNotifiedAfterTheSchedulerSentAWrite() {
        GraphRig rig;
        CoreState& s = *rig.core;
        int frames = 0, clears = 0;
        s.linkConnected = 1;
        s.activeLink = LinkType::Tcp;
        s.hooks.writeFrame = [&frames](const uint8_t*, size_t) { ++frames; };
        rig.graph->InstallPendingEditHook();
        auto clear = s.hooks.clearGraphPendingEdit;
        s.hooks.clearGraphPendingEdit = [&clears, clear] {
            ++clears;
            clear();
        };

        rig.graph->ShowOutputCurves(0);
        CFilter& band = outputEqCurves[0].Filter(3);
        QPoint p = Centre(band.markerRect);
        rig.Grab(p, p + QPoint(0, -15));
        NoticeLog log(*rig.graph);
        log.Ticks(rig, 2);
        QCOMPARE(log.notices.size(), size_t(1));
        // The page answers with a write of the band; then the user makes the last step and lets go while
        // the write goes out.
        QueueParamWrite(s, kKindOutput, 0, 3 + 4);
        rig.DragTo(p + QPoint(0, -30));
        rig.Release(p + QPoint(0, -30));
        SchedulerTick(s);
        QCOMPARE(frames, 1);
        QCOMPARE(clears, 1);
        log.Ticks(rig, 2);
        QCOMPARE(log.notices.size(), size_t(2));
        QCOMPARE(log.notices[1], (Notice{3, CFStatic::kModeOutput, 0}));
        QCOMPARE(int(band.Band()->gain), 240); // +4 dB, 30 pixels up
    }

    void theHookIsRemovedWithTheGraph() {
        CoreState s;
        InitCoreState(s);
        BuildCurveSets(s);
        {
            CFStatic g(s);
            g.InstallPendingEditHook();
            QVERIFY(bool(s.hooks.clearGraphPendingEdit));
        }
        QVERIFY(!s.hooks.clearGraphPendingEdit);
    }

    void aPendingChangeIsNotifiedForItsSetBeforeAnotherIsShown_data() {
        QTest::addColumn<int>("nextMode");
        QTest::addColumn<int>("nextChannel");
        QTest::newRow("another output") << CFStatic::kModeOutput << 1;
        QTest::newRow("the same output again") << CFStatic::kModeOutput << 0;
        QTest::newRow("an input") << CFStatic::kModeInputEq << 0;
        QTest::newRow("a graphic equaliser") << CFStatic::kModeGeq << 0;
    }
    void aPendingChangeIsNotifiedForItsSetBeforeAnotherIsShown() {
        QFETCH(int, nextMode);
        QFETCH(int, nextChannel);
        GraphRig rig;
        CFStatic& g = *rig.graph;
        g.ShowOutputCurves(0);
        QPoint p = Centre(outputEqCurves[0].Filter(6).markerRect);
        rig.Grab(p, p + QPoint(0, 20));
        NoticeLog log(g);
        // What the graph shows at the moment it notifies.
        CKTVEQ* shownAtNotice = nullptr;
        connect(&g, &CFStatic::pointChanged, &g, [&] { shownAtNotice = g.CurrentSet(); });
        log.Ticks(rig, 1);
        if (nextMode == CFStatic::kModeOutput)
            g.ShowOutputCurves(nextChannel);
        else if (nextMode == CFStatic::kModeInputEq)
            g.ShowInputCurves(nextChannel);
        else
            g.ShowGeqCurves(nextChannel);
        QCOMPARE(log.notices, (std::vector<Notice>{{6, CFStatic::kModeOutput, 0}}));
        QCOMPARE(shownAtNotice, &outputEqCurves[0]);
        log.Ticks(rig, 4);
        QCOMPARE(log.notices.size(), size_t(1));
    }

    void aPendingChangeIsNotifiedForItsFilterBeforeAttentionMoves() {
        GraphRig rig;
        rig.graph->ShowInputCurves(1);
        rig.Hover(Centre(inputEqCurves[1].Filter(5).markerRect));
        NoticeLog log(*rig.graph);
        rig.Key(Qt::Key_Up);
        log.Ticks(rig, 1);
        rig.Hover(Centre(inputEqCurves[1].Filter(2).markerRect));
        QCOMPARE(log.notices, (std::vector<Notice>{{5, CFStatic::kModeInputEq, 1}}));
        QCOMPARE(log.ticks, (std::vector<int>{1}));
        rig.Key(Qt::Key_Down);
        log.Ticks(rig, 2);
        QCOMPARE(log.notices.size(), size_t(2));
        QCOMPARE(log.notices[1], (Notice{2, CFStatic::kModeInputEq, 1}));
    }

    void aChangeTakenEarlyIsHandedOverOnceAndItsNoticeDropped() {
        GraphRig rig;
        rig.graph->ShowInputCurves(2);
        rig.Hover(Centre(inputEqCurves[2].Filter(5).markerRect));
        NoticeLog log(*rig.graph);
        const CFStatic::Change change{5, CFStatic::kModeInputEq, 2};

        // Pending: taken without a notice, and only for its own set and channel.
        rig.Key(Qt::Key_Up);
        QVERIFY(rig.graph->TakeChanges(CFStatic::kModeInputEq, 1).empty());
        QVERIFY(rig.graph->TakeChanges(CFStatic::kModeOutput, 2).empty());
        QCOMPARE(rig.graph->TakeChanges(CFStatic::kModeInputEq, 2), std::vector<CFStatic::Change>{change});
        QVERIFY(!rig.graph->HasPendingChange());
        log.Ticks(rig, 4);
        QVERIFY(log.notices.empty());

        // Notified, notice still queued: taken now, and the notice that follows is to be ignored.
        rig.Key(Qt::Key_Up);
        log.Ticks(rig, 2);
        QCOMPARE(log.notices.size(), size_t(1));
        QCOMPARE(rig.graph->TakeChanges(CFStatic::kModeInputEq, 2), std::vector<CFStatic::Change>{change});
        QVERIFY(rig.graph->TakeChanges(CFStatic::kModeInputEq, 2).empty());
        QVERIFY(!rig.graph->NoticeArrived(5, CFStatic::kModeInputEq, 2));

        // Not taken early: the notice is the one to act on, and only once in flight.
        rig.Key(Qt::Key_Up);
        log.Ticks(rig, 2);
        QVERIFY(rig.graph->NoticeArrived(5, CFStatic::kModeInputEq, 2));
        QVERIFY(rig.graph->TakeChanges(CFStatic::kModeInputEq, 2).empty());
        // A notice the graph never sent (a test, a replayed route) is acted on as well.
        QVERIFY(rig.graph->NoticeArrived(7, CFStatic::kModeOutput, 1));
    }

    void hoveringReportsNothing() {
        GraphRig rig;
        rig.graph->ShowOutputCurves(0);
        NoticeLog log(*rig.graph);
        for (int i = 0; i < kBandCount; ++i) rig.Hover(Centre(outputEqCurves[0].Filter(i).markerRect));
        rig.Hover({400, 50});
        log.Ticks(rig, 4);
        QVERIFY(log.notices.empty());
    }

    void linkSupervisionRunsOnTheGraphsTick() {
        GraphRig rig;
        CoreState& s = *rig.core;
        std::vector<std::array<uint32_t, 3>> posted;
        s.hooks.postMessage = [&posted](uint32_t m, uint32_t w, uint32_t l) { posted.push_back({m, w, l}); };
        s.linkConnected = 1;
        s.activeLink = LinkType::Usb;
        rig.Ticks(60);
        QCOMPARE(s.linkConnected, uint8_t(1));
        rig.Ticks(1);
        QCOMPARE(s.linkConnected, uint8_t(0));
        QCOMPARE(posted.size(), size_t(1));
        QCOMPARE(posted[0], (std::array<uint32_t, 3>{kMsgRefresh, 0xAA, 0xBB}));
    }

    void theTimerRunsWithoutAnOwnerOrASet() {
        GraphRig rig(false);
        CoreState& s = *rig.core;
        s.linkConnected = 1;
        s.activeLink = LinkType::Usb;
        rig.Ticks(61);
        QCOMPARE(s.linkConnected, uint8_t(0));
    }
};

QTEST_MAIN(CFStaticNotifyTest)
#include "CFStaticNotifyTest.moc"
