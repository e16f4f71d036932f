// The three pages in the whole application, connected over TCP to the simulated processor of
// `velmar --demo`: typed values, steps, lists, buttons, faders and a drag on the window's graph all end
// in the processor's memory, which then equals the application's image.
#include "controls/RenderOutput.h"
#include "support/TestApp.h"

#include "dsp/CurveSets.h"
#include "sim/SimTcpEndpoint.h"
#include "transport/LinkController.h"
#include "ui/app/DemoSimulator.h"
#include "ui/controls/BitmapSlider.h"
#include "ui/controls/EnTabCtrl.h"
#include "ui/controls/xSkinButton.h"
#include "ui/dialogs/ConnectDlg.h"
#include "ui/graph/CFStatic.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/GEQDlg.h"
#include "ui/pages/InputDlg.h"
#include "ui/pages/NumericEntry.h"
#include "ui/pages/OutputDlg.h"
#include "ui/pages/StepButtons.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include <cstring>

using namespace velmar;
using velmar::test::TestApp;

namespace {

constexpr int kTimeoutMs = 10000;
// Tabs of configuration 7 (4 inputs, 8 outputs).
constexpr int kTabGeqB = 4, kTabInA = 7, kTabOut2 = 12;

bool SameImage(const DeviceImage& a, const DeviceImage& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What differs between the application's image and the processor's, for a failure message.
QByteArray FirstDifference(const DeviceImage& a, const DeviceImage& b) {
    const auto* pa = reinterpret_cast<const uint8_t*>(&a);
    const auto* pb = reinterpret_cast<const uint8_t*>(&b);
    for (size_t i = 0; i < sizeof a; ++i)
        if (pa[i] != pb[i]) return QByteArray("byte ") + QByteArray::number(qulonglong(i));
    return "none";
}

void Type(CVelmarDlg& w, NumericEntry* entry, const QString& text) {
    entry->setFocus(Qt::MouseFocusReason);
    QVERIFY(entry->hasFocus());
    entry->selectAll();
    QTest::keyClicks(entry, text);
    w.tabCtrl()->setFocus(Qt::MouseFocusReason); // the user clicks elsewhere
}

void Step(StepButtons* steps, bool up) {
    const QPoint p(steps->width() / 2, up ? 3 : steps->height() - 3);
    QTest::mousePress(steps, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(steps, Qt::LeftButton, Qt::NoModifier, p);
}

void DragFader(CBitmapSlider* fader, int value) {
    const int x = fader->width() / 2;
    const int from = fader->pixelForPosition(fader->GetPos());
    const int to = fader->pixelForPosition(fader->GetRangeMax() - value);
    QTest::mousePress(fader, Qt::LeftButton, Qt::NoModifier, QPoint(x, from));
    QMouseEvent move(QEvent::MouseMove, QPointF(x, to), fader->mapToGlobal(QPointF(x, to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fader, &move);
    QTest::mouseRelease(fader, Qt::LeftButton, Qt::NoModifier, QPoint(x, to));
    QCoreApplication::processEvents(); // the fader's notification is queued, as a posted message is
}

void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void GraphMouse(CFStatic* g, QEvent::Type type, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
    QMouseEvent e(type, QPointF(p), g->mapToGlobal(QPointF(p)), b, bs, Qt::NoModifier);
    QCoreApplication::sendEvent(g, &e);
}

} // namespace

class PagesInDemoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CVelmarApp::ApplyLook(*qApp); }

    void everyKindOfEditOnThePagesEndsInTheProcessor() {
        DemoSimulator sim;
        QVERIFY(sim.start());
        TestApp t(nullptr, /*stopTimers=*/false);
        sim.attach(t.state(), t.app().links());
        CVelmarDlg& w = t.window();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        t.onModal = [](QDialog& d) {
            auto& dialog = static_cast<CConnectDlg&>(d);
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.wifiButton()->click(); });
            QTimer::singleShot(kTimeoutMs, &dialog, [&dialog] { dialog.reject(); });
            return dialog.exec();
        };
        w.action(CVelmarDlg::Command::Connect)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(t.core().linkConfirmed, 2, kTimeoutMs);
        QTRY_COMPARE(w.tabCtrl()->GetItemCount(), 19);
        const auto settled = [&] { return SameImage(t.core().image, sim.device().image()); };
        QTRY_VERIFY(settled());
        w.activateWindow(); // back from the connection dialog
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // Input A: entries, steps, Bypass, the switches, both faders.
        w.tabCtrl()->SetCurSel(kTabInA);
        w.SelectTab(kTabInA);
        CInputDlg* in = w.inputPage();
        QCOMPARE(w.visiblePage(), in);
        const EqBandTable::Row& band3 = in->BandTable()->row(3);
        Type(w, band3.freq, QStringLiteral("250"));
        Type(w, band3.gain, QStringLiteral("4.5"));
        Step(band3.qStep, true);
        QTest::mouseClick(in->BandTable()->row(5).bypass, Qt::LeftButton); // already 0 dB: released
        Type(w, in->BandTable()->row(5).gain, QStringLiteral("-6"));
        QTest::mouseClick(in->BandTable()->row(5).bypass, Qt::LeftButton);
        QTest::mouseClick(in->SoundButton(), Qt::LeftButton);
        QTest::mouseClick(in->PolarityButton(), Qt::LeftButton);
        DragFader(in->GainFader(), 300);
        DragFader(in->DelayFader(), 700);
        Type(w, in->DelayEntryFor(DelayUnit::Feet), QStringLiteral("10"));
        QTRY_VERIFY2_WITH_TIMEOUT(settled(), FirstDifference(t.core().image, sim.device().image()),
                                  kTimeoutMs);
        const InputBlock& a = sim.device().image().inputs[0];
        QCOMPARE(int(a.peq[3].freq), 250);
        QCOMPARE(int(a.peq[3].gain), 245);
        QCOMPARE(int(a.peq[5].gain), 200);
        QCOMPARE(int(a.soundOn), 1);
        QCOMPARE(band3.freq->text(), QString::number(a.peq[3].freq));

        // Output 2: crossover, alignment, band type and slope, compressor, EQ BYPASS twice.
        w.tabCtrl()->SetCurSel(kTabOut2);
        w.SelectTab(kTabOut2);
        COutputDlg* out = w.outputPage();
        QCOMPARE(out->ShownChannel(), 1);
        Type(w, out->CrossoverEntry(0), QStringLiteral("90"));
        Choose(out->CrossoverList(0), 5);
        Type(w, out->CrossoverEntry(1), QStringLiteral("8000"));
        Choose(out->BandTable()->row(0).type, 1);
        Choose(out->BandTable()->row(0).slope, 1);
        Type(w, out->BandTable()->row(0).gain, QStringLiteral("5"));
        Step(out->CompressorStep(COutputDlg::Comp::Ratio), true);
        Type(w, out->CompressorEntry(COutputDlg::Comp::Attack), QStringLiteral("50.9"));
        QTest::mouseClick(out->EqBypassButton(), Qt::LeftButton);
        QTest::mouseClick(out->EqBypassButton(), Qt::LeftButton);
        QTRY_VERIFY2_WITH_TIMEOUT(settled(), FirstDifference(t.core().image, sim.device().image()),
                                  kTimeoutMs);
        const OutputBlock& o = sim.device().image().outputs[1];
        QCOMPARE(int(o.hpfFreq), 90);
        QCOMPARE(int(o.hpfType), 1);
        QCOMPARE(int(o.hpfSlope), 1);
        QCOMPARE(int(o.lpfFreq), 8000);
        QCOMPARE(int(o.peq[0].type), 1);
        QCOMPARE(int(o.peq[0].shelfSlope), 1);
        QCOMPARE(int(o.peq[0].gain), 250);
        QCOMPARE(int(o.compAttack), 47);
        QCOMPARE(out->CompressorEntry(COutputDlg::Comp::Attack)->text(), QStringLiteral("50ms"));

        // Graphic EQ B: a fader, and GEQ BYPASS pressed twice.
        w.tabCtrl()->SetCurSel(kTabGeqB);
        w.SelectTab(kTabGeqB);
        CGEQDlg* geq = w.geqPage();
        QCOMPARE(geq->ShownChannel(), 1);
        DragFader(geq->Fader(10), 300);
        QTest::mouseClick(geq->BypassButton(), Qt::LeftButton);
        QTest::mouseClick(geq->BypassButton(), Qt::LeftButton);
        QTRY_VERIFY2_WITH_TIMEOUT(settled(), FirstDifference(t.core().image, sim.device().image()),
                                  kTimeoutMs);
        QVERIFY(std::abs(sim.device().image().inputs[1].geq[10] - 300) <= 2);

        // A drag on the window's graph: input A's band 3 point, the page follows and the processor too.
        w.tabCtrl()->SetCurSel(kTabInA);
        w.SelectTab(kTabInA);
        CFStatic* graph = w.graph();
        const Point c = inputEqCurves[0].Filter(3).markerRect.Centre();
        const QPoint from(c.x, c.y), to(c.x + 60, c.y - 40);
        GraphMouse(graph, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        GraphMouse(graph, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        GraphMouse(graph, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        QTRY_VERIFY(band3.freq->text() != QStringLiteral("250"));
        QVERIFY(test::saveRender(w.grab().toImage(), QStringLiteral("pages-demo-drag-in-a.png")));
        GraphMouse(graph, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QTRY_VERIFY2_WITH_TIMEOUT(settled(), FirstDifference(t.core().image, sim.device().image()),
                                  kTimeoutMs);
        QCOMPARE(band3.freq->text(), QString::number(sim.device().image().inputs[0].peq[3].freq));
        QCOMPARE(band3.gain->text(),
                 QString::fromStdString(BandGainText(sim.device().image().inputs[0].peq[3].gain)));
        QVERIFY(t.messages.isEmpty());
    }
};

QTEST_MAIN(PagesInDemoTest)
#include "PagesInDemoTest.moc"
