// The Output page driven as a user drives it: the crossover with "OFF" and its ordering rules, the
// alignment lists, band types and shelves, the compressor's formats and steps, EQ RESET and EQ BYPASS,
// the meter with the limiter bit and linked outputs.
#include "pages/PageTestSupport.h"

#include "core/ValueScales.h"
#include "ui/app/LanguageManager.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/OutputDlg.h"
#include "ui/pages/PagePanel.h"

#include <QLabel>

#include <cmath>
#include <cstring>

using namespace velmar;
using namespace velmar::test;

namespace {

struct OutputPage {
    PageRig rig;
    COutputDlg* page = nullptr;

    explicit OutputPage(int channel = 0) {
        rig.app->currentChannel = uint8_t(channel);
        rig.core().selectedOutputChannel = uint8_t(channel);
        page = new COutputDlg(*rig.app, &rig.host);
        page->setGeometry(0, 0, 1084, 351);
        rig.Show();
        page->Refresh();
    }
    OutputBlock& Out() { return rig.image().outputs[page->ShownChannel()]; }
    const EqBandTable::Row& Row(int band) const { return page->BandTable()->row(band); }
    NumericEntry* Hpf() const { return page->CrossoverEntry(0); }
    NumericEntry* Lpf() const { return page->CrossoverEntry(1); }
    NumericEntry* Comp(COutputDlg::Comp c) const { return page->CompressorEntry(c); }
};

// The single write of unit `index` of output `ch`.
SentFrame OnlyWrite(const std::vector<SentFrame>& writes, int ch, int index) {
    [&] {
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].command, kCmdParamWrite);
        QCOMPARE(int(writes[0].p1), int(kKindOutput));
        QCOMPARE(int(writes[0].p3), ch);
        QCOMPARE(int(writes[0].p4), index);
        QCOMPARE(writes[0].payload.size(), size_t(8));
    }();
    return writes.size() == 1 ? writes[0] : SentFrame{};
}

// The low-pass response of a set, in dB, at grid index i.
double Response(const CFilter& f, int i) {
    return f.Response()[size_t(i)];
}

} // namespace

class OutputDlgTest : public QObject {
    Q_OBJECT

private slots:
    void offCrossoverEntries() {
        OutputPage p(2);
        QCOMPARE(p.Hpf()->text(), QStringLiteral("OFF"));
        QCOMPARE(p.Lpf()->text(), QStringLiteral("OFF"));
        TypeAndLeave(p.rig, p.Lpf(), QStringLiteral("5000"));
        QCOMPARE(int(p.Out().lpfFreq), 5000);
        QCOMPARE(p.Lpf()->text(), QStringLiteral("5000"));
        CFilter& lowPass = outputEqCurves[2].LowPass();
        QVERIFY(Response(lowPass, 240) < -6.0);
        p.rig.Flush();

        // "OFF" (pasted: letters cannot be typed) switches the low-pass off: flat, marker at the right edge.
        PasteAndLeave(p.rig, p.Lpf(), QStringLiteral("OFF"));
        QCOMPARE(int(p.Out().lpfFreq), 20000);
        QCOMPARE(p.Lpf()->text(), QStringLiteral("OFF"));
        QVERIFY(std::abs(Response(lowPass, 240)) < 1e-9);
        QCOMPARE(lowPass.markerRect.right, lowPass.PlotWidth() + 8 + kPlotLeftMargin);
        const SentFrame w = OnlyWrite(p.rig.Flush(), 2, COutputDlg::kCrossoverParam);
        QCOMPARE(w.Word(4), int16_t(20000));

        TypeAndLeave(p.rig, p.Hpf(), QStringLiteral("80"));
        QCOMPARE(int(p.Out().hpfFreq), 80);
        TypeAndLeave(p.rig, p.Hpf(), QStringLiteral("20"));
        QCOMPARE(int(p.Out().hpfFreq), 20);
        QCOMPARE(p.Hpf()->text(), QStringLiteral("OFF"));
        QVERIFY(p.rig.messages.isEmpty());
    }

