// Editing on the response graph: hover and cursor, point, bandwidth and crossover drags with their
// edges and limits, keys and the wheel. The graph is 1063 x 330: a plot of 1008 x 300 pixels, one decade
// 336 pixels, 7.5 pixels per dB.
#include "graph/GraphTestSupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

using namespace velmar;
using namespace velmar::test;

namespace {

// Control x of a frequency on the 1008-pixel plot.
int XOf(double hz) {
    return GraphXFromFreq(hz, 1008) + kPlotLeftMargin;
}

bool AnyMarkContains(CKTVEQ& set, QPoint p) {
    for (int i = 0; i < set.Count(); ++i)
        if (set.Filter(i).markerRect.Contains({p.x(), p.y()})) return true;
    return false;
}

} // namespace

class CFStaticEditTest : public QObject {
    Q_OBJECT

private slots:
    void initPlotPlacesThePlotAndTheGridAndStartsTheTimer() {
        CoreState s;
        InitCoreState(s);
        BuildCurveSets(s);
        CFStatic g(s);
        g.resize(CFStatic::kPreferredWidth, CFStatic::kPreferredHeight);
        QVERIFY(!g.TimerRunning());
        g.InitPlot();
        QVERIFY(g.TimerRunning());
        QCOMPARE(g.TimerInterval(), 100);
        QCOMPARE(g.PlotRect(), (Rect{35, 10, 1043, 310}));
        QCOMPARE(g.GridX()[0], 35);   // 20 Hz, the border
        QCOMPARE(g.GridX()[8], 269);  // 100 Hz
        QCOMPARE(g.GridX()[9], 371);  // 200 Hz
        QCOMPARE(g.GridX()[17], 605); // 1 kHz
        QCOMPARE(g.GridX()[26], 941); // 10 kHz
        for (CKTVEQ* set : {&inputEqCurves[3], &inputGeqCurves[0], &outputEqCurves[7]}) {
            QCOMPARE(set->PlotWidth(), 1008);
            QCOMPARE(set->PlotHeight(), 300);
        }
        QCOMPARE(g.Mode(), CFStatic::kModeNone);
    }

    void aResizePlacesThePlotAndTheSetsAgain() {
        GraphRig rig;
        rig.graph->resize(700, 250);
        QResizeEvent e(QSize(700, 250), QSize(CFStatic::kPreferredWidth, CFStatic::kPreferredHeight));
        QCoreApplication::sendEvent(rig.graph.get(), &e);
        QCOMPARE(rig.graph->PlotRect(), (Rect{35, 10, 680, 230}));
        QCOMPARE(outputEqCurves[0].PlotWidth(), 645);
        QCOMPARE(inputGeqCurves[2].PlotHeight(), 220);
    }

    void showingASetForgetsTheFilterUnderAttention() {
        GraphRig rig;
        CFStatic& g = *rig.graph;
        g.ShowInputCurves(2);
        rig.Hover(Centre(inputEqCurves[2].Filter(5).markerRect));
        QCOMPARE(g.HotFilter(), &inputEqCurves[2].Filter(5));
        g.ShowOutputCurves(3);
        QCOMPARE(g.Mode(), CFStatic::kModeOutput);
        QCOMPARE(g.Channel(), 3);
        QCOMPARE(g.CurrentSet(), &outputEqCurves[3]);
        QCOMPARE(g.HotFilter(), nullptr);
        QCOMPARE(g.ActiveIndex(), -1);
        g.ShowGeqCurves(1);
        QCOMPARE(g.Mode(), CFStatic::kModeGeq);
        QCOMPARE(g.CurrentSet(), &inputGeqCurves[1]);
        // Channels outside the image leave the graph as it is.
        g.ShowGeqCurves(4);
        g.ShowInputCurves(-1);
        g.ShowOutputCurves(8);
        QCOMPARE(g.CurrentSet(), &inputGeqCurves[1]);
        QCOMPARE(g.Channel(), 1);
    }

