// Renders the response graph with sample curve sets to PNG files in the build tree, and checks the
// pixels that must hold: curves inside the plot only, the curve in its channel colour, the shading.
#include "graph/GraphTestSupport.h"

#include <QImage>
#include <QtTest>

using namespace velmar;
using namespace velmar::test;

namespace {

QString OutputPath(const QString& name) {
    const QByteArray dir = qgetenv("VELMAR_TEST_OUTPUT");
    return (dir.isEmpty() ? QStringLiteral(".") : QString::fromLocal8Bit(dir)) + QLatin1Char('/') + name;
}

QImage Render(CFStatic& g, const QString& name) {
    QImage image = g.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString path = OutputPath(name);
    if (!image.save(path)) qWarning("could not write %s", qPrintable(path));
    return image;
}

// A three-times enlarged detail of a rendered image, to look at the pixels.
void SaveDetail(const QImage& img, const QRect& area, const QString& name) {
    img.copy(area)
        .scaled(area.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(OutputPath(name));
}

bool NearColour(QRgb px, QColor c, int tolerance = 40) {
    return std::abs(qRed(px) - c.red()) <= tolerance && std::abs(qGreen(px) - c.green()) <= tolerance &&
           std::abs(qBlue(px) - c.blue()) <= tolerance;
}

// Pixels of `c` in a rectangle of the image.
int CountColour(const QImage& img, const QRect& area, QColor c, int tolerance = 40) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (NearColour(img.pixel(x, y), c, tolerance)) ++n;
    return n;
}

QColor SetColour(const CKTVEQ& set) {
    return QColor(set.Colour().r, set.Colour().g, set.Colour().b);
}

} // namespace

class CFStaticRenderTest : public QObject {
    Q_OBJECT

private slots:
    void inputEqualiserWithPeaksAndAShelf() {
        GraphRig rig;
        CoreState& s = *rig.core;
        SetInputBand(s, 0, 0, {60, 260, 60, 0, 0});    // +6 dB at 60 Hz
        SetInputBand(s, 0, 2, {250, 140, 95, 0, 0});   // -6 dB at 250 Hz, one octave
        SetInputBand(s, 0, 5, {1000, 120, 40, 0, 0});  // -8 dB at 1 kHz, narrow
        SetInputBand(s, 0, 7, {4000, 245, 150, 0, 0}); // +4.5 dB at 4 kHz, wide
        SetInputBand(s, 0, 8, {10000, 260, 0, 1, 2});  // high shelf +6 dB, 12 dB/oct
        rig.graph->ShowInputCurves(0);
        rig.Hover(Centre(inputEqCurves[0].Filter(5).markerRect)); // band 6 under attention

        const QImage img = Render(*rig.graph, QStringLiteral("graph_input_peq.png"));
        const Rect plot = rig.graph->PlotRect();
        QVERIFY(CountColour(img, QRect(plot.left, plot.top, plot.Width(), plot.Height()),
                            SetColour(inputEqCurves[0])) > 500);
        // The shaded band and its handles.
        QVERIFY(CountColour(img, QRect(plot.left, plot.top, plot.Width(), plot.Height()), QColor(68, 86, 98),
                            6) > 200);
        SaveDetail(img, QRect(480, 130, 240, 110), QStringLiteral("graph_input_peq_detail.png"));
        SaveDetail(img, QRect(0, 0, 240, 110), QStringLiteral("graph_axes_detail.png"));
        const QPoint handle = Centre(inputEqCurves[0].Filter(5).leftHandle);
        QVERIFY(NearColour(img.pixel(handle), QColor(68, 86, 98), 6));
    }

    void outputWithAnActiveCrossover() {
        GraphRig rig;
        CoreState& s = *rig.core;
        OutputBlock& out = s.image.outputs[0];
        out.hpfFreq = 80;
        out.hpfType = 0; // Linkwitz-Riley 24 dB
        out.hpfSlope = 1;
        out.lpfFreq = 12000;
        out.lpfType = 2; // Bessel 18 dB
        out.lpfSlope = 1;
        out.peq[1] = {120, 250, 80, 0, 1}; // low shelf +5 dB, 6 dB/oct
        out.peq[5] = {2500, 150, 70, 0, 0};
        RefreshCurveSet(s, kCurveSetOutput, 0);
        rig.graph->SetChannelPageKind(kKindOutput);
        rig.graph->ShowOutputCurves(0);
        rig.Hover(Centre(outputEqCurves[0].HighPass().markerRect));
        QCOMPARE(rig.graph->HotIndex(), 10);

        const QImage img = Render(*rig.graph, QStringLiteral("graph_output_crossover.png"));
        // The crossover falls far below -20 dB: nothing of the curve may reach the axis texts.
        const Rect plot = rig.graph->PlotRect();
        const QColor red = SetColour(outputEqCurves[0]);
        QCOMPARE(
            CountColour(img, QRect(0, plot.bottom + 1, img.width(), img.height() - plot.bottom - 1), red), 0);
        QCOMPARE(CountColour(img, QRect(0, plot.bottom + 1, img.width(), img.height() - plot.bottom - 1),
                             QColor(68, 86, 98), 6),
                 0);
        QVERIFY(CountColour(img, QRect(plot.left, plot.top, plot.Width(), plot.Height()), red) > 300);
    }