    void theHighPassNeverGoesAboveTheLowPass_data() {
        QTest::addColumn<int>("hpf");
        QTest::addColumn<int>("lpf");
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("high-pass 1000 above a 500 low-pass") << 20 << 500 << 0 << "1000" << false;
        QTest::newRow("high-pass at the low-pass") << 20 << 500 << 0 << "500" << true;
        QTest::newRow("low-pass 300 below a 400 high-pass") << 400 << 20000 << 1 << "300" << false;
        QTest::newRow("low-pass at the high-pass") << 400 << 20000 << 1 << "400" << true;
        QTest::newRow("high-pass 19 refused") << 20 << 20000 << 0 << "19" << false;
        QTest::newRow("low-pass 20001 refused") << 20 << 20000 << 1 << "20001" << false;
        QTest::newRow("high-pass OFF pasted") << 300 << 20000 << 0 << "off" << true;
    }
    void theHighPassNeverGoesAboveTheLowPass() {
        QFETCH(int, hpf);
        QFETCH(int, lpf);
        QFETCH(int, side);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        OutputPage p;
        p.Out().hpfFreq = int16_t(hpf);
        p.Out().lpfFreq = int16_t(lpf);
        p.page->Refresh();
        p.rig.ClearFrames();
        PasteAndLeave(p.rig, p.page->CrossoverEntry(side), typed);
        const int now = side == 0 ? p.Out().hpfFreq : p.Out().lpfFreq;
        if (accepted) {
            QVERIFY(p.rig.messages.isEmpty());
            QCOMPARE(now, typed.startsWith(QLatin1Char('o'), Qt::CaseInsensitive) ? 20 : typed.toInt());
            OnlyWrite(p.rig.Flush(), 0, COutputDlg::kCrossoverParam);
        } else {
            QCOMPARE(p.rig.messages, QStringList{QStringLiteral("Data out of range")});
            QCOMPARE(now, side == 0 ? hpf : lpf);
            QVERIFY(p.rig.NothingQueued());
        }
    }

    void crossoverStepsStopAtTheOtherSideButStillSend_data() {
        QTest::addColumn<int>("hpf");
        QTest::addColumn<int>("lpf");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("expected");
        QTest::newRow("high-pass up at the low-pass") << 800 << 800 << 0 << true << 800;
        QTest::newRow("high-pass up") << 799 << 800 << 0 << true << 800;
        QTest::newRow("high-pass down at 20") << 20 << 800 << 0 << false << 20;
        QTest::newRow("low-pass down at the high-pass") << 800 << 800 << 1 << false << 800;
        QTest::newRow("low-pass up at 20000") << 800 << 20000 << 1 << true << 20000;
        QTest::newRow("low-pass up") << 800 << 900 << 1 << true << 901;
    }
    void crossoverStepsStopAtTheOtherSideButStillSend() {
        QFETCH(int, hpf);
        QFETCH(int, lpf);
        QFETCH(int, side);
        QFETCH(bool, up);
        QFETCH(int, expected);
        OutputPage p(4);
        p.Out().hpfFreq = int16_t(hpf);
        p.Out().lpfFreq = int16_t(lpf);
        p.page->Refresh();
        p.rig.ClearFrames();
        ClickStep(p.page->CrossoverStep(side), up);
        QCOMPARE(side == 0 ? int(p.Out().hpfFreq) : int(p.Out().lpfFreq), expected);
        const SentFrame w = OnlyWrite(p.rig.Flush(), 4, COutputDlg::kCrossoverParam);
        QCOMPARE(int(w.Word(side == 0 ? 0 : 4)), expected);
    }