    void nothingIsEditedBeforeASetIsShown() {
        GraphRig rig;
        const QPoint p = Centre(inputEqCurves[0].Filter(5).markerRect);
        rig.Hover(p);
        rig.Press(p);
        rig.DragTo(p + QPoint(0, -50));
        QCOMPARE(rig.graph->HotFilter(), nullptr);
        QCOMPARE(inputEqCurves[0].Records().bands[5].gain, 200);
    }

    void hoveringAPointPutsTheBandUnderAttentionWithTheMoveCursor() {
        GraphRig rig;
        CFStatic& g = *rig.graph;
        g.ShowInputCurves(0);
        g.Redraw(3);
        QCOMPARE(g.ActiveIndex(), 3);
        rig.Hover(Centre(inputEqCurves[0].Filter(5).markerRect));
        QCOMPARE(g.HotFilter(), &inputEqCurves[0].Filter(5));
        QCOMPARE(g.HotIndex(), 5);
        QCOMPARE(g.ActiveIndex(), -1); // the hovered band is shaded
        QVERIFY(g.OverMark());
        QCOMPARE(g.cursor().shape(), Qt::SizeAllCursor);
        rig.Hover({500, 60}); // empty plot
        QVERIFY(!g.OverMark());
        QCOMPARE(g.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(g.HotFilter(), &inputEqCurves[0].Filter(5)); // a band stays under attention
    }

    void aPressAfterThePointerLeftTheGraphPicksUpNothing() {
        GraphRig rig;
        rig.graph->ShowInputCurves(0);
        CFilter& band = inputEqCurves[0].Filter(5);
        const QPoint p = Centre(band.markerRect);
        rig.Hover(p);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(rig.graph.get(), &leave);
        QVERIFY(!rig.graph->OverMark());
        rig.Press({900, 40});
        rig.DragTo({900, 40});
        QVERIFY(!band.dragPoint);
        QCOMPARE(int(band.Band()->gain), 200);
    }

    void leavingACrossoverPointLetsGoOfIt() {
        GraphRig rig;
        rig.core->image.outputs[0].hpfFreq = 100;
        RefreshCurveSet(*rig.core, kCurveSetOutput, 0);
        rig.graph->ShowOutputCurves(0);
        rig.Hover(Centre(outputEqCurves[0].HighPass().markerRect));
        QCOMPARE(rig.graph->HotIndex(), 10);
        rig.Hover({700, 60});
        QCOMPARE(rig.graph->HotFilter(), nullptr);
        QVERIFY(!rig.graph->OverMark());
    }

    void pointDragFollowsThePointerWithinThePlot_data() {
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("gain");
        QTest::newRow("2 kHz and +10 dB") << QPoint(707, 85) << 2000 << 300;
        QTest::newRow("the top edge is taken 8 pixels down") << QPoint(605, 10) << 994 << 389;
        QTest::newRow("above the top stays at the edge") << QPoint(605, -40) << 994 << 389;
        QTest::newRow("below the bottom is -20 dB") << QPoint(605, 500) << 994 << 0;
        QTest::newRow("the 0 dB row is flat") << QPoint(605, 160) << 994 << 200;
        QTest::newRow("one pixel above 0 dB") << QPoint(605, 159) << 994 << 201;
        QTest::newRow("left of the plot is 20 Hz") << QPoint(-30, 160) << 20 << 200;
        QTest::newRow("right of the plot is 20 kHz") << QPoint(1200, 160) << 20000 << 200;
    }
    void pointDragFollowsThePointerWithinThePlot() {
        QFETCH(QPoint, target);
        QFETCH(int, freq);
        QFETCH(int, gain);
        GraphRig rig;
        rig.graph->ShowInputCurves(0);
        CFilter& band = inputEqCurves[0].Filter(5); // 1000 Hz, flat
        const QPoint from = Centre(band.markerRect);
        QCOMPARE(from, QPoint(605, 160));
        rig.Grab(from, target);
        const PeqBand& r = inputEqCurves[0].Records().bands[5];
        QCOMPARE(int(r.freq), freq);
        QCOMPARE(int(r.gain), gain);
        QCOMPARE(band.Flat(), gain == 200);
        QVERIFY(rig.graph->HasPendingChange());
        // The image only changes through the page.
        QCOMPARE(rig.core->image.inputs[0].peq[5].gain, 200);
    }

    void theDraggedPointStaysUnderThePointerAtItsGrabOffset() {
        GraphRig rig;
        rig.graph->ShowInputCurves(0);
        CFilter& band = inputEqCurves[0].Filter(5);
        rig.Grab(QPoint(609, 163), QPoint(711, 88)); // grabbed 4 right and 3 below the centre
        QCOMPARE(int(band.Band()->freq), 2000);
        QCOMPARE(int(band.Band()->gain), 300);
        QCOMPARE(Centre(band.markerRect), QPoint(707, 85));
        QCOMPARE(rig.graph->cursor().shape(), Qt::SizeAllCursor);
    }

    void aGraphicEqualiserBandMovesOnlyInGain() {
        GraphRig rig;
        CFStatic& g = *rig.graph;
        g.ShowGeqCurves(0);
        CFilter& band = inputGeqCurves[0].Filter(17); // 1000 Hz
        const QPoint from = Centre(band.markerRect);
        rig.Grab(from, from + QPoint(120, -75));
        QCOMPARE(int(band.Band()->freq), 1000);
        QCOMPARE(int(band.Band()->gain), 300);
        rig.Release(from);
        // Left and Right do nothing and report nothing.
        QSignalSpy spy(&g, &CFStatic::pointChanged);
        rig.Ticks(2);
        spy.clear();
        rig.Key(Qt::Key_Left);
        rig.Key(Qt::Key_Right);
        QCOMPARE(int(band.Band()->freq), 1000);
        QVERIFY(!g.HasPendingChange());
        rig.Ticks(3);
        QCOMPARE(spy.count(), 0);
    }

    void bandwidthHandleDragSetsTheOctaves_data() {
        QTest::addColumn<bool>("left");
        QTest::addColumn<int>("mouseX");
        QTest::addColumn<int>("q");
        QTest::newRow("left handle at 500 Hz is one octave") << true << XOf(500) << 95;
        QTest::newRow("left handle past the centre is 0.05 octave") << true << XOf(2000) << 0;
        QTest::newRow("left handle beyond 3 octaves is 3.0") << true << XOf(100) << 295;
        QTest::newRow("right handle at 2 kHz is one octave") << false << XOf(2000) << 95;
        QTest::newRow("right handle past the centre is 0.05 octave") << false << XOf(300) << 0;
        QTest::newRow("right handle beyond the plot is 3.0") << false << 1300 << 295;
    }
    void bandwidthHandleDragSetsTheOctaves() {
        QFETCH(bool, left);
        QFETCH(int, mouseX);
        QFETCH(int, q);
        GraphRig rig;
        SetInputBand(*rig.core, 0, 5, {1000, 300, 60, 0, 0}); // +10 dB, 0.65 octave
        rig.graph->ShowInputCurves(0);
        CFilter& band = inputEqCurves[0].Filter(5);
        rig.Hover(Centre(band.markerRect));
        const QPoint handle = Centre(left ? band.leftHandle : band.rightHandle);
        rig.Hover(handle);
        QVERIFY(rig.graph->OverMark());
        QVERIFY(left ? band.hoverLeft : band.hoverRight);
        rig.Press(handle);
        rig.DragTo({mouseX, handle.y()});
        QCOMPARE(int(band.Band()->q), q);
        QCOMPARE(int(band.Band()->freq), 1000);
        QCOMPARE(int(band.Band()->gain), 300);
        QVERIFY(rig.graph->HasPendingChange());
    }

    void onlyMovablePeakingBandsHaveHandles_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::newRow("a shelf") << CFStatic::kModeInputEq << 5;
        QTest::newRow("a graphic-equaliser band") << CFStatic::kModeGeq << 17;
    }
    void onlyMovablePeakingBandsHaveHandles() {
        QFETCH(int, mode);
        QFETCH(int, index);
        GraphRig rig;
        SetInputBand(*rig.core, 0, 5, {1000, 300, 95, 1, 1}); // low shelf, +10 dB
        CKTVEQ& set = mode == CFStatic::kModeGeq ? inputGeqCurves[0] : inputEqCurves[0];
        mode == CFStatic::kModeGeq ? rig.graph->ShowGeqCurves(0) : rig.graph->ShowInputCurves(0);
        CFilter& band = set.Filter(index);
        rig.Hover(Centre(band.markerRect));
        const QPoint handle = Centre(band.leftHandle);
        QVERIFY(!AnyMarkContains(set, handle));
        rig.Hover(handle);
        QVERIFY(!band.hoverLeft);
        QVERIFY(!rig.graph->OverMark());
        rig.Press(handle);
        rig.DragTo(handle + QPoint(-100, 0));
        QCOMPARE(int(band.Band()->q), mode == CFStatic::kModeGeq ? 8 : 95);
        QVERIFY(!rig.graph->HasPendingChange());
    }