    void graphicEqualiserSet() {
        GraphRig rig;
        CoreState& s = *rig.core;
        const int smile[kGeqBandCount] = {260, 255, 250, 240, 230, 220, 210, 205, 200, 195, 190,
                                          185, 180, 175, 170, 170, 175, 180, 190, 200, 210, 220,
                                          230, 235, 240, 245, 250, 255, 255, 250, 240};
        for (int b = 0; b < kGeqBandCount; ++b) s.image.inputs[1].geq[b] = static_cast<int16_t>(smile[b]);
        RefreshCurveSet(s, kCurveSetInputGeq, 1);
        rig.graph->ShowGeqCurves(1);
        rig.graph->Redraw(17); // band 18 (1 kHz) named by the page
        const QImage img = Render(*rig.graph, QStringLiteral("graph_geq.png"));
        const Rect plot = rig.graph->PlotRect();
        QVERIFY(CountColour(img, QRect(plot.left, plot.top, plot.Width(), plot.Height()),
                            SetColour(inputGeqCurves[1])) > 500);
    }

    void dragInProgress() {
        GraphRig rig;
        CoreState& s = *rig.core;
        SetOutputBand(s, 2, 4, {500, 200, 95, 0, 0});
        rig.graph->ShowOutputCurves(2);
        const QPoint from = Centre(outputEqCurves[2].Filter(4).markerRect);
        rig.Grab(from, from + QPoint(60, -70));
        rig.DragTo(from + QPoint(120, -90));
        QVERIFY(outputEqCurves[2].Filter(4).dragPoint);
        Render(*rig.graph, QStringLiteral("graph_drag.png"));
    }

    void boostsBeyondThePlotAreClipped() {
        GraphRig rig;
        CoreState& s = *rig.core;
        for (int b = 0; b < kBandCount; ++b) s.image.inputs[2].peq[b] = {1000, 400, 150, 0, 0};
        RefreshCurveSet(s, kCurveSetInputEq, 2);
        rig.graph->ShowInputCurves(2);
        const QImage img = Render(*rig.graph, QStringLiteral("graph_clipped.png"));
        const Rect plot = rig.graph->PlotRect();
        QCOMPARE(CountColour(img, QRect(0, 0, img.width(), plot.top), SetColour(inputEqCurves[2])), 0);
    }

    void theCachedLayersFollowEveryChange() {
        // A graph drawn once already is compared with one that draws the same state for the first time.
        GraphRig rig;
        CoreState& s = *rig.core;
        auto same = [&](qreal dpr = 1) {
            CFStatic fresh(s);
            fresh.resize(rig.graph->size());
            fresh.InitPlot();
            if (rig.graph->Mode() == CFStatic::kModeOutput) fresh.ShowOutputCurves(rig.graph->Channel());
            if (rig.graph->Mode() == CFStatic::kModeInputEq) fresh.ShowInputCurves(rig.graph->Channel());
            fresh.Redraw(rig.graph->ActiveIndex());
            auto draw = [dpr](CFStatic& g) {
                QImage img(g.size() * dpr, QImage::Format_ARGB32_Premultiplied);
                img.setDevicePixelRatio(dpr);
                img.fill(Qt::magenta);
                g.render(&img);
                return img;
            };
            return draw(*rig.graph) == draw(fresh);
        };
        QVERIFY(same()); // nothing shown yet
        rig.graph->ShowInputCurves(0);
        QVERIFY(same());
        SetInputBand(s, 0, 3, {400, 320, 60, 0, 0}); // a page changed a band
        QVERIFY(same());
        rig.graph->ShowOutputCurves(1);
        QVERIFY(same());
        SetOutputBand(s, 1, 0, {2000, 100, 95, 0, 0});
        QVERIFY(same(2.0));
        QVERIFY(same());
        rig.graph->resize(900, 280);
        QVERIFY(same());
        rig.graph->Redraw(0); // shaded: drawn over the cached base
        QVERIFY(same());
    }

    void nothingShownYet() {
        GraphRig rig;
        const QImage img = Render(*rig.graph, QStringLiteral("graph_empty.png"));
        const Rect plot = rig.graph->PlotRect();
        QCOMPARE(img.pixel(plot.left, plot.top + 40),
                 qRgb(255, 255, 255)); // white border until a set is shown
    }
};

QTEST_MAIN(CFStaticRenderTest)
#include "CFStaticRenderTest.moc"