    void theAlignmentListsSetFamilyAndSlope_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("slope");
        QTest::addColumn<double>("octaveBelowDb"); // response one octave past the corner
        QTest::newRow("ButterW 18dB high-pass") << 0 << 5 << 1 << 1 << -18.0;
        QTest::newRow("Lin-Ril 48dB high-pass") << 0 << 3 << 0 << 3 << -48.0;
        QTest::newRow("Bessel 24dB low-pass") << 1 << 9 << 2 << 2 << -24.0;
        QTest::newRow("Lin-Ril 12dB low-pass") << 1 << 0 << 0 << 0 << -12.0;
    }
    void theAlignmentListsSetFamilyAndSlope() {
        QFETCH(int, side);
        QFETCH(int, item);
        QFETCH(int, family);
        QFETCH(int, slope);
        QFETCH(double, octaveBelowDb);
        OutputPage p(1);
        p.Out().hpfFreq = 1000;
        p.Out().lpfFreq = 1000;
        p.Out().hpfType = 2, p.Out().hpfSlope = 1; // start from an item neither row chooses
        p.Out().lpfType = 2, p.Out().lpfSlope = 1;
        p.page->Refresh();
        p.rig.ClearFrames();
        Choose(p.page->CrossoverList(side), item);
        QCOMPARE(int(side == 0 ? p.Out().hpfType : p.Out().lpfType), family);
        QCOMPARE(int(side == 0 ? p.Out().hpfSlope : p.Out().lpfSlope), slope);
        CKTVEQ& set = outputEqCurves[1];
        CFilter& f = side == 0 ? set.HighPass() : set.LowPass();
        QCOMPARE(f.Family(), family);
        QCOMPARE(f.Slope(), slope);
        // Far from the corner every alignment falls at its slope: compare two octaves further out.
        const int near = FreqGridIndex(side == 0 ? 62.5 : 16000);
        const int far = FreqGridIndex(side == 0 ? 250 : 4000);
        const double perOctave = (Response(f, near) - Response(f, far)) / 2.0;
        QVERIFY2(std::abs(perOctave - octaveBelowDb) < 1.5, qPrintable(QString::number(perOctave)));
        const SentFrame w = OnlyWrite(p.rig.Flush(), 1, COutputDlg::kCrossoverParam);
        QCOMPARE(int(w.payload[side == 0 ? 2 : 6]), family);
        QCOMPARE(int(w.payload[side == 0 ? 3 : 7]), slope);
        QCOMPARE(p.page->CrossoverList(side)->currentText(), QString::fromUtf8(CrossoverName(item, 0)));
    }

    void aWheelChangesOnlyTheListOrFaderThatHasTheFocus() {
        OutputPage p(2);
        QWidget* controls[] = {p.page->CrossoverList(1), p.Row(3).type, p.page->GainFader()};
        for (QWidget* w : controls) {
            auto* list = qobject_cast<QComboBox*>(w);
            const int index = list ? list->currentIndex() : 0;
            const int notch = list && index + 1 >= list->count() ? 120 : -120;
            p.rig.focusSink->setFocus();
            p.rig.ClearFrames();
            DeviceImage before = p.rig.image();
            QVERIFY(!Wheel(w, notch)); // scrolling past: passed on, nothing chosen or sent
            QVERIFY(std::memcmp(&before, &p.rig.image(), sizeof before) == 0);
            QVERIFY(p.rig.NothingQueued());
            if (list) QCOMPARE(list->currentIndex(), index);

            w->setFocus(Qt::TabFocusReason);
            QVERIFY(Wheel(w, notch));
            QVERIFY(std::memcmp(&before, &p.rig.image(), sizeof before) != 0);
            if (list) QVERIFY(list->currentIndex() != index);
            QVERIFY(!p.rig.Flush().empty());
        }
    }

    void aPairWithoutAListItemSelectsNothing() {
        OutputPage p;
        p.Out().hpfType = 1;
        p.Out().hpfSlope = 3; // Butterworth has no fourth slope; only an image from outside holds it
        p.page->Refresh();
        QCOMPARE(p.page->CrossoverList(0)->currentIndex(), -1);
    }

    void choosingAShelfSwapsQForTheSlopeListAndRebindsTheCurve() {
        OutputPage p(5);
        OutputBlock& out = p.Out();
        out.peq[9] = PeqBand{15000, 260, 20, 0, 0};
        p.page->Refresh();
        QVERIFY(!p.Row(9).q->isHidden());
        p.rig.ClearFrames();

        Choose(p.Row(9).type, 1); // "Lo_Shf"
        QCOMPARE(int(out.peq[9].type), 1);
        QCOMPARE(int(out.peq[9].freq), 15000); // no shelf limits on outputs
        QVERIFY(p.Row(9).q->isHidden());
        QVERIFY(p.Row(9).qStep->isHidden());
        QVERIFY(!p.Row(9).slope->isHidden());
        CFilter& band = outputEqCurves[5].Filter(9);
        QCOMPARE(band.Kind(), int(kLowShelf));
        QVERIFY(std::abs(Response(band, 0) - 6.0) < 0.2); // +6 dB below the shelf
        const SentFrame w = OnlyWrite(p.rig.Flush(), 5, 13);
        QCOMPARE(int(w.payload[7]), 1);

        Choose(p.Row(9).slope, 1);
        QCOMPARE(int(out.peq[9].shelfSlope), 1);
        OnlyWrite(p.rig.Flush(), 5, 13);

        TypeAndLeave(p.rig, p.Row(9).freq, QStringLiteral("18000")); // any frequency, for every type
        QCOMPARE(int(out.peq[9].freq), 18000);
        Choose(p.Row(9).type, 0);
        QVERIFY(!p.Row(9).q->isHidden());
        QCOMPARE(band.Kind(), int(kPeaking));
    }

    void compressorEntriesAndStepsKeepTheirFormats_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("raw");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("shown");
        QTest::newRow("threshold up at 48") << 0 << 48 << true << 48 << "20dBu";
        QTest::newRow("threshold down") << 0 << 1 << false << 0 << "-28dBu";
        QTest::newRow("attack up at 97") << 1 << 97 << true << 97 << "100ms";
        QTest::newRow("attack down at 0") << 1 << 0 << false << 0 << "3ms";
        QTest::newRow("release stops at Atkx32") << 2 << 5 << true << 5 << "Atkx32";
        QTest::newRow("release down") << 2 << 1 << false << 0 << "Atkx2";
        QTest::newRow("ratio 126 up is Inf:1") << 3 << 126 << true << 127 << "Inf:1";
        QTest::newRow("ratio 127 down is 127:1") << 3 << 127 << false << 126 << "127:1";
        QTest::newRow("ratio 0 is 1:1") << 3 << 0 << false << 0 << "1:1";
    }
    void compressorEntriesAndStepsKeepTheirFormats() {
        QFETCH(int, field);
        QFETCH(int, raw);
        QFETCH(bool, up);
        QFETCH(int, after);
        QFETCH(QString, shown);
        OutputPage p(6);
        OutputBlock& out = p.Out();
        switch (field) {
        case 0:
            out.compThreshold = int16_t(raw);
            break;
        case 1:
            out.compAttack = uint8_t(raw);
            break;
        case 2:
            out.compRelease = uint8_t(raw);
            break;
        default:
            out.compRatio = uint8_t(raw);
            break;
        }
        p.page->Refresh();
        p.rig.ClearFrames();
        const auto c = COutputDlg::Comp(field);
        ClickStep(p.page->CompressorStep(c), up);
        const int values[4] = {out.compThreshold, out.compAttack, out.compRelease, out.compRatio};
        QCOMPARE(values[field], after);
        QCOMPARE(p.Comp(c)->text(), shown);
        const SentFrame w = OnlyWrite(p.rig.Flush(), 6, COutputDlg::kCompressorParam);
        const int sent[4] = {w.Word(0), w.payload[2], w.payload[3], w.payload[4]};
        QCOMPARE(sent[field], after);
    }

    void typedCompressorValuesFollowTheirEntryRules_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("raw"); // -1 refused
        QTest::addColumn<QString>("shown");
        QTest::newRow("attack 50.9 is raw 47") << 1 << "50.9" << 47 << "50ms";
        QTest::newRow("attack 3") << 1 << "3" << 0 << "3ms";
        QTest::newRow("attack 100") << 1 << "100ms" << 97 << "100ms";
        QTest::newRow("attack 2.9 refused") << 1 << "2.9" << -1 << "10ms";
        QTest::newRow("attack 100.5 refused") << 1 << "100.5" << -1 << "10ms";
        QTest::newRow("threshold -28") << 0 << "-28" << 0 << "-28dBu";
        QTest::newRow("threshold 20") << 0 << "20dBu" << 48 << "20dBu";
        QTest::newRow("threshold 5.7 read as 5") << 0 << "5.7" << 33 << "5dBu";
        QTest::newRow("threshold 21 refused") << 0 << "21" << -1 << "-10dBu";
    }
    void typedCompressorValuesFollowTheirEntryRules() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, raw);
        QFETCH(QString, shown);
        OutputPage p(3);
        p.Out().compAttack = 7;
        p.Out().compThreshold = 18;
        p.page->Refresh();
        p.rig.ClearFrames();
        const auto c = COutputDlg::Comp(field);
        TypeAndLeave(p.rig, p.Comp(c), typed);
        QCOMPARE(p.Comp(c)->text(), shown);
        const int now = field == 0 ? p.Out().compThreshold : p.Out().compAttack;
        if (raw < 0) {
            QCOMPARE(p.rig.messages.size(), 1);
            QCOMPARE(now, field == 0 ? 18 : 7);
            QVERIFY(p.rig.NothingQueued());
        } else {
            QCOMPARE(now, raw);
            OnlyWrite(p.rig.Flush(), 3, COutputDlg::kCompressorParam);
        }
    }

    void releaseAndRatioAreChosenByTheirStepsOnly() {
        OutputPage p;
        QVERIFY(p.Comp(COutputDlg::Comp::Release)->isReadOnly());
        QVERIFY(p.Comp(COutputDlg::Comp::Ratio)->isReadOnly());
        p.Out().compRelease = 6; // only from outside
        p.page->Refresh();
        QCOMPARE(p.Comp(COutputDlg::Comp::Release)->text(), QStringLiteral("Atkx48"));
        ClickStep(p.page->CompressorStep(COutputDlg::Comp::Release), true);
        QCOMPARE(int(p.Out().compRelease), 6);
        ClickStep(p.page->CompressorStep(COutputDlg::Comp::Release), false);
        QCOMPARE(int(p.Out().compRelease), 5);
    }

    void eqResetKeepsCrossoverAndCompressorAndShowsTheResetBands() {
        OutputPage p(7);
        OutputBlock& out = p.Out();
        out.hpfFreq = 120;
        out.compRatio = 9;
        out.peq[3] = PeqBand{700, 150, 80, 1, 2};
        p.page->Refresh();
        QCOMPARE(p.Row(3).type->currentIndex(), 2);
        p.rig.ClearFrames();
        Click(p.page->EqResetButton());
        QCOMPARE(int(out.peq[3].freq), 200);
        QCOMPARE(int(out.peq[3].type), 0);
        QCOMPARE(int(out.hpfFreq), 120);
        QCOMPARE(int(out.compRatio), 9);
        // The lists show the image at once, not the old type until the next refresh.
        QCOMPARE(p.Row(3).type->currentIndex(), 0);
        QVERIFY(!p.Row(3).q->isHidden());
        QCOMPARE(outputEqCurves[7].Filter(3).Kind(), int(kPeaking));
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].command, kCmdBlockWrite);
        QCOMPARE(int(writes[0].p1), int(kKindOutput));
        QCOMPARE(int(writes[0].p3), 7);
    }

    void eqBypassPressedTwiceRestoresEveryBandGain() {
        OutputPage p(3);
        OutputBlock& out = p.Out();
        for (int r = 0; r < kBandCount; ++r) out.peq[r].gain = int16_t(120 + 11 * r);
        out.hpfFreq = 90;
        p.page->Refresh();
        const OutputBlock before = out;
        p.rig.ClearFrames();
        Click(p.page->EqBypassButton());
        for (int r = 0; r < kBandCount; ++r) QCOMPARE(int(out.peq[r].gain), 200);
        QCOMPARE(int(out.hpfFreq), 90);
        QCOMPARE(p.rig.Flush().size(), size_t(1));
        Click(p.page->EqBypassButton());
        QVERIFY(std::memcmp(&out, &before, sizeof out) == 0);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].command, kCmdBlockWrite);
        QVERIFY(std::memcmp(writes[0].payload.data(), &before, sizeof before) == 0);
    }

    void theMeterShowsTheLevelAndTheLimiterBitOnTheTopSegment() {
        OutputPage p(2);
        uint8_t& selected = p.rig.core().meterLevels.selectedOutputLevel;
        selected = 0x80 | 70; // limiting at a moderate level
        p.page->MeterTick();
        QVERIFY(p.page->Meter()->IsSegmentOn(8));
        QVERIFY(p.page->Meter()->IsSegmentOn(1));
        QVERIFY(!p.page->Meter()->IsSegmentOn(2)); // the level, not the limiter bit, lights the segments
        QCOMPARE(int(selected), 70);
        p.page->MeterTick(); // no new heartbeat: the limiter segment goes out
        QVERIFY(!p.page->Meter()->IsSegmentOn(8));
        QVERIFY(p.page->Meter()->IsSegmentOn(1));
        p.rig.core().linkConnected = 0;
        p.page->MeterTick();
        QCOMPARE(int(selected), 0);
        for (int i = 0; i < p.page->Meter()->SegmentCount(); ++i) QVERIFY(!p.page->Meter()->IsSegmentOn(i));
    }

    void linkedOutputsTakeTheCrossoverOneAfterTheOther() {
        // Outputs 1, 2 and 3 in "LINK 1": a crossover edit on output 2 goes out for 2, then 1, then 3.
        OutputPage p(1);
        CoreState& s = p.rig.core();
        s.outputLinkGroup[1] = 0;
        s.outputLinkGroup[2] = 0;
        s.image.outputs[0].routeMask = 0x01;
        s.image.outputs[2].routeMask = 0x04;
        p.rig.ClearFrames();
        TypeAndLeave(p.rig, p.Hpf(), QStringLiteral("150"));
        QCOMPARE(int(s.image.outputs[0].hpfFreq), 150);
        QCOMPARE(int(s.image.outputs[2].hpfFreq), 150);
        QCOMPARE(int(s.image.outputs[0].routeMask), 0x01); // each keeps its own routing
        QCOMPARE(int(s.image.outputs[2].routeMask), 0x04);
        QCOMPARE(int(s.dirty.output[0][3]), 1);
        QCOMPARE(int(s.dirty.output[2][3]), 1);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(3));
        const int order[3] = {1, 0, 2};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(int(writes[size_t(i)].p3), order[i]);
            QCOMPARE(int(writes[size_t(i)].p4), 3);
            QCOMPARE(writes[size_t(i)].Word(0), int16_t(150));
        }
    }

    void outputMetresAreShownWithoutTheT() {
        OutputPage p;
        p.Out().delay = 1000;
        p.page->Refresh();
        QCOMPARE(p.page->DelayEntryFor(DelayUnit::Metres)->text(), QStringLiteral("181.56M"));
        TypeAndLeave(p.rig, p.page->DelayEntryFor(DelayUnit::Metres), QStringLiteral("3.4M"));
        QCOMPARE(int(p.Out().delay), 476);
    }

    void captionsAreSetInTheCurrentLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("English") << 0
                                 << QStringList{"XOVER",     "COMPRESSOR", "Threshold",    "    Attack",
                                                "  Release", "    Ratio",  "Lin-Ril 12dB", "Bessel 24dB ",
                                                "EQ BYPASS", "Lo_Shf"};
        QTest::newRow("Chinese") << 1 << QStringList{"带通",     "压缩",     "阀        值", "启动时间",
                                                     "释放时间", "压缩比例", "宁克 12dB   ", "贝塞尔 24dB ",
                                                     "EQ 旁路",  "低架"};
    }
    void captionsAreSetInTheCurrentLanguage() {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        LanguageManager languages;
        QVERIFY(languages.apply(uint8_t(language)));
        OutputPage p;
        p.rig.core().languageFlag = uint8_t(language);
        p.page->Refresh();
        QCOMPARE(p.page->CrossoverPanel()->Title(), texts[0]);
        QCOMPARE(p.page->CompressorPanel()->Title(), texts[1]);
        QStringList comp;
        for (QLabel* l : p.page->CompressorPanel()->findChildren<QLabel*>()) comp << l->text();
        for (int i = 2; i < 6; ++i) QVERIFY2(comp.contains(texts[i]), qPrintable(texts[i]));
        QCOMPARE(p.page->CrossoverList(0)->itemText(0), texts[6]);
        QCOMPARE(p.page->CrossoverList(1)->itemText(9), texts[7]);
        // The list texts are the value scales' own names.
        for (int c = 0; c < kCrossoverChoiceCount; ++c)
            QCOMPARE(p.page->CrossoverList(0)->itemText(c),
                     QString::fromUtf8(CrossoverName(c, uint8_t(language))));
        QCOMPARE(p.page->EqBypassButton()->text(), texts[8]);
        QCOMPARE(p.Row(0).type->itemText(1), texts[9]);
        QVERIFY(languages.apply(0));
    }
};

QTEST_MAIN(OutputDlgTest)
#include "OutputDlgTest.moc"