    void outputCrossoverDrag_data() {
        QTest::addColumn<bool>("highPass");
        QTest::addColumn<int>("mouseX");
        QTest::addColumn<int>("hpf");
        QTest::addColumn<int>("lpf");
        QTest::newRow("high-pass moves") << true << XOf(200) << 200 << 5000;
        QTest::newRow("high-pass past the low-pass meets it") << true << XOf(10000) << 5000 << 5000;
        QTest::newRow("high-pass left of the plot is off") << true << 20 << 20 << 5000;
        QTest::newRow("low-pass moves") << false << XOf(200) << 100 << 200;
        QTest::newRow("low-pass below the high-pass meets it") << false << XOf(50) << 100 << 100;
        QTest::newRow("low-pass right of the plot is off") << false << 1300 << 100 << 20000;
    }
    void outputCrossoverDrag() {
        QFETCH(bool, highPass);
        QFETCH(int, mouseX);
        QFETCH(int, hpf);
        QFETCH(int, lpf);
        GraphRig rig;
        rig.core->image.outputs[0].hpfFreq = 100;
        rig.core->image.outputs[0].lpfFreq = 5000;
        RefreshCurveSet(*rig.core, kCurveSetOutput, 0);
        rig.graph->SetChannelPageKind(kKindOutput);
        rig.graph->ShowOutputCurves(0);
        CKTVEQ& set = outputEqCurves[0];
        CFilter& side = highPass ? set.HighPass() : set.LowPass();
        const QPoint from = Centre(side.markerRect);
        rig.Grab(from, {mouseX, from.y()});
        QCOMPARE(rig.graph->HotIndex(), highPass ? 10 : 11);
        QCOMPARE(int(set.Records().crossover.hpfFreq), hpf);
        QCOMPARE(int(set.Records().crossover.lpfFreq), lpf);
        if (hpf == 20) QCOMPARE(set.HighPass().Response()[120], 0.0);
        QVERIFY(rig.graph->HasPendingChange());
    }

