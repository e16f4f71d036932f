// The Input page driven as a user drives it: typed values and their limits, steps, Bypass, EQ RESET,
// EQ BYPASS, faders, switches, the meter and linked inputs, checked on the image, the frames the
// scheduler sends and what the controls show.
#include "pages/PageTestSupport.h"

#include "core/ValueScales.h"
#include "ui/app/LanguageManager.h"
#include "ui/controls/xSkinButton.h"
#include "ui/pages/EqBandTable.h"
#include "ui/pages/InputDlg.h"
#include "ui/pages/LevelMeter.h"
#include "ui/pages/PagePanel.h"

#include <QDialog>
#include <QLabel>

using namespace velmar;
using namespace velmar::test;

namespace {

// The Input page of input `channel` in a shown host, refreshed as the main window does.
struct InputPage {
    PageRig rig;
    CInputDlg* page = nullptr;

    explicit InputPage(int channel = 0) {
        rig.app->currentChannel = uint8_t(channel);
        page = new CInputDlg(*rig.app, &rig.host);
        page->setGeometry(0, 0, 1084, 351);
        rig.Show();
        page->Refresh();
    }
    const EqBandTable::Row& Row(int band) const { return page->BandTable()->row(band); }
    PeqBand& Band(int band) { return rig.image().inputs[page->ShownChannel()].peq[band]; }
    // Puts a band into the image as a read-back would, and shows the page again.
    void SetBand(int band, PeqBand b) {
        Band(band) = b;
        page->Refresh();
    }
    void Show(int channel) {
        rig.app->currentChannel = uint8_t(channel);
        page->Refresh();
    }
};

PeqBand Peaking(int freq, int gain = 200, int q = 0) {
    return PeqBand{int16_t(freq), int16_t(gain), int16_t(q), 0, 0};
}

PeqBand Shelf(int type, int freq, int gain = 260, int slope = 0) {
    return PeqBand{int16_t(freq), int16_t(gain), 0, uint8_t(slope), uint8_t(type)};
}

// The single write of a band of input `ch`, as the scheduler sends it.
void VerifyBandWrite(const std::vector<SentFrame>& writes, int ch, int band, const PeqBand& b) {
    QCOMPARE(writes.size(), size_t(1));
    const SentFrame& w = writes[0];
    QCOMPARE(w.command, kCmdParamWrite);
    QCOMPARE(int(w.p1), int(kKindInput));
    QCOMPARE(int(w.p3), ch);
    QCOMPARE(int(w.p4), band + 2);
    QCOMPARE(w.payload.size(), size_t(8));
    QCOMPARE(w.Word(0), b.freq);
    QCOMPARE(w.Word(2), b.gain);
    QCOMPARE(w.Word(4), b.q);
    QCOMPARE(int(w.payload[6]), int(b.shelfSlope));
    QCOMPARE(int(w.payload[7]), int(b.type));
}

} // namespace