    void anInputsCrossoverPointsStayPut_data() {
        QTest::addColumn<int>("pageKind");
        QTest::addColumn<int>("mode");
        QTest::newRow("input page") << int(kKindInput) << CFStatic::kModeInputEq;
        QTest::newRow("before any channel page") << 0 << CFStatic::kModeInputEq;
        QTest::newRow("graphic equaliser after an output page") << int(kKindOutput) << CFStatic::kModeGeq;
    }
    void anInputsCrossoverPointsStayPut() {
        QFETCH(int, pageKind);
        QFETCH(int, mode);
        GraphRig rig;
        rig.graph->SetChannelPageKind(pageKind);
        CKTVEQ& set = mode == CFStatic::kModeGeq ? inputGeqCurves[1] : inputEqCurves[1];
        mode == CFStatic::kModeGeq ? rig.graph->ShowGeqCurves(1) : rig.graph->ShowInputCurves(1);
        QPoint from = Centre(set.HighPass().markerRect);
        rig.Grab(from, {XOf(1000), from.y()});
        QCOMPARE(rig.graph->HotIndex(), set.Count() - 2);
        rig.Release({XOf(1000), from.y()});
        from = Centre(set.LowPass().markerRect);
        rig.Grab(from, {XOf(100), from.y()});
        QCOMPARE(rig.graph->HotIndex(), set.Count() - 1);
        QCOMPARE(int(set.Records().crossover.hpfFreq), 20);
        QCOMPARE(int(set.Records().crossover.lpfFreq), 20000);
        for (double db : set.LowPass().Response()) QCOMPARE(db, 0.0);
    }

    void arrowKeysStepTheBandUnderAttention_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("gain");
        QTest::addColumn<int>("newFreq");
        QTest::addColumn<int>("newGain");
        QTest::newRow("left") << int(Qt::Key_Left) << 1000 << 200 << 999 << 200;
        QTest::newRow("left at 20 Hz") << int(Qt::Key_Left) << 20 << 200 << 20 << 200;
        QTest::newRow("right") << int(Qt::Key_Right) << 1000 << 200 << 1001 << 200;
        QTest::newRow("right at 20 kHz") << int(Qt::Key_Right) << 20000 << 200 << 20000 << 200;
        QTest::newRow("up") << int(Qt::Key_Up) << 1000 << 200 << 1000 << 201;
        QTest::newRow("up at +20 dB") << int(Qt::Key_Up) << 1000 << 400 << 1000 << 400;
        QTest::newRow("down") << int(Qt::Key_Down) << 1000 << 200 << 1000 << 199;
        QTest::newRow("down at -20 dB") << int(Qt::Key_Down) << 1000 << 0 << 1000 << 0;
    }
    void arrowKeysStepTheBandUnderAttention() {
        QFETCH(int, key);
        QFETCH(int, freq);
        QFETCH(int, gain);
        QFETCH(int, newFreq);
        QFETCH(int, newGain);
        GraphRig rig;
        SetOutputBand(*rig.core, 1, 5, {static_cast<int16_t>(freq), static_cast<int16_t>(gain), 95, 0, 0});
        rig.graph->ShowOutputCurves(1);
        CFilter& band = outputEqCurves[1].Filter(5);
        rig.Hover(Centre(band.markerRect));
        QSignalSpy spy(rig.graph.get(), &CFStatic::pointChanged);
        rig.Key(key);
        QCOMPARE(int(band.Band()->freq), newFreq);
        QCOMPARE(int(band.Band()->gain), newGain);
        QCOMPARE(band.GainDb(), BandGainDb(newGain) == 0 ? 0.0 : BandGainDb(newGain)); // recomputed
        rig.Ticks(2);
        const bool stepped = freq != newFreq || gain != newGain;
        QCOMPARE(spy.count(), stepped ? 1 : 0);
    }

    void keysAndWheelDoNothingWithoutAFilterUnderAttention() {
        GraphRig rig;
        rig.graph->ShowInputCurves(0);
        rig.Key(Qt::Key_Up);
        rig.Wheel(120);
        QVERIFY(!rig.graph->HasPendingChange());
        for (int b = 0; b < kBandCount; ++b) QCOMPARE(inputEqCurves[0].Records().bands[b].gain, 200);
    }

    void aKeyOnACrossoverChangesNoRecordButIsReported() {
        GraphRig rig;
        rig.core->image.outputs[0].hpfFreq = 100;
        RefreshCurveSet(*rig.core, kCurveSetOutput, 0);
        rig.graph->ShowOutputCurves(0);
        rig.Hover(Centre(outputEqCurves[0].HighPass().markerRect));
        QSignalSpy spy(rig.graph.get(), &CFStatic::pointChanged);
        rig.Key(Qt::Key_Up);
        rig.Key(Qt::Key_Left);
        QCOMPARE(int(outputEqCurves[0].Records().crossover.hpfFreq), 100);
        rig.Ticks(2);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 10);
        QCOMPARE(spy.at(0).at(1).toInt(), CFStatic::kModeOutput);
    }

    void wheelStepsOnceANotchIsCollected_data() {
        QTest::addColumn<int>("gain");
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<int>("newGain");
        QTest::newRow("one notch up") << 300 << QList<int>{120} << 301;
        QTest::newRow("one notch down") << 300 << QList<int>{-120} << 299;
        QTest::newRow("two half notches make one step") << 300 << QList<int>{60, 60} << 301;
        QTest::newRow("a half notch back and forth") << 300 << QList<int>{60, -60, 60} << 300;
        QTest::newRow("a double notch is held to one") << 300 << QList<int>{240} << 301;
        QTest::newRow("one notch up at +20 dB") << 400 << QList<int>{120} << 400;
        QTest::newRow("one notch down at -20 dB") << 0 << QList<int>{-120} << 0;
    }
    void wheelStepsOnceANotchIsCollected() {
        QFETCH(int, gain);
        QFETCH(QList<int>, deltas);
        QFETCH(int, newGain);
        GraphRig rig;
        SetInputBand(*rig.core, 0, 5, {1000, static_cast<int16_t>(gain), 95, 0, 0});
        rig.graph->ShowInputCurves(0);
        QVERIFY(rig.Focus());
        rig.Hover(Centre(inputEqCurves[0].Filter(5).markerRect));
        QSignalSpy spy(rig.graph.get(), &CFStatic::pointChanged);
        for (int d : deltas) rig.Wheel(d);
        QCOMPARE(int(inputEqCurves[0].Records().bands[5].gain), newGain);
        rig.Ticks(3);
        QCOMPARE(spy.count(), newGain != gain ? 1 : 0);
    }

    void aWheelPassingOverTheGraphWithoutTheFocusChangesNoBand() {
        GraphRig rig;
        SetInputBand(*rig.core, 0, 5, {1000, 300, 95, 0, 0});
        rig.graph->ShowInputCurves(0);
        rig.Hover(Centre(inputEqCurves[0].Filter(5).markerRect)); // under attention, but not clicked
        QSignalSpy spy(rig.graph.get(), &CFStatic::pointChanged);
        rig.Wheel(120);
        rig.Wheel(-240);
        rig.Ticks(3);
        QCOMPARE(int(inputEqCurves[0].Records().bands[5].gain), 300);
        QVERIFY(!rig.graph->HasPendingChange());
        QCOMPARE(spy.count(), 0);
    }

    void buttonUpEndsTheDrag() {
        GraphRig rig;
        rig.graph->ShowInputCurves(0);
        CFilter& band = inputEqCurves[0].Filter(5);
        const QPoint from = Centre(band.markerRect);
        rig.Grab(from, from + QPoint(0, -75));
        rig.Release(from + QPoint(0, -75));
        QVERIFY(!band.dragPoint && !band.hoverPoint);
        QVERIFY(!rig.graph->OverMark());
        QCOMPARE(rig.graph->cursor().shape(), Qt::ArrowCursor);
        rig.Hover(from + QPoint(0, 50));
        QCOMPARE(int(band.Band()->gain), 300);
    }

    void aDragSurvivesARefreshOfItsSetAndEndsWithTheButton() {
        GraphRig rig;
        CFStatic& g = *rig.graph;
        g.ShowInputCurves(0);
        CFilter& band = inputEqCurves[0].Filter(5);
        QPoint p = Centre(band.markerRect);
        rig.Grab(p, p + QPoint(0, -30));
        g.ShowInputCurves(0); // the page refreshed mid-drag
        p = Centre(band.markerRect);
        rig.DragTo(p + QPoint(0, 1)); // back on the point: the drag goes on
        QCOMPARE(g.HotFilter(), &band);
        rig.DragTo(p + QPoint(0, -30));
        QCOMPARE(int(band.Band()->gain), 280);

        // Released while another set is shown: the band lets go all the same.
        g.ShowOutputCurves(0);
        rig.Release({10, 10});
        QVERIFY(!band.dragPoint);
        g.ShowInputCurves(0);
        p = Centre(band.markerRect);
        rig.Hover(p);
        rig.Hover(p + QPoint(0, 5));
        QCOMPARE(int(band.Band()->gain), 280);
    }
};

QTEST_MAIN(CFStaticEditTest)
#include "CFStaticEditTest.moc"