class InputDlgTest : public QObject {
    Q_OBJECT

private slots:
    void typedBandFrequencyKeepsToTheBandTypesLimits_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("low shelf 2500 refused") << 1 << "2500" << false;
        QTest::newRow("low shelf 2000 accepted") << 1 << "2000" << true;
        QTest::newRow("low shelf 20 accepted") << 1 << "20" << true;
        QTest::newRow("high shelf 1000 refused") << 2 << "1000" << false;
        QTest::newRow("high shelf 2000 accepted") << 2 << "2000" << true;
        QTest::newRow("high shelf 20000 accepted") << 2 << "20000" << true;
        QTest::newRow("peaking 19 refused") << 0 << "19" << false;
        QTest::newRow("peaking 20001 refused") << 0 << "20001" << false;
        QTest::newRow("peaking 20 accepted") << 0 << "20" << true;
        QTest::newRow("peaking 12345.9 read as 12345") << 0 << "12345.9" << true;
        QTest::newRow("a lone minus refused") << 0 << "-" << false;
        QTest::newRow("two points refused") << 0 << "1.2.3" << false;
        QTest::newRow("nothing refused") << 0 << "" << false;
    }
    void typedBandFrequencyKeepsToTheBandTypesLimits() {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        InputPage p(1);
        p.SetBand(4, type == 0 ? Peaking(500) : Shelf(type, type == 1 ? 100 : 5000));
        const PeqBand before = p.Band(4);
        p.rig.ClearFrames();

        TypeAndLeave(p.rig, p.Row(4).freq, typed);

        if (accepted) {
            const int hz = int(typed.toDouble());
            QVERIFY(p.rig.messages.isEmpty());
            QCOMPARE(int(p.Band(4).freq), hz);
            QCOMPARE(p.Row(4).freq->text(), QString::number(hz));
            PeqBand expected = before;
            expected.freq = int16_t(hz);
            VerifyBandWrite(p.rig.Flush(), 1, 4, expected);
        } else {
            QCOMPARE(p.rig.messages, QStringList{QStringLiteral("Data out of range")});
            QCOMPARE(p.Band(4).freq, before.freq);
            QCOMPARE(p.Row(4).freq->text(), QString::number(before.freq));
            QVERIFY(p.rig.NothingQueued());
        }
    }

    void aTypedValueEqualToTheStoredOneSendsNothingAndIsShownInItsFormat() {
        InputPage p;
        p.SetBand(2, Peaking(100, 230, 95));
        p.rig.ClearFrames();
        TypeAndLeave(p.rig, p.Row(2).q, QStringLiteral("1.41"));   // selects 1.414, the stored entry
        TypeAndLeave(p.rig, p.Row(2).gain, QStringLiteral("3"));   // 3.0 dB is raw 230
        TypeAndLeave(p.rig, p.Row(2).freq, QStringLiteral("100")); // unchanged
        QVERIFY(p.rig.NothingQueued());
        QVERIFY(p.rig.messages.isEmpty());
        QCOMPARE(p.Row(2).q->text(), QStringLiteral("1.414"));
        QCOMPARE(p.Row(2).gain->text(), QStringLiteral("3.0"));
    }

    void lookingAtAnEntryWithoutTypingNeverRefusesIt() {
        // A low shelf at 15 kHz can only come from outside; focusing its entry and leaving is no edit.
        InputPage p;
        p.SetBand(0, Shelf(1, 15000));
        p.rig.ClearFrames();
        p.Row(0).freq->setFocus(Qt::MouseFocusReason);
        p.rig.focusSink->setFocus(Qt::MouseFocusReason);
        QVERIFY(p.rig.messages.isEmpty());
        QCOMPARE(int(p.Band(0).freq), 15000);
        QVERIFY(p.rig.NothingQueued());
    }

    void steppingAtALimitStaysThereButStillSends_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("freq");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("expected");
        QTest::newRow("peaking up at 20000") << 0 << 20000 << true << 20000;
        QTest::newRow("peaking down at 20") << 0 << 20 << false << 20;
        QTest::newRow("peaking up") << 0 << 1000 << true << 1001;
        QTest::newRow("low shelf up at 2000") << 1 << 2000 << true << 2000;
        QTest::newRow("high shelf down at 2000") << 2 << 2000 << false << 2000;
        QTest::newRow("high shelf down") << 2 << 2001 << false << 2000;
    }
    void steppingAtALimitStaysThereButStillSends() {
        QFETCH(int, type);
        QFETCH(int, freq);
        QFETCH(bool, up);
        QFETCH(int, expected);
        InputPage p;
        p.SetBand(7, type == 0 ? Peaking(freq) : Shelf(type, freq));
        p.rig.ClearFrames();
        ClickStep(p.Row(7).freqStep, up);
        QCOMPARE(int(p.Band(7).freq), expected);
        QCOMPARE(p.Row(7).freq->text(), QString::number(expected));
        VerifyBandWrite(p.rig.Flush(), 0, 7, p.Band(7));
    }

    void qStepsStopAtTheEndsOfTheTable_data() {
        QTest::addColumn<int>("q");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("expected");
        QTest::newRow("up at 0 stays") << 0 << true << 0;
        QTest::newRow("down at 295 stays") << 295 << false << 295;
        QTest::newRow("up is the higher Q") << 95 << true << 94;
        QTest::newRow("down is the lower Q") << 95 << false << 96;
    }
    void qStepsStopAtTheEndsOfTheTable() {
        QFETCH(int, q);
        QFETCH(bool, up);
        QFETCH(int, expected);
        InputPage p;
        p.SetBand(3, Peaking(200, 250, q));
        p.rig.ClearFrames();
        ClickStep(p.Row(3).qStep, up);
        QCOMPARE(int(p.Band(3).q), expected);
        QCOMPARE(p.Row(3).q->text(), QString::fromStdString(QText(expected)));
        VerifyBandWrite(p.rig.Flush(), 0, 3, p.Band(3));
    }

    void typedQSelectsTheSmallestTableQNotBelowIt_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("index"); // -1 refused
        QTest::addColumn<QString>("shown");
        QTest::newRow("1.41 selects 1.414") << "1.41" << 95 << "1.414";
        QTest::newRow("10 selects 10.301") << "10" << 9 << "10.301";
        QTest::newRow("28.852 is the first entry") << "28.852" << 0 << "28.852";
        QTest::newRow("0.404 is the last entry") << "0.404" << 295 << "0.404";
        QTest::newRow("0.4 refused") << "0.4" << -1 << "2.607";
        QTest::newRow("29 refused") << "29" << -1 << "2.607";
    }
    void typedQSelectsTheSmallestTableQNotBelowIt() {
        QFETCH(QString, typed);
        QFETCH(int, index);
        QFETCH(QString, shown);
        InputPage p;
        p.SetBand(5, Peaking(1000, 200, 50));
        p.rig.ClearFrames();
        TypeAndLeave(p.rig, p.Row(5).q, typed);
        QCOMPARE(p.Row(5).q->text(), shown);
        if (index < 0) {
            QCOMPARE(p.rig.messages.size(), 1);
            QCOMPARE(int(p.Band(5).q), 50);
            QVERIFY(p.rig.NothingQueued());
        } else {
            QCOMPARE(int(p.Band(5).q), index);
            VerifyBandWrite(p.rig.Flush(), 0, 5, p.Band(5));
        }
    }

    void bandGainEntryAndStepsUseTheBandScale() {
        InputPage p;
        TypeAndLeave(p.rig, p.Row(1).gain, QStringLiteral("-20"));
        QCOMPARE(int(p.Band(1).gain), 0);
        QCOMPARE(p.Row(1).gain->text(), QStringLiteral("-20.0"));
        ClickStep(p.Row(1).gainStep, false); // stays at the bottom
        QCOMPARE(int(p.Band(1).gain), 0);
        TypeAndLeave(p.rig, p.Row(1).gain, QStringLiteral("20.1"));
        QCOMPARE(p.rig.messages.size(), 1);
        TypeAndLeave(p.rig, p.Row(1).gain, QStringLiteral("-3.5dB")); // the unit may stay
        QCOMPARE(int(p.Band(1).gain), 165);
        QCOMPARE(p.Row(1).gain->text(), QStringLiteral("-3.5"));
        QVERIFY(!p.Row(1).bypass->isChecked());
    }

    void bypassPutsABandAtZeroDbAndReleasingItRestoresTheGain() {
        InputPage p;
        p.SetBand(6, Peaking(2000, 230, 40));
        QVERIFY(!p.Row(6).bypass->isChecked());
        CFilter& filter = inputEqCurves[0].Filter(6);
        QVERIFY(!filter.Flat());
        p.rig.ClearFrames();

        Click(p.Row(6).bypass);
        QCOMPARE(int(p.Band(6).gain), 200);
        QCOMPARE(p.Row(6).gain->text(), QStringLiteral("0.0"));
        QVERIFY(p.Row(6).bypass->isChecked());
        QVERIFY(filter.Flat());
        VerifyBandWrite(p.rig.Flush(), 0, 6, p.Band(6));

        Click(p.Row(6).bypass);
        QCOMPARE(int(p.Band(6).gain), 230);
        QCOMPARE(p.Row(6).gain->text(), QStringLiteral("3.0"));
        QVERIFY(!p.Row(6).bypass->isChecked());
        QVERIFY(!filter.Flat());
        VerifyBandWrite(p.rig.Flush(), 0, 6, p.Band(6));

        // A band typed to 0.0 dB shows its Bypass in force.
        TypeAndLeave(p.rig, p.Row(6).gain, QStringLiteral("0.0"));
        QVERIFY(p.Row(6).bypass->isChecked());
    }

    void aRefreshKeepsTheGainABandsBypassPutAside() {
        // Leaving the tab and coming back must not make the Bypass restore 0 dB.
        InputPage p;
        p.SetBand(2, Peaking(100, 230));
        Click(p.Row(2).bypass);
        p.Show(1);
        p.Show(0);
        QVERIFY(p.Row(2).bypass->isChecked());
        Click(p.Row(2).bypass);
        QCOMPARE(int(p.Band(2).gain), 230);
    }

    void eqBypassPressedTwiceRestoresEveryGainAndGeqWordAndSendsTheBlockEachTime() {
        InputPage p(2);
        InputBlock& in = p.rig.image().inputs[2];
        for (int r = 0; r < kBandCount; ++r) in.peq[r].gain = int16_t(150 + 7 * r);
        for (int w = 0; w < kGeqWordCount; ++w) in.geq[w] = int16_t(100 + 5 * w);
        p.page->Refresh();
        const InputBlock before = in;
        p.rig.ClearFrames();

        Click(p.page->EqBypassButton());
        QCOMPARE(int(p.rig.app->eqBypass.inputEqBypassed[2]), 1);
        QVERIFY(p.page->EqBypassButton()->isChecked());
        for (int r = 0; r < kBandCount; ++r) {
            QCOMPARE(int(in.peq[r].gain), 200);
            QCOMPARE(in.peq[r].freq, before.peq[r].freq);
            QVERIFY(p.Row(r).bypass->isChecked());
            QVERIFY(inputEqCurves[2].Filter(r).Flat());
        }
        for (int w = 0; w < kGeqWordCount; ++w) QCOMPARE(int(in.geq[w]), 200);
        std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].command, kCmdBlockWrite);
        QCOMPARE(int(writes[0].p1), int(kKindInput));
        QCOMPARE(int(writes[0].p3), 2);
        QCOMPARE(writes[0].payload.size(), sizeof(InputBlock));
        QCOMPARE(writes[0].Word(offsetof(InputBlock, geq)), int16_t(200));

        Click(p.page->EqBypassButton());
        QCOMPARE(int(p.rig.app->eqBypass.inputEqBypassed[2]), 0);
        QVERIFY(!p.page->EqBypassButton()->isChecked());
        QVERIFY(std::memcmp(&in, &before, sizeof in) == 0);
        QCOMPARE(p.Row(9).gain->text(), QString::fromStdString(BandGainText(before.peq[9].gain)));
        writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].command, kCmdBlockWrite);
        QVERIFY(std::memcmp(writes[0].payload.data(), &before, sizeof before) == 0);
    }

    void eqBypassKeepsWhatItPutAsidePerInput() {
        // Bypass A, look at B and bypass it too, come back: releasing A restores A's own gains.
        InputPage p(0);
        p.rig.image().inputs[0].peq[0].gain = 250;
        p.rig.image().inputs[1].peq[0].gain = 120;
        p.rig.image().inputs[0].geq[3] = 300;
        p.page->Refresh();
        Click(p.page->EqBypassButton());
        p.Show(1);
        Click(p.page->EqBypassButton());
        p.Show(0);
        QVERIFY(p.page->EqBypassButton()->isChecked());
        Click(p.page->EqBypassButton());
        QCOMPARE(int(p.rig.image().inputs[0].peq[0].gain), 250);
        QCOMPARE(int(p.rig.image().inputs[0].geq[3]), 300);
        p.Show(1);
        Click(p.page->EqBypassButton());
        QCOMPARE(int(p.rig.image().inputs[1].peq[0].gain), 120);
    }

    void eqResetSetsTheDefaultBandsAndAFlatGraphicEqualiserAndSendsTheBlock() {
        InputPage p(3);
        InputBlock& in = p.rig.image().inputs[3];
        in.peq[0] = Shelf(1, 80, 300, 1);
        in.peq[9] = Shelf(2, 8000, 120, 0);
        for (int w = 0; w < kGeqWordCount; ++w) in.geq[w] = 321;
        p.page->Refresh();
        Click(p.page->EqBypassButton()); // reset also ends a bypass
        p.rig.ClearFrames();

        Click(p.page->EqResetButton());
        const int freqs[kBandCount] = {30, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 15000};
        for (int r = 0; r < kBandCount; ++r) {
            QCOMPARE(int(in.peq[r].freq), freqs[r]);
            QCOMPARE(int(in.peq[r].gain), 200);
            QCOMPARE(int(in.peq[r].q), 0);
            QCOMPARE(int(in.peq[r].type), 0);
            QCOMPARE(int(in.peq[r].shelfSlope), 0);
            QCOMPARE(p.Row(r).freq->text(), QString::number(freqs[r]));
            // The reset bands show as peaking bands again: their type and Q, not the old shelf's slope.
            QCOMPARE(p.Row(r).type->currentIndex(), 0);
            QVERIFY(!p.Row(r).q->isHidden());
            QVERIFY(p.Row(r).slope->isHidden());
        }
        for (int w = 0; w < kGeqWordCount; ++w) QCOMPARE(int(in.geq[w]), 200);
        QCOMPARE(int(p.rig.app->eqBypass.inputEqBypassed[3]), 0);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(writes[0].command, kCmdBlockWrite);
        QCOMPARE(int(writes[0].p3), 3);
        // What the bypass had put aside never comes back: a Bypass released after the reset stays flat.
        Click(p.Row(0).bypass);
        QCOMPARE(int(in.peq[0].gain), 200);
    }

    void aShelfShowsItsSlopeListInsteadOfQAndTheListSetsTheSlope() {
        InputPage p;
        p.SetBand(8, Shelf(2, 6000, 260, 0));
        QVERIFY(p.Row(8).q->isHidden());
        QVERIFY(p.Row(8).qStep->isHidden());
        QVERIFY(!p.Row(8).slope->isHidden());
        QVERIFY(!p.Row(8).type->isEnabled()); // the type is shown, not chosen, on an input
        QCOMPARE(p.Row(8).type->currentText(), QStringLiteral("Hi_Shf"));
        p.rig.ClearFrames();
        Choose(p.Row(8).slope, 1);
        QCOMPARE(int(p.Band(8).shelfSlope), 1);
        QCOMPARE(inputEqCurves[0].Filter(8).Slope(), 1);
        VerifyBandWrite(p.rig.Flush(), 0, 8, p.Band(8));
    }

    void channelGainEntryFaderAndStepsShareOneScale() {
        InputPage p;
        InputBlock& in = p.rig.image().inputs[0];
        QCOMPARE(p.page->GainEntry()->text(), QStringLiteral("0.0dB"));
        TypeAndLeave(p.rig, p.page->GainEntry(), QStringLiteral("12.05"));
        QCOMPARE(p.rig.messages.size(), 1);
        QCOMPARE(int(in.gain), 360);
        TypeAndLeave(p.rig, p.page->GainEntry(), QStringLiteral("-36"));
        QCOMPARE(int(in.gain), 0);
        QCOMPARE(p.page->GainEntry()->text(), QStringLiteral("-36.0dB"));
        QCOMPARE(p.page->GainFader()->GetRangeMax() - p.page->GainFader()->GetPos(), 0);
        p.rig.Flush();

        DragFaderTo(p.page->GainFader(), 480);
        QCOMPARE(int(in.gain), 480);
        QCOMPARE(p.page->GainEntry()->text(), QStringLiteral("12.0dB"));
        ClickStep(p.page->GainStep(), true); // at the top: stays, still sends
        QCOMPARE(int(in.gain), 480);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QVERIFY(!writes.empty());
        QCOMPARE(int(writes.back().p4), 1);
        QCOMPARE(writes.back().Word(2), int16_t(480));
    }

    void aQuickClickBesideTheFadersThumbSendsItsStep() {
        InputPage p;
        const InputBlock& in = p.rig.image().inputs[0];
        CBitmapSlider* fader = p.page->GainFader();
        QCOMPARE(int(in.gain), 360);
        p.rig.ClearFrames();
        // Above the thumb, released at once (a touchpad tap): one step up, before any moving tick.
        const QPoint above(fader->width() / 2, fader->pixelForPosition(fader->GetPos()) - 40);
        QTest::mousePress(fader, Qt::LeftButton, Qt::NoModifier, above);
        QTest::mouseRelease(fader, Qt::LeftButton, Qt::NoModifier, above);
        QCoreApplication::processEvents();
        QCOMPARE(int(in.gain), 361);
        QCOMPARE(p.page->GainEntry()->text(), QStringLiteral("0.1dB"));
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(1));
        QCOMPARE(int(writes[0].p4), 1);
        QCOMPARE(writes[0].Word(2), int16_t(361));
    }

    void delayIsTypedInMillisecondsMetresOrFeet_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("raw"); // -1 refused
        QTest::newRow("10 ms") << 0 << "10" << 476;
        QTest::newRow("10.5 ms") << 0 << "10.5" << 477;
        QTest::newRow("1000 ms") << 0 << "1000" << 1466;
        QTest::newRow("1000.1 ms refused") << 0 << "1000.1" << -1;
        QTest::newRow("340 m") << 1 << "340" << 1466;
        QTest::newRow("3.4 m") << 1 << "3.4Mt" << 476;
        QTest::newRow("340.5 m refused") << 1 << "340.5" << -1;
        QTest::newRow("1094.1 ft") << 2 << "1094.1" << 1466;
        QTest::newRow("1095 ft refused") << 2 << "1095" << -1;
        QTest::newRow("-1 ms refused") << 0 << "-1" << -1;
    }
    void delayIsTypedInMillisecondsMetresOrFeet() {
        QFETCH(int, unit);
        QFETCH(QString, typed);
        QFETCH(int, raw);
        InputPage p;
        TypeAndLeave(p.rig, p.page->DelayEntryFor(DelayUnit(unit)), typed);
        const int16_t delay = p.rig.image().inputs[0].delay;
        if (raw < 0) {
            QCOMPARE(p.rig.messages.size(), 1);
            QCOMPARE(int(delay), 0);
        } else {
            QVERIFY(p.rig.messages.isEmpty());
            QCOMPARE(int(delay), raw);
            QCOMPARE(p.page->DelayFader()->GetRangeMax() - p.page->DelayFader()->GetPos(), raw);
        }
        for (int u = 0; u < 3; ++u)
            QCOMPARE(p.page->DelayEntryFor(DelayUnit(u))->text(),
                     QString::fromStdString(DelayText(delay, DelayUnit(u), MetreSuffix::Mt)));
    }

    void delayShowsBothSegmentsOfItsScale() {
        InputPage p;
        p.rig.image().inputs[0].delay = 476;
        p.page->Refresh();
        QCOMPARE(p.page->DelayEntryFor(DelayUnit::Milliseconds)->text(), QStringLiteral("9.996ms"));
        ClickStep(p.page->DelayStepFor(DelayUnit::Feet), true);
        QCOMPARE(p.page->DelayEntryFor(DelayUnit::Milliseconds)->text(), QStringLiteral("11ms"));
        p.rig.image().inputs[0].delay = 1466;
        p.page->Refresh();
        QCOMPARE(p.page->DelayEntryFor(DelayUnit::Metres)->text(), QStringLiteral("340.00Mt"));
        QCOMPARE(p.page->DelayEntryFor(DelayUnit::Feet)->text(), QStringLiteral("1094.1Ft"));
        ClickStep(p.page->DelayStepFor(DelayUnit::Milliseconds), true);
        QCOMPARE(int(p.rig.image().inputs[0].delay), 1466);
    }

    void soundAndPolarityButtonsToggleAndSendUnitOne() {
        InputPage p;
        InputBlock& in = p.rig.image().inputs[0];
        QCOMPARE(int(in.soundOn), 0);
        p.rig.ClearFrames();
        Click(p.page->SoundButton());
        QCOMPARE(int(in.soundOn), 1);
        Click(p.page->PolarityButton());
        QCOMPARE(int(in.polarity), 0);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QVERIFY(!writes.empty());
        QCOMPARE(int(writes.back().p4), 1);
        QCOMPARE(int(writes.back().payload[0]), 1); // soundOn
        QCOMPARE(int(writes.back().payload[1]), 0); // polarity
    }

    void linkedInputsFollowAnEditThroughTheirDirtyFlags() {
        InputPage p(0);
        p.rig.core().inputLinkGroup[2] = 0; // C joins A's group
        p.rig.core().inputLinkGroup[3] = 0; // and D
        p.rig.ClearFrames();
        TypeAndLeave(p.rig, p.Row(4).freq, QStringLiteral("640"));
        QCOMPARE(int(p.rig.image().inputs[2].peq[4].freq), 640);
        QCOMPARE(int(p.rig.image().inputs[3].peq[4].freq), 640);
        QCOMPARE(int(p.rig.image().inputs[1].peq[4].freq), 500);
        QCOMPARE(int(p.rig.core().dirty.input[2][6]), 1);
        QCOMPARE(int(p.rig.core().dirty.input[3][6]), 1);
        const std::vector<SentFrame> writes = p.rig.Flush();
        QCOMPARE(writes.size(), size_t(3));
        const int order[3] = {0, 2, 3};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(int(writes[size_t(i)].p3), order[i]);
            QCOMPARE(int(writes[size_t(i)].p4), 6);
            QCOMPARE(writes[size_t(i)].Word(0), int16_t(640));
        }
    }

    void aValueHalfTypedWhenTheChannelChangesBelongsToTheChannelItWasTypedFor() {
        InputPage p(0);
        NumericEntry* e = p.Row(0).freq;
        e->setFocus(Qt::MouseFocusReason);
        e->selectAll();
        QTest::keyClicks(e, QStringLiteral("44"));
        p.Show(1); // the main window shows input B on the same page
        QCOMPARE(int(p.rig.image().inputs[0].peq[0].freq), 44);
        QCOMPARE(int(p.rig.image().inputs[1].peq[0].freq), 30);
        QCOMPARE(e->text(), QStringLiteral("30"));
    }

    void aGraphEditForAnInputNoLongerShownLandsOnThatInputOnly() {
        InputPage p(1);
        const QString shown = p.Row(4).freq->text();
        inputEqCurves[0].Records().bands[4].freq = 900; // input A's curve, dragged before B was shown
        inputEqCurves[0].Records().bands[4].gain = 250;
        p.rig.ClearFrames();
        p.page->GraphPointChanged(4, 0);
        QCOMPARE(int(p.rig.image().inputs[0].peq[4].freq), 900);
        QCOMPARE(int(p.rig.image().inputs[1].peq[4].freq), 500);
        QCOMPARE(p.Row(4).freq->text(), shown);
        VerifyBandWrite(p.rig.Flush(), 0, 4, p.rig.image().inputs[0].peq[4]);
        p.page->GraphPointChanged(10, 1); // a crossover point of an input: nothing
        QVERIFY(p.rig.NothingQueued());
    }

    void aChannelOfAnotherKindLeavesThePageOnItsInput() {
        // The output tabs set currentChannel up to 7; the hidden Input page keeps showing its input.
        InputPage p(1);
        p.rig.core().meterLevels.inputLevel[1] = 120;
        p.rig.app->currentChannel = 7;
        p.page->Refresh();
        p.page->MeterTick();
        QCOMPARE(p.page->ShownChannel(), 1);
        QVERIFY(p.page->Meter()->IsSegmentOn(8));
    }

    void onlyTheCharactersOfANumberCanBeTypedAndEnterOrEscapeCloseNothing() {
        PageRig rig;
        rig.host.hide();
        QDialog dialog;
        auto* page = new CInputDlg(*rig.app, &dialog);
        page->setGeometry(0, 0, 1084, 351);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        page->Refresh();
        NumericEntry* e = page->BandTable()->row(0).freq;
        e->setFocus(Qt::MouseFocusReason);
        e->selectAll();
        QTest::keyClicks(e, QStringLiteral("1a2 b,3+"));
        QCOMPARE(e->text(), QStringLiteral("123"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), QStringLiteral("12"));
        QTest::keyClicks(e, QStringLiteral("5"));
        QTest::keyClick(e, Qt::Key_Return); // takes the value, closes nothing
        QVERIFY(dialog.isVisible());
        QCOMPARE(int(rig.image().inputs[0].peq[0].freq), 125);
        QTest::keyClick(e, Qt::Key_Escape);
        QTest::keyClick(page->GainEntry(), Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
        // The arrow keys step the value of the entry they are typed in.
        QTest::keyClick(e, Qt::Key_Up);
        QCOMPARE(int(rig.image().inputs[0].peq[0].freq), 126);
    }

    void theMeterShowsTheInputLevelAndNothingWithoutALink_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("lit"); // segments lit from the bottom
        QTest::addColumn<bool>("top");
        QTest::newRow("63 lights nothing") << 63 << true << 0 << false;
        QTest::newRow("64 lights the bottom") << 64 << true << 1 << false;
        QTest::newRow("105 lights seven") << 105 << true << 7 << false;
        QTest::newRow("106 lights eight") << 106 << true << 8 << false;
        QTest::newRow("116 keeps the top off") << 116 << true << 8 << false;
        QTest::newRow("117 lights the top") << 117 << true << 8 << true;
        QTest::newRow("no link, nothing") << 120 << false << 0 << false;
    }
    void theMeterShowsTheInputLevelAndNothingWithoutALink() {
        QFETCH(int, level);
        QFETCH(bool, connected);
        QFETCH(int, lit);
        QFETCH(bool, top);
        InputPage p(1);
        p.rig.core().meterLevels.inputLevel[1] = uint8_t(level);
        p.rig.core().meterLevels.inputLevel[0] = 0;
        p.rig.core().linkConnected = connected ? 1 : 0;
        p.page->MeterTick();
        for (int i = 0; i < 8; ++i) QCOMPARE(p.page->Meter()->IsSegmentOn(i), i < lit);
        QCOMPARE(p.page->Meter()->IsSegmentOn(8), top);
        QCOMPARE(p.page->MeterTimer().interval(), 100);
        QVERIFY(p.page->MeterTimer().isActive());
    }

    void captionsAreSetInTheCurrentLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts"); // zones, columns, commands, first type name
        QTest::newRow("English") << 0 << QStringList{"GAIN / POL", "DELAY",     "EQ",   "Freq",
                                                     "Q",          "Gain",      "Type", "Bypass",
                                                     "EQ RESET",   "EQ BYPASS", "PEQ",  "Data out of range"};
        QTest::newRow("Chinese") << 1 << QStringList{"增益/极性", "延时",    "均衡", "频率",
                                                     "Q值",       "增益",    "类型", "直通",
                                                     "EQ 重置",   "EQ 旁路", "参量", "数据超出范围"};
    }
    void captionsAreSetInTheCurrentLanguage() {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        LanguageManager languages;
        QVERIFY(languages.apply(uint8_t(language)));
        InputPage p;
        p.rig.core().languageFlag = uint8_t(language);
        p.page->Refresh();
        QCOMPARE(p.page->GainPanel()->Title(), texts[0]);
        QCOMPARE(p.page->DelayPanel()->Title(), texts[1]);
        QCOMPARE(p.page->EqPanel()->Title(), texts[2]);
        const EqBandTable::Column columns[5] = {EqBandTable::Column::Freq, EqBandTable::Column::Q,
                                                EqBandTable::Column::Gain, EqBandTable::Column::Type,
                                                EqBandTable::Column::Bypass};
        for (int c = 0; c < 5; ++c) QCOMPARE(p.page->BandTable()->caption(columns[c])->text(), texts[3 + c]);
        QCOMPARE(p.page->EqResetButton()->text(), texts[8]);
        QCOMPARE(p.page->EqBypassButton()->text(), texts[9]);
        QCOMPARE(p.Row(0).type->itemText(0), texts[10]);
        TypeAndLeave(p.rig, p.Row(0).freq, QStringLiteral("1"));
        QCOMPARE(p.rig.messages, QStringList{texts[11]});
        QVERIFY(languages.apply(0));
    }
};

QTEST_MAIN(InputDlgTest)
#include "InputDlgTest.moc"
